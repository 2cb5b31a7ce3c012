#pragma once

// UTF-8 as the readers and the message quotes judge it.

#include <cstddef>
#include <string_view>

namespace morvane {

// The length in bytes of the UTF-8 character at text[i], or 0 when the bytes
// there are not one (a stray continuation byte, a lead byte cut short).
inline std::size_t Utf8CharacterLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

}  // namespace morvane
