#pragma once

// Two numbers typed as one text ("340,460") where the decimal mark is the
// comma too: whole numbers are split at the one comma, numbers with decimals at
// a ';' ("340,5;460") or at the middle of three commas ("340,5,460,5").

#include <string>
#include <string_view>

namespace morvane {

// The two parts of text as typed (not parsed), or false when text has no ';',
// and neither one nor three commas.
bool SplitPairText(std::string_view text, std::string& first, std::string& second);

}  // namespace morvane
