#include "signal/import/CrankAngle.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "util/errors.h"

namespace morvane {

namespace {

// An interval this much longer than the one before it is no tooth pitch.
constexpr double kIrregular = 1.5;
// Samples handed to the sink in one call at most.
constexpr std::size_t kBatch = 256;

}  // namespace

TCrankAngle::TCrankAngle(const TWheel& wheel, TRange encoder, TRange index, ICrankSink& sink,
                         std::size_t mostWaiting)
    : m_encoder(encoder.Lowest, encoder.Highest),
      m_index(index.Lowest, index.Highest),
      m_finder(wheel),
      m_sink(sink),
      m_mostWaiting(mostWaiting),
      m_pitch(360.0 / wheel.Teeth),
      m_missing(wheel.Missing),
      m_edgesPerRevolution(wheel.edgesPerRevolution()),
      m_longestInterval(60.0 * (wheel.Missing + 1) / wheel.Teeth) {}

void TCrankAngle::TQueue::grow() {
    std::vector<TSample> items(m_items.size() * 2);
    for (std::size_t k = 0; k < m_size; ++k) {
        items[k] = m_items[(m_head + k) & (m_items.size() - 1)];
    }
    m_items = std::move(items);
    m_head = 0;
}

void TCrankAngle::encoderEdge(double moment) {
    if (m_lastEdge) {
        m_sink.edgeInterval(moment - *m_lastEdge, m_longestInterval);
    }
    m_lastEdge = moment;
    if (const std::optional<TWheelEdge> judged = m_finder.edge(moment)) {
        place(*judged);
    }
}

void TCrankAngle::finish() {
    if (const std::optional<TWheelEdge> judged = m_finder.finish()) {
        place(*judged);
    }
}

// An edge with its verdict: its angle is known, and so is that of every
// sample before it back to the previous edge.
void TCrankAngle::place(const TWheelEdge& edge) {
    if (!m_started) {
        if (edge.Reference) {
            start(edge.Moment);
        } else {
            early(edge.Moment);
        }
        return;
    }
    if (edge.Reference) {
        if (m_teeth + 1 != m_edgesPerRevolution) {
            RaiseRevolutionError(m_revolutions + 1, m_teeth + 1, m_edgesPerRevolution);
        }
        if (m_revolutions == std::numeric_limits<int>::max()) {
            RaiseRecordingError("Záznam má příliš mnoho otáček");
        }
        ++m_revolutions;
        m_teeth = 0;
        const double seconds = edge.Moment - m_lastReference;
        m_lastReference = edge.Moment;
        m_sink.revolutionDone(m_revolutions, seconds);
    } else {
        ++m_teeth;
    }
    release(edge.Moment, 360.0 * static_cast<double>(m_revolutions) + m_pitch * m_teeth);
}

// The edges of the revolution before the first reference edge, kept while
// they are evenly spaced, so that their samples get angles once it is found.
void TCrankAngle::early(double moment) {
    const std::size_t count = m_early.size();
    if (count >= 2 && moment - m_early[count - 1] > kIrregular * (m_early[count - 1] - m_early[count - 2])) {
        m_early.clear();
    }
    m_early.push_back(moment);
    while (m_early.size() + 1 > static_cast<std::size_t>(m_edgesPerRevolution)) {
        m_early.pop_front();
    }
    while (!m_waiting.empty() && m_waiting.front().Moment < m_early.front()) {
        m_waiting.popFront();
    }
}

// The first reference edge: the edge before it lies M + 1 pitches back (the
// gap), each earlier one a pitch further.
void TCrankAngle::start(double moment) {
    m_started = true;
    m_firstReference = m_lastReference = moment;
    m_hasEdge = false;
    const auto count = static_cast<int>(m_early.size());
    for (int j = 0; j < count; ++j) {
        release(m_early[static_cast<std::size_t>(j)], -m_pitch * (m_missing + count - j));
        m_hasEdge = true;
    }
    m_early.clear();
    release(moment, 0);
    m_hasEdge = true;
}

// Gives every waiting sample up to the edge at moment its angle between the
// previous edge and this one; without a previous edge they have none.
void TCrankAngle::release(double moment, double angle) {
    if (!m_hasEdge) {
        m_waiting.popUpTo(moment, [](const TSample&) {});
    } else {
        const double span = moment - m_edgeMoment;
        // One division an edge instead of one a sample.
        const double inverse = span > 0 ? 1 / span : 0;
        const double from = m_edgeMoment;
        const double turn = angle - m_edgeAngle;
        std::array<TPlacedSample, kBatch>
            batch;  // NOLINT(cppcoreguidelines-pro-type-member-init): written before read
        std::size_t count = 0;
        m_waiting.popUpTo(moment, [&](const TSample& s) {
            const double fraction = span > 0 ? std::clamp((s.Moment - from) * inverse, 0.0, 1.0) : 1.0;
            batch[count++] = {m_edgeAngle + fraction * turn, s.Value, s.Filtered};
            if (count == batch.size()) {
                m_sink.placed(batch.data(), count);
                count = 0;
            }
        });
        if (count > 0) {
            m_sink.placed(batch.data(), count);
        }
    }
    m_edgeMoment = moment;
    m_edgeAngle = angle;
}

}  // namespace morvane
