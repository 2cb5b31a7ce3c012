#pragma once

// Hexadecimal digits as the texts write a byte: "\xHH", upper case on the way
// out, either case on the way in.

#include <string>

namespace morvane {

// The value of a hexadecimal digit, or -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Appends byte as \xHH.
inline void AppendHexEscape(std::string& out, unsigned char byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 15];
}

}  // namespace morvane
