#include "util/textencoding.h"

#include "util/utf8.h"

namespace morvane {

TWideText WideTextOf(std::string_view head) {
    if (head.starts_with(std::string_view("\xFF\xFE\0\0", 4)) ||
        head.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
        return TWideText::Utf32;
    }
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
        return TWideText::Utf16;
    }
    if (head.size() < 4) {
        return TWideText::None;
    }
    // Which of the four bytes are NUL: a pattern of the first character.
    unsigned zeros = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        zeros |= head[i] == '\0' ? 1u << i : 0u;
    }
    switch (zeros) {
        case 0b1110:  // little-endian
        case 0b0111:  // big-endian
            return TWideText::Utf32;
        case 0b1010:
        case 0b0101:
            return TWideText::Utf16;
        default:
            return TWideText::None;
    }
}

std::string_view WideTextName(TWideText wide) {
    return wide == TWideText::Utf32 ? "UTF-32" : "UTF-16";
}

std::string WideTextProblem(TWideText wide) {
    return "soubor je v kódování " + std::string(WideTextName(wide)) + "; uložte jej jako text v UTF-8";
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8CharacterLength(text, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

}  // namespace morvane
