#pragma once

// The knock band-pass of several pressure channels at once. The channels lie
// side by side in the lanes of vector registers, and a run of samples is
// filtered in one loop with the filters' state in registers, so four channels
// cost about what one costs sample by sample. Each lane does exactly the
// operations of TKnockFilter::step in the same order (no contraction into
// fused multiply-adds), so every channel's values equal, to the bit, those of
// a TKnockFilter of its own.

#include <array>
#include <cstddef>
#include <vector>

#include "signal/pressure/KnockFilter.h"

namespace morvane {

class TKnockFilterBank {
public:
    // Each of channels (at least 1) runs filter from a zero state.
    TKnockFilterBank(const TKnockFilter& filter, std::size_t channels);

    std::size_t channels() const { return m_channels; }
    // The next count samples, in rows of width values (at least 2 channels()
    // apart): each row holds the channels' values, and gets their band-passed
    // values at channels() on.
    void filter(double* rows, std::size_t width, std::size_t count);

    // Channels side by side in one vector.
    static constexpr std::size_t kLanes = 4;

private:
    // Kept as plain doubles, which the bank's owner may place anywhere; a run
    // moves them into vector registers and back.
    using TLaneValues = std::array<double, kLanes>;

    struct TCoefficients {
        TLaneValues B0, B1, B2, A1, A2;
    };
    struct TState {
        TLaneValues X1{}, X2{}, Y1{}, Y2{};
    };
    struct TGroup {
        TState HighPass, LowPass;
    };
    static TCoefficients broadcast(const TBiquad& section);

    std::size_t m_channels;
    TCoefficients m_highPass;
    TCoefficients m_lowPass;
    std::vector<TGroup> m_groups;  // kLanes channels each
};

}  // namespace morvane
