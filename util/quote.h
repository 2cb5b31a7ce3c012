#pragma once

// A user's text as a message may quote it.

#include <string>
#include <string_view>

namespace morvane {

// The text itself when it holds at most 200 characters; otherwise its first
// 200 characters (whole UTF-8 characters) and "…". A file of one 10 MB line
// must not become a 10 MB message. Bytes a message would show as nothing or
// as garbage (not UTF-8, control characters but the tab) are written as
// \xHH, so a UTF-16 or binary file is seen for what it is.
std::string ShortenedQuote(std::string_view text);

}  // namespace morvane
