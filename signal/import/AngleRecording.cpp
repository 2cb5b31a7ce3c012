#include "signal/import/AngleRecording.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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
            m_cycle(m_points, m_cycleIndex);
        }
        m_started = true;
    } else if (cycle != m_cycleIndex) {
        m_started = false;  // the recording began within this cycle
    }
    m_cycleIndex = cycle;
    m_points[static_cast<std::size_t>(k)] = value;
}

namespace {

// Each channel's cycles, cut at its own start and scaled; the sink gets them
// as they close.
class TAngleChannels {
public:
    TAngleChannels(const TEncoderOptions& options, TEncoderResult& result)
        : m_options(options), m_result(result) {
        const bool several = !options.Channels.empty();
        const std::size_t count = several ? options.Channels.size() : 1;
        m_sums.assign(count, std::vector<long double>(SignalPoints, 0.0L));
        m_counts.assign(count, 0);
        for (std::size_t k = 0; k < count; ++k) {
            const double start = several ? options.Channels[k].Start : 0;
            const double scale = several ? options.Channels[k].Scale : options.PressureScale.value_or(1.0);
            m_cutters.emplace_back(options.AngleOffset + start,
                                   [this, k, scale](const TSignalTable& points, std::int64_t index) {
                                       closed(k, scale, points, index);
                                   });
        }
    }

    void sample(const std::vector<double>& values, std::int64_t line) {
        for (std::size_t k = 0; k < m_cutters.size(); ++k) {
            m_cutters[k].sample(values[0], values[1 + k], line);
        }
    }

    std::size_t count() const { return m_cutters.size(); }
    std::int64_t cyclesOf(std::size_t channel) const { return m_counts[channel]; }
    TSignalTable meanOf(std::size_t channel) const {
        TSignalTable mean{};
        for (std::size_t k = 0; k < SignalPoints && m_counts[channel] > 0; ++k) {
            mean[k] = static_cast<double>(m_sums[channel][k] / static_cast<long double>(m_counts[channel]));
        }
        return mean;
    }

private:
    void closed(std::size_t channel, double scale, const TSignalTable& points, std::int64_t index) {
        TEncoderCycle cycle;
        cycle.Number = ++m_counts[channel];
        cycle.Channel = static_cast<int>(channel);
        cycle.EngineCycle = index;
        cycle.Points = points;
        for (std::size_t k = 0; k < SignalPoints; ++k) {
            cycle.Points[k] *= scale;
            if (!std::isfinite(cycle.Points[k])) {
                RaiseOverflow();
            }
            m_sums[channel][k] += cycle.Points[k];
        }
        if (m_options.CycleSink) {
            m_options.CycleSink(cycle);
        }
        if (m_options.KeepCycles && channel == 0) {
            m_result.Cycles.push_back(cycle.Points);
        }
    }

    const TEncoderOptions& m_options;
    TEncoderResult& m_result;
    std::vector<TAngleCycles> m_cutters;
    std::vector<std::vector<long double>> m_sums;
    std::vector<std::int64_t> m_counts;
};

}  // namespace

TEncoderResult ImportAngleRecording(const TEncoderOptions& options) {
    if (options.PressureScale && !(std::isfinite(*options.PressureScale) && *options.PressureScale != 0)) {
        RaiseInputError("Citlivost snímače [bar/jednotka]", "konečné číslo různé od 0");
    }
    TEncoderResult result;
    result.InBar = options.PressureScale.has_value();
    TAngleChannels channels(options, result);
    std::vector<std::string> columns = {options.AngleColumn};
    if (options.Channels.empty()) {
        columns.push_back(options.ValueColumn);
    }
    for (const TPressureChannel& channel : options.Channels) {
        columns.push_back(channel.Column);
    }
    ReadAnyRecording(options.Path, options.Format, columns,
                     [&](const std::vector<double>& values, const TRowPlace& place) {
                         channels.sample(values, place.Line);
                     });
    result.CycleCount = channels.cyclesOf(0);
    if (result.CycleCount == 0) {
        RaiseRecordingError("Záznam nemá ani jeden úplný cyklus 0° až 720° (sloupec úhlu '" +
                            options.AngleColumn + "')");
    }
    result.AngleDomain = true;
    result.Revolutions = static_cast<int>(2 * result.CycleCount);
    result.Mean = channels.meanOf(0);
    for (std::size_t k = 0; k < SignalPoints; ++k) {
        result.Largest = std::max(result.Largest, std::fabs(result.Mean[k]));
    }
    for (std::size_t k = 0; result.Largest > 0 && k < SignalPoints; ++k) {
        result.Signal[k] = result.Mean[k] / result.Largest;
    }
    if (!options.Channels.empty()) {
        for (std::size_t k = 0; k < channels.count(); ++k) {
            result.ChannelMeans.push_back(channels.meanOf(k));
            result.ChannelCycleCounts.push_back(channels.cyclesOf(k));
        }
    }
    if (options.Knock) {
        result.KnockNote = "Klepání se nepočítá: záznam v úhlu nemá vzorky v čase";
    }
    return result;
}

}  // namespace morvane
