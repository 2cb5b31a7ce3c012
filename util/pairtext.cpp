#include "util/pairtext.h"

#include <algorithm>

namespace morvane {

bool SplitPairText(std::string_view text, std::string& first, std::string& second) {
    std::size_t cut = text.find(';');
    if (cut == std::string_view::npos) {
        const auto commas = std::count(text.begin(), text.end(), ',');
        cut = text.find(',');
        if (commas == 3) {
            cut = text.find(',', cut + 1);
        } else if (commas != 1) {
            return false;
        }
    }
    first = text.substr(0, cut);
    second = text.substr(cut + 1);
    return true;
}

}  // namespace morvane
