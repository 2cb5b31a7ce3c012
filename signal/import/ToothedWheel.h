#pragma once

// Crank angle from a toothed crank wheel, sample by sample: rising edges of the
// encoder channel, the reference mark among them, and the angle of every edge.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace morvane {

// T tooth positions of which M are missing or merged into the reference
// mark ("60-2"); M = 0 needs a once-per-revolution index channel.
struct TWheel {
    int Teeth = 60;
    int Missing = 2;
    int edgesPerRevolution() const { return Teeth - Missing; }
};

// "T-M" with two whole numbers, whatever their range; false otherwise.
bool TryParseWheelForm(std::string_view text, TWheel& wheel);

// "T-M" within IsWheelInRange (signal/import/EncoderRanges.h). Raises EImportError
// otherwise.
TWheel ParseWheel(std::string_view text);

// Rising edges of a channel whose range (lowest, highest) is known: hysteresis
// between 30 % and 70 % of the range finds them, so a noisy top gives one edge;
// each edge's moment is the last upward crossing of 50 % before it,
// interpolated between two samples. A channel that starts high has its first
// edge only after it has been low.
class TEdgeDetector {
public:
    TEdgeDetector(double lowest, double highest);
    // The next sample (moments rising); the moment of an edge it completes.
    std::optional<double> feed(double moment, double value);

private:
    double m_lower;
    double m_middle;
    double m_upper;
    bool m_flat;
    bool m_started = false;
    bool m_high = false;
    bool m_awaitingAfter = false;  // the sample after the last one below the middle is still to come
    double m_belowMoment = 0;
    double m_belowValue = 0;
    double m_afterMoment = 0;
    double m_afterValue = 0;
};

// Inline: it runs once a sample.
inline std::optional<double> TEdgeDetector::feed(double moment, double value) {
    if (m_flat) {
        return std::nullopt;
    }
    if (!m_started) {
        m_started = true;
        m_high = value >= m_upper;
        m_belowMoment = m_afterMoment = moment;
        m_belowValue = m_afterValue = value;
    }
    if (m_awaitingAfter) {
        m_afterMoment = moment;
        m_afterValue = value;
        m_awaitingAfter = false;
    }
    if (value < m_middle) {
        m_belowMoment = moment;
        m_belowValue = value;
        m_awaitingAfter = true;
    }
    if (m_high && value <= m_lower) {
        m_high = false;
    } else if (!m_high && value >= m_upper) {
        // The thresholds only decide that there is an edge; its moment is where
        // the rise crosses the middle, which a slow or fast rise leaves in place.
        m_high = true;
        const double rise = m_afterValue - m_belowValue;
        const double fraction = rise > 0 ? std::clamp((m_middle - m_belowValue) / rise, 0.0, 1.0) : 0.0;
        return m_belowMoment + fraction * (m_afterMoment - m_belowMoment);
    }
    return std::nullopt;
}

// An edge with its place on the wheel, once it is known.
struct TWheelEdge {
    double Moment = 0;
    bool Reference = false;  // the first edge after the gap (or at the index)
};

// Tells the reference edges among the edges, in order. With a gap, an edge is
// the reference when the interval before it is longer than both neighbouring
// intervals by a factor halfway between a lost tooth (two pitches) and the gap
// (M + 1 pitches), so a lost tooth is found by the edge count instead; so the
// verdict on an edge comes one edge later. With an index channel the
// reference is the first edge at or after each index edge, known at once.
class TReferenceFinder {
public:
    explicit TReferenceFinder(const TWheel& wheel);
    void indexEdge(double moment) { m_index = moment; }
    // Takes an edge; gives the edge whose verdict it completes.
    std::optional<TWheelEdge> edge(double moment);
    // At the end of the recording: the edge still waiting for its verdict.
    std::optional<TWheelEdge> finish();

private:
    bool usesIndex() const { return m_factor == 0; }
    std::optional<TWheelEdge> judge(bool haveAfter, double after);

    double m_factor;
    std::optional<double> m_index;
    std::array<double, 3> m_edges{};  // the last edges: before, start and end of the interval judged
    int m_count = 0;
};

}  // namespace morvane
