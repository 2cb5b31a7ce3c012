#include "signal/pressure/KnockFilterBank.h"

#include <algorithm>
#include <cstring>

namespace morvane {

TKnockFilterBank::TKnockFilterBank(const TKnockFilter& filter, std::size_t channels)
    : m_channels(std::max<std::size_t>(1, channels)),
      m_highPass(broadcast(filter.highPass())),
      m_lowPass(broadcast(filter.lowPass())),
      m_groups((m_channels + kLanes - 1) / kLanes) {}

TKnockFilterBank::TCoefficients TKnockFilterBank::broadcast(const TBiquad& section) {
    TCoefficients all{};
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        all.B0[lane] = section.b(0);
        all.B1[lane] = section.b(1);
        all.B2[lane] = section.b(2);
        all.A1[lane] = section.a(1);
        all.A2[lane] = section.a(2);
    }
    return all;
}

namespace {

// TBiquad::step in every lane. Vectors go by reference only, so that none
// crosses a call by value and the state stays in registers over a run.
template <typename TLanes, typename TCoefficients, typename TState>
[[gnu::always_inline]] inline void Step(const TCoefficients& c, TState& s, const TLanes& x, TLanes& y) {
    y = c.B0 * x + c.B1 * s.X1 + c.B2 * s.X2 - c.A1 * s.Y1 - c.A2 * s.Y2;
    s.X2 = s.X1;
    s.X1 = x;
    s.Y2 = s.Y1;
    s.Y1 = y;
}

}  // namespace

void TKnockFilterBank::filter(double* rows, std::size_t width, std::size_t count) {
    const TCoefficients high = m_highPass;
    const TCoefficients low = m_lowPass;
    for (std::size_t group = 0; group < m_groups.size(); ++group) {
        const std::size_t first = group * kLanes;
        const std::size_t lanes = std::min(kLanes, m_channels - first);
        TState highState = m_groups[group].HighPass;
        TState lowState = m_groups[group].LowPass;
        double* row = rows;
        for (std::size_t k = 0; k < count; ++k, row += width) {
            TLanes x{};
            if (lanes == kLanes) {
                std::memcpy(&x, row + first, sizeof x);
            } else {
                for (std::size_t lane = 0; lane < lanes; ++lane) {
                    x[lane] = row[first + lane];
                }
            }
            TLanes passed;
            TLanes y;
            Step(high, highState, x, passed);
            Step(low, lowState, passed, y);
            double* const out = row + m_channels + first;
            if (lanes == kLanes) {
                std::memcpy(out, &y, sizeof y);
            } else {
                for (std::size_t lane = 0; lane < lanes; ++lane) {
                    out[lane] = y[lane];
                }
            }
        }
        m_groups[group] = {highState, lowState};
    }
}

}  // namespace morvane
