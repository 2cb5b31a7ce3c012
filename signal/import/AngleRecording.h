#pragma once

// Recordings already on the crank angle, as indicating systems write them: a
// column (or an MDF group's master) holds the angle in degrees, restarting at
// 0 every cycle or growing without end. The cycles are cut where the angle
// passes each multiple of 720 and resampled linearly onto the 1441 points.

#include <cstdint>
#include <functional>

#include "signal/Signal.h"
#include "signal/import/EncoderImport.h"

namespace morvane {

// Turns (angle, value) samples into complete cycles. offset: the recorded
// angle of cylinder 1's gas-exchange top dead centre (the cycles' 0°).
class TAngleCycles {
public:
    // index: the cycle's number on the unrolled angle (cycle n opens at 720·n
    // after the offset).
    using TCycle = std::function<void(const TSignalTable& points, std::int64_t index)>;

    TAngleCycles(double offset, TCycle cycle) : m_offset(offset), m_cycle(std::move(cycle)) {}

    // line: for messages. An angle that falls back by less than half a cycle,
    // or jumps ahead by a whole one, fails naming the line.
    void sample(double angle, double value, std::int64_t line);

private:
    void point(std::int64_t half, double value);

    double m_offset;
    TCycle m_cycle;
    bool m_any = false;
    double m_lastRaw = 0;
    double m_base = 0;  // added to the raw angle: 720 per restart at 0
    double m_last = 0;  // unrolled, in degrees after the offset
    double m_lastValue = 0;
    std::int64_t m_cycleIndex = 0;
    bool m_started = false;  // the current cycle began at its 0°
    TSignalTable m_points{};
};

// The encoder import's result for a recording in the angle domain
// (options.AngleColumn): every complete cycle, their mean, scale and
// everything else as for an encoder recording, several pressure channels
// too (each cut at its own start); no speed and no knock.
TEncoderResult ImportAngleRecording(const TEncoderOptions& options);

}  // namespace morvane
