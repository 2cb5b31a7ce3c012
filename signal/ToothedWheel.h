#pragma once

// Crank angle from a toothed crank wheel: rising edges of the encoder channel,
// the reference mark, and the angle of every moment between two edges.

#include <cstdint>
#include <string_view>
#include <vector>

namespace morvane {

// T tooth positions of which M are missing or merged into the reference
// mark ("60-2"); M = 0 needs a once-per-revolution index channel.
struct TWheel {
    int Teeth = 60;
    int Missing = 2;
    int edgesPerRevolution() const { return Teeth - Missing; }
};

// "T-M" with 2 <= T <= 3600 and 0 <= M <= T/2. Raises EImportError otherwise.
TWheel ParseWheel(std::string_view text);

// The moments of the rising edges of a channel: hysteresis between 30 % and
// 70 % of its range finds them, so a noisy top gives one edge; each edge's
// moment is the last upward crossing of 50 % before it, interpolated between
// two samples. times must rise with the samples.
std::vector<double> RisingEdges(const std::vector<double>& channel, const std::vector<double>& times);

// The crank angle of the complete revolutions: edge j of the recording turns
// into an angle in degrees counted from the first reference edge.
class TCrankAngle {
public:
    // The reference edge is the first edge after the one long interval of a
    // revolution, or with an index channel (indexEdges not empty) the first
    // edge at or after each index edge. Every revolution between the first
    // and the last reference edge must have the wheel's edge count; one that
    // has not raises EImportError naming it (counted from 1) and its count.
    TCrankAngle(const std::vector<double>& edges, const TWheel& wheel, const std::vector<double>& indexEdges);

    int revolutions() const { return m_revolutions; }
    // The moment the angle starts (0°) and ends (360° times revolutions()).
    double firstMoment() const { return m_edges.front(); }
    double lastMoment() const { return m_edges.back(); }
    // The angle at a moment within firstMoment() .. lastMoment(), linear
    // between its two neighbouring edges; moments must come in rising order
    // between calls to rewind() for the walk to stay cheap.
    double angleAt(double moment);
    void rewind() { m_at = 0; }

private:
    std::vector<double> m_edges;  // the edges from the first to the last reference edge
    double m_pitch = 6;           // degrees from one tooth position to the next
    int m_edgesPerRevolution = 0;
    int m_revolutions = 0;
    std::size_t m_at = 0;
    double angleOfEdge(std::size_t j) const;
};

}  // namespace morvane
