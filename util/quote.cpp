#include "util/quote.h"

namespace morvane {

std::string ShortenedQuote(std::string_view text) {
    std::size_t characters = 0;
    std::size_t kept = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A byte 10xxxxxx continues a character.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > kQuotedCharacters) {
            kept = i;
            break;
        }
    }
    std::string quoted;
    quoted.reserve(kept + 5);
    quoted += '\'';
    quoted += text.substr(0, kept);
    if (kept < text.size()) {
        quoted += "…";
    }
    quoted += '\'';
    return quoted;
}

}  // namespace morvane
