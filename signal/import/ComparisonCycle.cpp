#include "signal/import/ComparisonCycle.h"

#include "util/textfile.h"

namespace morvane {

TPressureCycle ReadComparisonCycle(const std::string& path, TEncoderOptions recording, TNumberFormat format) {
    if (ReadFirstTextLines(path, kLongestCycleFile + 1).size() <= kLongestCycleFile) {
        return ReadPressureCycle(path, format);
    }
    recording.Path = path;
    recording.KeepCycles = true;
    recording.CycleSink = nullptr;
    return PressureCycleOf(ImportEncoderRecording(recording), path);
}

}  // namespace morvane
