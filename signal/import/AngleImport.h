#pragma once

// Import of a signal sampled by crank angle: a header line, then one
// "trigger;value" pair per line. Every strict peak of the trigger closes one
// half-degree bin holding the sum of the values since the previous peak.

#include <string>

#include "signal/Signal.h"
#include "util/messages.h"
#include "util/numtext.h"

namespace morvane {

// Fills signal from the file and shows the summary "Řádky / Vrcholy: lines / peaks".
// The file is read line by line, so its size does not matter. A file that
// cannot be opened leaves signal as it was; any later failure leaves it all zero. No peaks (or only zero
// bins) show the summary, then fail with "Invalid floating point operation".
void ImportAngleSignal(const std::string& path, IMessageBoxes& boxes, TSignalTable& signal,
                       TNumberFormat format);

}  // namespace morvane
