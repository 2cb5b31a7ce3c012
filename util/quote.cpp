#include "util/quote.h"

#include "util/hexdigits.h"
#include "util/utf8.h"

namespace morvane {

namespace {

constexpr std::size_t kQuotedCharacters = 200;

// A control character a message would show as nothing or as garbage. A
// byte-order mark stays: the first imports quote it as they always did.
bool IsInvisible(std::string_view character) {
    const auto byte = static_cast<unsigned char>(character.front());
    return character.size() == 1 && ((byte < 0x20 && byte != '\t') || byte == 0x7F);
}

void AppendEscaped(std::string& quoted, std::string_view bytes) {
    for (const char c : bytes) {
        AppendHexEscape(quoted, static_cast<unsigned char>(c));
    }
}

}  // namespace

std::string ShortenedQuote(std::string_view text) {
    std::string quoted;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (++characters > kQuotedCharacters) {
            return quoted + "…";
        }
        const std::size_t length = Utf8CharacterLength(text, i);
        const std::string_view character = text.substr(i, length == 0 ? 1 : length);
        if (length == 0 || IsInvisible(character)) {
            AppendEscaped(quoted, character);
        } else {
            quoted += character;
        }
        i += character.size();
    }
    return quoted;
}

}  // namespace morvane
