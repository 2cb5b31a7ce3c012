#include "signal/import/AngleRecording.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "signal/import/RecordingSource.h"
#include "util/errors.h"

namespace morvane {

namespace {

constexpr double kCycle = 720;
constexpr std::int64_t kHalvesPerCycle = 1440;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

}  // namespace

void TAngleCycles::sample(double angle, double value, std::int64_t line) {
    if (m_any && angle < m_lastRaw - kCycle / 2) {
        m_base += kCycle;  // the angle restarted at 0
    }
    const double unrolled = angle + m_base - m_offset;
    if (!m_any) {
        m_any = true;
        m_lastRaw = angle;
        m_last = unrolled;
        m_lastValue = value;
        if (unrolled * 2 == std::floor(unrolled * 2)) {
            point(static_cast<std::int64_t>(unrolled * 2), value);
        }
        return;
    }
    if (unrolled <= m_last) {
        if (unrolled == m_last) {
            return;
        }
        RaiseRecordingAtLineError(line, "úhel klesá");
    }
    if (unrolled - m_last >= kCycle) {
        RaiseRecordingAtLineError(line, "úhel přeskočil celý cyklus");
    }
    // The half-degree points after the last sample up to this one.
    for (auto half = static_cast<std::int64_t>(std::floor(m_last * 2)) + 1;
         static_cast<double>(half) <= unrolled * 2; ++half) {
        const double at = static_cast<double>(half) / 2;
        point(half, m_lastValue + (value - m_lastValue) * (at - m_last) / (unrolled - m_last));
    }
    m_lastRaw = angle;
    m_last = unrolled;
    m_lastValue = value;
}

// One point of the grid; 720° of a cycle is 0° of the next.
void TAngleCycles::point(std::int64_t half, double value) {
    const std::int64_t cycle = FloorDiv(half, kHalvesPerCycle);
    const std::int64_t k = half - cycle * kHalvesPerCycle;
    if (k == 0) {
        if (m_started && m_cycleIndex == cycle - 1) {
            m_points[SignalPoints - 1] = value;
            m_cycle(m_points);
        }
        m_started = true;
    } else if (cycle != m_cycleIndex) {
        m_started = false;  // the recording began within this cycle
    }
    m_cycleIndex = cycle;
    m_points[static_cast<std::size_t>(k)] = value;
}

TEncoderResult ImportAngleRecording(const TEncoderOptions& options) {
    if (options.PressureScale && !(std::isfinite(*options.PressureScale) && *options.PressureScale != 0)) {
        RaiseInputError("Citlivost snímače [bar/jednotka]", "konečné číslo různé od 0");
    }
    const double scale = options.PressureScale.value_or(1.0);
    TEncoderResult result;
    result.InBar = options.PressureScale.has_value();
    std::vector<long double> sum(SignalPoints, 0.0L);
    TAngleCycles cycles(options.AngleOffset, [&](const TSignalTable& points) {
        TEncoderCycle cycle;
        cycle.Number = ++result.CycleCount;
        cycle.Points = points;
        for (std::size_t k = 0; k < SignalPoints; ++k) {
            cycle.Points[k] *= scale;
            if (!std::isfinite(cycle.Points[k])) {
                RaiseOverflow();
            }
            sum[k] += cycle.Points[k];
        }
        if (options.CycleSink) {
            options.CycleSink(cycle);
        }
        if (options.KeepCycles) {
            result.Cycles.push_back(cycle.Points);
        }
    });
    ReadAnyRecording(options.Path, options.Format, {options.AngleColumn, options.ValueColumn},
                     [&](const std::vector<double>& values, const TRowPlace& place) {
                         cycles.sample(values[0], values[1], place.Line);
                     });
    if (result.CycleCount == 0) {
        RaiseRecordingError("Záznam nemá ani jeden úplný cyklus 0° až 720° (sloupec úhlu '" +
                            options.AngleColumn + "')");
    }
    result.AngleDomain = true;
    result.Revolutions = static_cast<int>(2 * result.CycleCount);
    for (std::size_t k = 0; k < SignalPoints; ++k) {
        result.Mean[k] = static_cast<double>(sum[k] / static_cast<long double>(result.CycleCount));
        result.Largest = std::max(result.Largest, std::fabs(result.Mean[k]));
    }
    for (std::size_t k = 0; result.Largest > 0 && k < SignalPoints; ++k) {
        result.Signal[k] = result.Mean[k] / result.Largest;
    }
    if (options.Knock) {
        result.KnockNote = "Klepání se nepočítá: záznam v úhlu nemá vzorky v čase";
    }
    return result;
}

}  // namespace morvane
