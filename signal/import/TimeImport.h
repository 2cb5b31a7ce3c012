#pragma once

// Import of a signal sampled in time: one value per line, no header. The first
// line is 0°, the last 720°; the samples are stretched linearly onto the signal table.

#include <string>

#include "signal/Signal.h"
#include "util/messages.h"
#include "util/numtext.h"

namespace morvane {

// Fills signal from the file and shows the summary "Řádky / Vrcholy: lines / 1440".
// A file of more than 2^21 lines is read twice (parse, then pick) and only the
// samples the interpolation needs are kept; a pipe keeps every sample.
// A file that cannot be opened, holds no lines or has a line that is not a
// number leaves signal as it was. Only zero values show the summary, then
// fail with "Invalid floating point operation" and leave signal all zero.
void ImportTimeSignal(const std::string& path, IMessageBoxes& boxes, TSignalTable& signal,
                      TNumberFormat format);

}  // namespace morvane
