#include "signal/import/ToothedWheel.h"

#include <algorithm>
#include <string>
#include <vector>

#include "signal/import/EncoderRanges.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/quote.h"

namespace morvane {

bool TryParseWheelForm(std::string_view text, TWheel& wheel) {
    const std::size_t dash = text.find('-');
    return dash != std::string_view::npos && TryParsePlainInteger(text.substr(0, dash), wheel.Teeth) &&
           TryParsePlainInteger(text.substr(dash + 1), wheel.Missing);
}

TWheel ParseWheel(std::string_view text) {
    TWheel wheel;
    if (!TryParseWheelForm(text, wheel)) {
        RaiseRecordingError("Kolo '" + ShortenedQuote(text) + "' není ve tvaru T-M (například 60-2)");
    }
    if (!IsWheelInRange(wheel.Teeth, wheel.Missing)) {
        RaiseRecordingError("Kolo '" + ShortenedQuote(text) + "': počet pozic T musí být od " +
                            std::to_string(kFewestWheelTeeth) + " do " + std::to_string(kMostWheelTeeth) +
                            " a chybějících M od 0 do T/2");
    }
    return wheel;
}

TEdgeDetector::TEdgeDetector(double lowest, double highest)
    : m_lower(lowest + 0.3 * (highest - lowest)),
      m_middle(lowest + 0.5 * (highest - lowest)),
      m_upper(lowest + 0.7 * (highest - lowest)),
      m_flat(!(highest > lowest)) {}

TReferenceFinder::TReferenceFinder(const TWheel& wheel)
    : m_factor(wheel.Missing == 0   ? 0
               : wheel.Missing == 1 ? 1.5
                                    : (wheel.Missing + 3) / 2.0) {}

std::optional<TWheelEdge> TReferenceFinder::edge(double moment) {
    if (usesIndex()) {
        const bool reference = m_index && moment >= *m_index;
        if (reference) {
            m_index.reset();
        }
        return TWheelEdge{moment, reference};
    }
    // The interval judged runs from m_edges[1] to m_edges[2]; this edge ends the one after it.
    std::optional<TWheelEdge> judged;
    if (m_count >= 2) {
        judged = judge(true, moment);
    }
    m_edges = {m_edges[1], m_edges[2], moment};
    ++m_count;
    // The first edge never ends an interval, so it is no reference.
    if (m_count == 1) {
        return TWheelEdge{moment, false};
    }
    return judged;
}

std::optional<TWheelEdge> TReferenceFinder::finish() {
    if (usesIndex() || m_count < 2) {
        return std::nullopt;
    }
    return judge(false, 0);
}

std::optional<TWheelEdge> TReferenceFinder::judge(bool haveAfter, double after) {
    const double interval = m_edges[2] - m_edges[1];
    const bool haveBefore = m_count >= 3;
    // An interval with one neighbour is judged by it alone; one with none is no gap.
    const bool longerThanBefore = !haveBefore || interval > m_factor * (m_edges[1] - m_edges[0]);
    const bool longerThanAfter = !haveAfter || interval > m_factor * (after - m_edges[2]);
    return TWheelEdge{m_edges[2], (haveBefore || haveAfter) && longerThanBefore && longerThanAfter};
}

}  // namespace morvane
