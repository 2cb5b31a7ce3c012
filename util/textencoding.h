#pragma once

// What the readers that take UTF-8 text only say of other bytes: a NUL byte,
// which would end the text unseen, and text in UTF-16 or UTF-32, whose every
// ASCII character has NUL bytes beside it.

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane {

enum class TWideText { None, Utf16, Utf32 };

// The encoding a file's first bytes (up to four) show: a UTF-16 or UTF-32
// byte-order mark, or a first character with the NUL bytes of either beside it.
TWideText WideTextOf(std::string_view head);

// The problem a line with a NUL byte is refused with.
inline constexpr std::string_view kNulByteProblem = "obsahuje nulový bajt, soubor není text";

// "UTF-16" or "UTF-32".
std::string_view WideTextName(TWideText wide);

// "soubor je v kódování UTF-16; uložte jej jako text v UTF-8", or UTF-32.
std::string WideTextProblem(TWideText wide);

// True when the whole text is UTF-8.
bool IsUtf8(std::string_view text);

}  // namespace morvane
