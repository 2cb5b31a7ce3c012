#pragma once

// A user's text quoted in a message: a pasted 10 MB line or a 131,000-character
// firing order must not become the whole message.

#include <string>
#include <string_view>

namespace morvane {

// Beyond this many characters a quoted text is cut.
constexpr std::size_t kQuotedCharacters = 200;

// '<text>', or its first kQuotedCharacters characters (UTF-8, never cut inside
// a character) and "…" within the quotes.
std::string ShortenedQuote(std::string_view text);

}  // namespace morvane
