#pragma once

// ASCII text as UTF-16 (little endian) behind its byte-order mark, as an
// editor that saves "Unicode" writes it.

#include <string>

namespace morvane::testing {

inline std::string Utf16(const std::string& ascii) {
    std::string text = "\xFF\xFE";
    for (const char c : ascii) {
        text += c;
        text += '\0';
    }
    return text;
}

}  // namespace morvane::testing
