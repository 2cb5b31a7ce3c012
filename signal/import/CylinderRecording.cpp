#include "signal/import/CylinderRecording.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

#include "util/errors.h"

namespace morvane {

std::vector<TPressureChannel> PressureChannels(const std::vector<std::string>& columns,
                                               const std::vector<double>& scales,
                                               const std::vector<double>& offsets) {
    std::vector<TPressureChannel> channels;
    for (std::size_t k = 0; k < columns.size() && k < scales.size() && k < offsets.size(); ++k) {
        double start = std::fmod(offsets[k] - offsets[0], 720.0);
        start = start < 0 ? start + 720 : start;
        // A start a rounding below 720 is 0: fmod gave back the whole cycle.
        channels.push_back({columns[k], scales[k], start >= 720 ? 0 : start});
    }
    return channels;
}

TCylinderRecording AnalyseCylinderRecording(TEncoderOptions recording, const TEngineGeometry& geometry,
                                            const std::vector<TCombustionSettings>& settings,
                                            const TPressureReference& reference, bool keepTraces) {
    const std::size_t count = recording.Channels.size();
    std::vector<TPressureAnalyser> analysers;
    analysers.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        analysers.emplace_back(geometry, settings.at(std::min(k, settings.size() - 1)), reference);
    }
    TCylinderRecording result;
    result.Cylinders.resize(count);
    result.Traces.resize(keepTraces ? count : 0);
    std::exception_ptr failedCycle;
    recording.KeepCycles = false;
    recording.CycleSink = [&](const TEncoderCycle& cycle) {
        const auto channel = static_cast<std::size_t>(cycle.Channel);
        if (failedCycle || channel >= count) {
            return;
        }
        try {
            analysers[channel].addCycle(
                cycle.Points, cycle.KnockKnown ? TCycleKnock{cycle.Mapo, cycle.Knocks} : TCycleKnock{},
                cycle.Rpm);
            result.Cylinders[channel].EngineCycles.push_back(cycle.EngineCycle);
            if (keepTraces) {
                result.Traces[channel].push_back(cycle.Points);
            }
        } catch (const EMorvaneError&) {
            failedCycle = std::current_exception();
        }
    };
    result.Import = ImportEncoderRecording(recording);
    for (std::size_t k = 0; k < count; ++k) {
        analysers[k].addMean(result.Import.ChannelMeans[k], result.Import.Rpm);
    }
    if (failedCycle) {
        std::rethrow_exception(failedCycle);
    }
    for (std::size_t k = 0; k < count; ++k) {
        result.Cylinders[k].Analysis = std::move(analysers[k]).finish();
    }
    return result;
}

}  // namespace morvane
