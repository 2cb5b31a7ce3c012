#include "signal/import/EncoderCycles.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "signal/pressure/KnockJudgement.h"

namespace morvane {

namespace {

constexpr double kCycleDegrees = 720;

}  // namespace

TPhaseCycles::TPhaseCycles(double start, std::optional<TKnockSettings> knock, TClosed closed)
    : m_start(std::fmod(start, kCycleDegrees) - kCycleDegrees), m_knock(knock), m_closed(std::move(closed)) {}

void TPhaseCycles::place(double angle, double value, double filtered) {
    if (!m_hasLast) {
        // The first cycle that starts at or after the first sample.
        const auto first = static_cast<std::int64_t>(std::ceil((angle - m_start) / kCycleDegrees));
        m_next = first * kCyclePoints;
    }
    const std::int64_t next = m_next;
    const double span = angle - m_lastAngle;
    const bool between = m_hasLast && span > 0;
    const double before = m_hasLast ? m_lastValue : value;
    for (double target = angleOf(m_next); target <= angle; target = angleOf(m_next)) {
        const double fraction = between ? std::clamp((target - m_lastAngle) / span, 0.0, 1.0) : 1.0;
        set(m_next, before + fraction * (value - before));
        ++m_next;
    }
    m_nextAngle = angleOf(m_next);
    m_hasLast = true;
    m_lastAngle = angle;
    m_lastValue = value;
    if (m_knock) {
        for (TOpen& cycle : m_open) {
            const double cycleAngle = angle - cycle.Start;
            if (cycleAngle >= m_knock->From && cycleAngle <= m_knock->To) {
                cycle.Mapo = std::max(cycle.Mapo, std::fabs(filtered));
            }
        }
    }
    // Only a newly set point can complete a cycle whose revolutions were already checked.
    if (m_next != next && !m_open.empty() && m_next > (m_open.front().Index + 1) * kCyclePoints) {
        closeDone();
    }
}

void TPhaseCycles::revolutionsDone(std::int64_t revolutions) {
    m_checked = revolutions;
    closeDone();
}

void TPhaseCycles::finish() {
    while (!m_open.empty() && m_hasLast) {
        TOpen& cycle = m_open.front();
        const std::int64_t end = (cycle.Index + 1) * kCyclePoints;
        if (angleOf(end) > 360.0 * static_cast<double>(m_checked)) {
            return;
        }
        for (; m_next <= end; ++m_next) {
            set(m_next, m_lastValue);
        }
        closeDone();
    }
}

// Grid point grid is point j of cycle grid / 1440 and, for j = 0, the last
// point of the cycle before.
void TPhaseCycles::set(std::int64_t grid, double value) {
    // Most points fall inside the cycle last set.
    if (m_filling != nullptr && grid > m_filling->FirstGrid && grid < m_filling->FirstGrid + kCyclePoints) {
        m_filling->Points[static_cast<std::size_t>(grid - m_filling->FirstGrid)] = value;
        return;
    }
    const std::int64_t index = grid / kCyclePoints;
    const auto j = static_cast<std::size_t>(grid - index * kCyclePoints);
    if (j == 0 && !m_open.empty() && m_open.back().Index == index - 1) {
        m_open.back().Points[SignalPoints - 1] = value;
    }
    if (m_filling == nullptr || m_filling->Index != index) {
        m_filling = &open(index);
    }
    m_filling->Points[j] = value;
}

TPhaseCycles::TOpen& TPhaseCycles::open(std::int64_t index) {
    if (m_open.empty() || m_open.back().Index != index) {
        TOpen& opened = m_open.emplace_back();
        opened.Index = index;
        opened.FirstGrid = index * kCyclePoints;
        opened.Start = angleOf(opened.FirstGrid);
    }
    return m_open.back();
}

// Hands on, in order, each cycle whose last point is set and whose revolutions are checked.
void TPhaseCycles::closeDone() {
    while (!m_open.empty()) {
        const std::int64_t end = (m_open.front().Index + 1) * kCyclePoints;
        if (m_next <= end || angleOf(end) > 360.0 * static_cast<double>(m_checked)) {
            return;
        }
        TOpen& done = m_open.front();
        TEncoderCycle cycle;
        cycle.Number = ++m_count;
        cycle.Points = done.Points;
        cycle.Mapo = done.Mapo;
        cycle.Knocks = m_knock && KnocksAt(done.Mapo, m_knock->Threshold);
        cycle.KnockKnown = m_knock.has_value();
        cycle.Start = done.Start;
        if (m_filling == &done) {
            m_filling = nullptr;
        }
        m_open.pop_front();
        m_closed(cycle);
    }
}

}  // namespace morvane
