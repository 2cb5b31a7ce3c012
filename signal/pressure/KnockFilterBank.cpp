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

constexpr std::size_t kLanes = TKnockFilterBank::kLanes;
using TLanes = double __attribute__((vector_size(kLanes * sizeof(double))));

// Vectors go by reference only: none crosses a call by value.
[[gnu::always_inline]] inline void Load(const std::array<double, kLanes>& values, TLanes& lanes) {
    std::memcpy(&lanes, values.data(), sizeof lanes);
}

[[gnu::always_inline]] inline void Store(const TLanes& lanes, std::array<double, kLanes>& values) {
    std::memcpy(values.data(), &lanes, sizeof lanes);
}

// One section's coefficients and state in registers for a run.
struct TSection {
    TLanes B0, B1, B2, A1, A2;
    TLanes X1, X2, Y1, Y2;

    template <typename TCoefficients, typename TState>
    [[gnu::always_inline]] TSection(const TCoefficients& c, const TState& s) {
        Load(c.B0, B0);
        Load(c.B1, B1);
        Load(c.B2, B2);
        Load(c.A1, A1);
        Load(c.A2, A2);
        Load(s.X1, X1);
        Load(s.X2, X2);
        Load(s.Y1, Y1);
        Load(s.Y2, Y2);
    }

    // TBiquad::step in every lane.
    [[gnu::always_inline]] void step(const TLanes& x, TLanes& y) {
        y = B0 * x + B1 * X1 + B2 * X2 - A1 * Y1 - A2 * Y2;
        X2 = X1;
        X1 = x;
        Y2 = Y1;
        Y1 = y;
    }

    template <typename TState>
    [[gnu::always_inline]] void keep(TState& s) const {
        Store(X1, s.X1);
        Store(X2, s.X2);
        Store(Y1, s.Y1);
        Store(Y2, s.Y2);
    }
};

// The runs of every group of lanes (see TKnockFilterBank::filter).
template <typename TCoefficients, typename TGroup>
[[gnu::always_inline]] inline void FilterRuns(const TCoefficients& high, const TCoefficients& low,
                                              std::vector<TGroup>& groups, std::size_t channels, double* rows,
                                              std::size_t width, std::size_t count) {
    for (std::size_t group = 0; group < groups.size(); ++group) {
        const std::size_t first = group * kLanes;
        const std::size_t lanes = std::min(kLanes, channels - first);
        TSection highPass(high, groups[group].HighPass);
        TSection lowPass(low, groups[group].LowPass);
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
            highPass.step(x, passed);
            lowPass.step(passed, y);
            double* const out = row + channels + first;
            if (lanes == kLanes) {
                std::memcpy(out, &y, sizeof y);
            } else {
                for (std::size_t lane = 0; lane < lanes; ++lane) {
                    out[lane] = y[lane];
                }
            }
        }
        highPass.keep(groups[group].HighPass);
        lowPass.keep(groups[group].LowPass);
    }
}

#if defined(__x86_64__) && !defined(__AVX__)
// The same where the processor has 256-bit registers: all four lanes in one
// operation. The operations per lane, and so the values, are the same.
template <typename TCoefficients, typename TGroup>
[[gnu::target("avx")]] void FilterRunsWide(const TCoefficients& high, const TCoefficients& low,
                                           std::vector<TGroup>& groups, std::size_t channels, double* rows,
                                           std::size_t width, std::size_t count) {
    FilterRuns(high, low, groups, channels, rows, width, count);
}

bool WideRegisters() {
    static const bool kWide = [] {
        __builtin_cpu_init();  // may run before the constructors that would call it
        return __builtin_cpu_supports("avx") != 0;
    }();
    return kWide;
}
#endif

}  // namespace

void TKnockFilterBank::filter(double* rows, std::size_t width, std::size_t count) {
#if defined(__x86_64__) && !defined(__AVX__)
    if (WideRegisters()) {
        FilterRunsWide(m_highPass, m_lowPass, m_groups, m_channels, rows, width, count);
        return;
    }
#endif
    FilterRuns(m_highPass, m_lowPass, m_groups, m_channels, rows, width, count);
}

}  // namespace morvane
