#include "signal/import/ComparisonCycle.h"

#include "util/textfile.h"

namespace morvane {

TPressureCycle ReadComparisonCycle(const std::string& path,
                                   const std::function<TEncoderOptions()>& recordingOptions,
                                   TNumberFormat format) {
    if (ReadFirstTextLines(path, kLongestCycleFile + 1).size() <= kLongestCycleFile) {
        return ReadPressureCycle(path, format);
    }
    TEncoderOptions recording = recordingOptions();
    recording.Path = path;
    recording.KeepCycles = true;
    recording.CycleSink = nullptr;
    return PressureCycleOf(ImportEncoderRecording(recording), path);
}

}  // namespace morvane
