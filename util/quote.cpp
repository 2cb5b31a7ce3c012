#include "util/quote.h"

namespace morvane {

namespace {

constexpr std::size_t kQuotedCharacters = 200;

}  // namespace

std::string ShortenedQuote(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A byte 10xxxxxx continues a character.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > kQuotedCharacters) {
            return std::string(text.substr(0, i)) + "…";
        }
    }
    return std::string(text);
}

}  // namespace morvane
