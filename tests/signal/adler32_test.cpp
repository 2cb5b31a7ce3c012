#include "signal/import/mdf4/Adler32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <initializer_list>
#include <random>
#include <vector>

namespace morvane::mdf4 {
namespace {

// Lengths around a block of lanes and a whole block, of random and of
// saturated bytes (the largest sums), give zlib's value.
TEST(Adler32Test, GivesZlibsValue) {
    std::mt19937 random(7);
    for (const std::size_t size : {0U, 1U, 31U, 32U, 33U, 32767U, 32768U, 32769U, 65536U + 100U, 1000003U}) {
        std::vector<std::uint8_t> noise(size);
        for (std::uint8_t& byte : noise) {
            byte = static_cast<std::uint8_t>(random());
        }
        const std::vector<std::uint8_t> full(size, 0xFF);
        for (const auto* data : std::initializer_list<const std::vector<std::uint8_t>*>{&noise, &full}) {
            EXPECT_EQ(Adler32(data->data(), size), ::adler32(1, data->data(), static_cast<uInt>(size)))
                << size << (data == &full ? " bytes of 0xFF" : " random bytes");
        }
    }
}

}  // namespace
}  // namespace morvane::mdf4
