#include "util/messages.h"

#include <cctype>

namespace morvane {

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
        text += '.';
    }
    return text;
}

std::string ApplicationTitle(std::string_view programPath) {
    std::string_view name = programPath;
    if (auto slash = name.find_last_of("/\\"); slash != std::string_view::npos) {
        name.remove_prefix(slash + 1);
    }
    name = name.substr(0, name.find('.'));
    std::string title(name);
    for (std::size_t i = 1; i < title.size(); ++i) {
        auto c = static_cast<unsigned char>(title[i]);
        if (c < 128) {
            title[i] = static_cast<char>(std::tolower(c));
        }
    }
    return title;
}

}  // namespace morvane
