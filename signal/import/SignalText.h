#pragma once

// The batch tool's report of "signal": an imported signal's entries as text.

#include <string>

#include "signal/Signal.h"
#include "util/numtext.h"

namespace morvane {

// Every entry in the general number format, one per line: a file the time
// import reads back to the same entries.
std::string SignalEntriesText(const TSignalTable& signal, TNumberFormat format);

}  // namespace morvane
