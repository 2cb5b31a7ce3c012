#include "signal/pressure/KnockFilterBank.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <vector>

namespace morvane {
namespace {

// Every channel of the bank, in runs of any length, equals a filter of its own to the bit.
TEST(KnockFilterBankTest, EachChannelEqualsItsOwnFilterToTheBit) {
    const TKnockFilter filter(TKnockSettings{}, 100000, TNumberFormat{});
    const std::vector<std::size_t> runs = {1, 7, 64, 3, 1, 200, 2};
    for (const std::size_t channels : {1U, 2U, 3U, 4U, 5U, 8U, 9U, 16U}) {
        SCOPED_TRACE(channels);
        const std::size_t width = 2 * channels + 1;  // a spare value a row must stay untouched
        TKnockFilterBank bank(filter, channels);
        std::vector<TKnockFilter> own(channels, filter);
        std::mt19937_64 random(channels);
        std::uniform_real_distribution<double> pressure(-5, 180);
        for (const std::size_t run : runs) {
            std::vector<double> rows(run * width, -1);
            for (std::size_t k = 0; k < run; ++k) {
                for (std::size_t c = 0; c < channels; ++c) {
                    rows[k * width + c] = pressure(random);
                }
            }
            bank.filter(rows.data(), width, run);
            for (std::size_t k = 0; k < run; ++k) {
                for (std::size_t c = 0; c < channels; ++c) {
                    const double expected = own[c].step(rows[k * width + c]);
                    ASSERT_EQ(std::bit_cast<std::uint64_t>(rows[k * width + channels + c]),
                              std::bit_cast<std::uint64_t>(expected));
                }
                ASSERT_EQ(rows[k * width + 2 * channels], -1);
            }
        }
    }
}

}  // namespace
}  // namespace morvane
