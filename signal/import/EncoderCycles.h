#pragma once

// The complete cycles of one phase of an encoder recording, built sample by
// sample. Cycle k spans the crank angles start + 720 k .. start + 720 (k + 1)
// (angles from the first reference edge): all its points come from its own
// samples. A cycle whose start lies before the first sample, or whose end is
// not covered by checked revolutions, is dropped.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

#include "signal/Signal.h"
#include "signal/import/CrankAngle.h"
#include "signal/pressure/KnockFilter.h"

namespace morvane {

// A complete cycle on the 1441 half-degree points, with its knock figure.
struct TEncoderCycle {
    std::int64_t Number = 0;  // 1-based, in recording order
    TSignalTable Points{};    // in the unit of the result
    double Mapo = 0;          // 0 without knock settings
    bool Knocks = false;
    bool KnockKnown = false;  // Mapo and Knocks were computed
    double Rpm = 0;           // its speed over its last two revolutions (set by the import)
    double Start = 0;         // crank angle of its 0° from the first reference edge
    int Channel = 0;          // the pressure channel (cylinder) from 0, of a recording with several
    // Of a recording with several channels: the cylinder-1 cycle this one
    // belongs to, counted in 720° steps from any fixed origin alike for all
    // channels, so the cylinders' cycles of one engine cycle share it.
    std::int64_t EngineCycle = 0;
};

class TPhaseCycles {
public:
    // Takes the cycle to fill in and hand on: it is not used afterwards.
    using TClosed = std::function<void(TEncoderCycle&)>;

    // start: the angle at which the cycles' 0° lies, modulo 720.
    TPhaseCycles(double start, std::optional<TKnockSettings> knock, TClosed closed);

    // The next samples at their angles (rising) with their band-passed values.
    // Most samples set no grid point: they are only noted, and with knock
    // settings their band-passed values weighed for MAPO.
    void placed(const TPlacedSample* samples, std::size_t count) { placedFrom(TSampleRun{samples}, count); }

    // The same for samples whose values are looked up where they lie: a run
    // with angle(k), value(k) and filtered(k) for k < count. Only the samples
    // that set a point or weigh for MAPO are looked up.
    template <typename TRun>
    void placedFrom(const TRun& run, std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            if (m_hasLast && run.angle(k) < m_nextAngle) {
                // The run below the next grid point: only its last sample is kept.
                const std::size_t first = k;
                while (k + 1 != count && run.angle(k + 1) < m_nextAngle) {
                    ++k;
                }
                if (m_knock) {
                    weighKnock(run, first, k + 1);
                }
                m_lastAngle = run.angle(k);
                m_lastValue = run.value(k);
            } else {
                place(run.angle(k), run.value(k), run.filtered(k));
            }
        }
    }
    // The revolutions up to 360 * revolutions [°] are checked.
    void revolutionsDone(std::int64_t revolutions);
    // At the end: a cycle whose revolutions are checked takes the last value
    // for the points beyond the last sample; any other open cycle is dropped.
    void finish();

private:
    // Samples that carry their values.
    struct TSampleRun {
        const TPlacedSample* Samples;
        double angle(std::size_t k) const { return Samples[k].Angle; }
        double value(std::size_t k) const { return Samples[k].Value; }
        double filtered(std::size_t k) const { return Samples[k].Filtered; }
    };

    // Grid points per cycle; the last is the next one's first.
    static constexpr std::int64_t kCyclePoints = SignalPoints - 1;

    struct TOpen {
        std::int64_t Index = 0;
        std::int64_t FirstGrid = 0;  // Index * kCyclePoints
        double Start = 0;            // the angle of its 0°
        TSignalTable Points{};
        double Mapo = 0;
    };

    double angleOf(std::int64_t grid) const { return m_start + 0.5 * static_cast<double>(grid); }
    void place(double angle, double value, double filtered);
    // Each open cycle's MAPO takes the samples [from, to) of the run within its knock window.
    template <typename TRun>
    void weighKnock(const TRun& run, std::size_t from, std::size_t to) {
        for (TOpen& cycle : m_open) {
            for (std::size_t k = from; k != to; ++k) {
                const double cycleAngle = run.angle(k) - cycle.Start;
                if (cycleAngle >= m_knock->From && cycleAngle <= m_knock->To) {
                    cycle.Mapo = std::max(cycle.Mapo, std::fabs(run.filtered(k)));
                }
            }
        }
    }
    void set(std::int64_t grid, double value);
    TOpen& open(std::int64_t index);
    void closeDone();

    double m_start;
    std::optional<TKnockSettings> m_knock;
    TClosed m_closed;
    bool m_hasLast = false;
    double m_lastAngle = 0;
    double m_lastValue = 0;
    std::int64_t m_next = 0;  // the next grid point (half degrees from m_start) to fill
    double m_nextAngle = 0;   // its angle
    std::int64_t m_checked = 0;
    std::deque<TOpen> m_open;
    TOpen* m_filling = nullptr;  // the open cycle last set, while it is open
    std::int64_t m_count = 0;
};

}  // namespace morvane
