#pragma once

// A cycle to lay over the session's: today's engine over yesterday's. A file
// of at most kLongestCycleFile lines is a cycle file, read as the combustion
// page reads one; a longer file is a recording, read as the toothed-wheel
// import reads it, with its options (asked for only then; the path
// replaced), keeping its cycles.

#include <cstddef>
#include <functional>
#include <string>

#include "signal/import/EncoderImport.h"
#include "signal/pressure/PressureCycle.h"

namespace morvane {

// The longer cycle-file form: a header and 1441 "angle;pressure" lines.
constexpr std::size_t kLongestCycleFile = 1442;

TPressureCycle ReadComparisonCycle(const std::string& path,
                                   const std::function<TEncoderOptions()>& recordingOptions,
                                   TNumberFormat format);

}  // namespace morvane
