#include "signal/ToothedWheel.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "util/errors.h"

namespace morvane {

namespace {

bool ParseCount(std::string_view text, int& value) {
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

// The indices of the reference edges: each follows an interval longer than
// both its neighbours by a factor halfway between a lost tooth (two pitches)
// and the gap (M + 1 pitches), so a lost tooth is not taken for the mark
// but found by the edge count. One missing tooth cannot tell them apart.
std::vector<std::size_t> ReferencesAfterGaps(const std::vector<double>& edges, const TWheel& wheel) {
    const double factor = wheel.Missing == 1 ? 1.5 : (wheel.Missing + 3) / 2.0;
    std::vector<std::size_t> references;
    for (std::size_t j = 0; j + 1 < edges.size(); ++j) {
        const double interval = edges[j + 1] - edges[j];
        const bool longerThanBefore = j == 0 || interval > factor * (edges[j] - edges[j - 1]);
        const bool longerThanAfter =
            j + 2 >= edges.size() || interval > factor * (edges[j + 2] - edges[j + 1]);
        // The first and last intervals have one neighbour: a gap there is
        // judged by it alone, as long as it has one.
        if (longerThanBefore && longerThanAfter && edges.size() >= 3) {
            references.push_back(j + 1);
        }
    }
    return references;
}

std::vector<std::size_t> ReferencesAtIndex(const std::vector<double>& edges,
                                           const std::vector<double>& indexEdges) {
    std::vector<std::size_t> references;
    for (const double index : indexEdges) {
        const auto at = std::lower_bound(edges.begin(), edges.end(), index);
        if (at != edges.end()) {
            references.push_back(static_cast<std::size_t>(at - edges.begin()));
        }
    }
    references.erase(std::unique(references.begin(), references.end()), references.end());
    return references;
}

}  // namespace

TWheel ParseWheel(std::string_view text) {
    const std::size_t dash = text.find('-');
    TWheel wheel;
    if (dash == std::string_view::npos || !ParseCount(text.substr(0, dash), wheel.Teeth) ||
        !ParseCount(text.substr(dash + 1), wheel.Missing) || wheel.Teeth < 2 || wheel.Teeth > 3600 ||
        wheel.Missing < 0 || wheel.Missing > wheel.Teeth / 2) {
        RaiseRecordingError("Kolo '" + std::string(text) + "' není ve tvaru T-M (například 60-2)");
    }
    return wheel;
}

std::vector<double> RisingEdges(const std::vector<double>& channel, const std::vector<double>& times) {
    std::vector<double> edges;
    if (channel.empty()) {
        return edges;
    }
    const auto [low, high] = std::minmax_element(channel.begin(), channel.end());
    const double range = *high - *low;
    const double lower = *low + 0.3 * range;
    const double middle = *low + 0.5 * range;
    const double upper = *low + 0.7 * range;
    // A channel that starts high has its first edge only after it has been low.
    bool isHigh = channel.front() >= upper;
    std::size_t lastBelowMiddle = 0;
    for (std::size_t i = 1; i < channel.size(); ++i) {
        const double value = channel[i];
        if (value < middle) {
            lastBelowMiddle = i;
        }
        if (isHigh && value <= lower) {
            isHigh = false;
        } else if (!isHigh && value >= upper && range > 0) {
            // The thresholds only decide that there is an edge; its moment is
            // where the rise crosses the middle, which a slow or fast rise
            // leaves in place.
            isHigh = true;
            const std::size_t j = lastBelowMiddle;
            const double before = channel[j];
            const double after = channel[j + 1];
            const double fraction = std::clamp((middle - before) / (after - before), 0.0, 1.0);
            edges.push_back(times[j] + fraction * (times[j + 1] - times[j]));
        }
    }
    return edges;
}

TCrankAngle::TCrankAngle(const std::vector<double>& edges, const TWheel& wheel,
                         const std::vector<double>& indexEdges)
    : m_pitch(360.0 / wheel.Teeth), m_edgesPerRevolution(wheel.edgesPerRevolution()) {
    const std::vector<std::size_t> references =
        wheel.Missing == 0 ? ReferencesAtIndex(edges, indexEdges) : ReferencesAfterGaps(edges, wheel);
    if (references.size() < 2) {
        RaiseRecordingError("Záznam nemá ani jednu úplnou otáčku (referenčních značek: " +
                            std::to_string(references.size()) + ")");
    }
    for (std::size_t r = 0; r + 1 < references.size(); ++r) {
        const std::size_t found = references[r + 1] - references[r];
        if (found != static_cast<std::size_t>(m_edgesPerRevolution)) {
            RaiseRevolutionError(static_cast<std::int64_t>(r + 1), static_cast<std::int64_t>(found),
                                 m_edgesPerRevolution);
        }
    }
    m_revolutions = static_cast<int>(references.size() - 1);
    m_edges.assign(edges.begin() + static_cast<std::ptrdiff_t>(references.front()),
                   edges.begin() + static_cast<std::ptrdiff_t>(references.back()) + 1);
}

double TCrankAngle::angleOfEdge(std::size_t j) const {
    const std::size_t revolution = j / static_cast<std::size_t>(m_edgesPerRevolution);
    const std::size_t tooth = j % static_cast<std::size_t>(m_edgesPerRevolution);
    return 360.0 * static_cast<double>(revolution) + m_pitch * static_cast<double>(tooth);
}

double TCrankAngle::angleAt(double moment) {
    while (m_at + 2 < m_edges.size() && m_edges[m_at + 1] <= moment) {
        ++m_at;
    }
    const double start = m_edges[m_at];
    const double stop = m_edges[m_at + 1];
    const double fraction = std::clamp((moment - start) / (stop - start), 0.0, 1.0);
    return angleOfEdge(m_at) + fraction * (angleOfEdge(m_at + 1) - angleOfEdge(m_at));
}

}  // namespace morvane
