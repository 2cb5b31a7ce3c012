#pragma once

// A recording of a multi-cylinder engine: one pressure channel per cylinder
// beside the encoder, read in one pass. Each cylinder's cycles run on its own
// angle (its cycle opens at its crank offset), and each is referenced and
// measured as the import hands it on, so memory stays bounded.

#include <cstdint>
#include <string>
#include <vector>

#include "signal/import/EncoderImport.h"
#include "signal/pressure/CycleFigures.h"
#include "signal/pressure/CylinderBalance.h"

namespace morvane {

// The channels of cylinders 1..N: column, scale and crank offset [°] each
// (the offsets of the cylinder table, "Přesazení"). A cylinder's cycle opens
// at its offset less cylinder 1's, modulo 720, on the recording's cycle angle.
// The three lists have one entry per channel.
std::vector<TPressureChannel> PressureChannels(const std::vector<std::string>& columns,
                                               const std::vector<double>& scales,
                                               const std::vector<double>& offsets);

struct TCylinderRecording {
    std::vector<TCylinderFigures> Cylinders;
    // Each cylinder's complete cycles in bar, when asked for.
    std::vector<std::vector<TSignalTable>> Traces;
    TEncoderResult Import;  // the import's summary: cylinder 1's mean and cycles, the speed
};

// Reads recording (its Channels set) and analyses every cylinder with the
// same geometry, settings and reference. A cycle's failure waits until the
// import has ended, as for one channel: the import's failure comes first,
// then the first failing mean (by cylinder), then the first failing cycle.
// settings: one for every cylinder, or one each (a heat-transfer model takes
// each cylinder's own angles).
TCylinderRecording AnalyseCylinderRecording(TEncoderOptions recording, const TEngineGeometry& geometry,
                                            const std::vector<TCombustionSettings>& settings,
                                            const TPressureReference& reference, bool keepTraces = false);

}  // namespace morvane
