#include "signal/import/mdf4/Adler32.h"

#include <array>

namespace morvane::mdf4 {

namespace {

constexpr std::uint64_t kBase = 65521;
constexpr std::size_t kLanes = 32;
// Rows of lanes in a block: the lanes' 32-bit sums cannot overflow
// (255 * 1024 * 1025 / 2 < 2^32).
constexpr std::size_t kRows = 1024;
constexpr std::size_t kBlock = kLanes * kRows;

}  // namespace

// Byte i of a block of n moves a by x_i and b by (n - i) x_i. Lane j sums
// its bytes (sumA) and, row by row, the sums before the row (sumB); so
// sum (n - i) x_i = lanes * sum_j (sumB_j + sumA_j) - sum_j j sumA_j.
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size) {
    std::uint64_t a = 1;
    std::uint64_t b = 0;
    for (; size >= kBlock; size -= kBlock, data += kBlock) {
        std::array<std::uint32_t, kLanes> sumA{};
        std::array<std::uint32_t, kLanes> sumB{};
        for (std::size_t row = 0; row < kBlock; row += kLanes) {
            for (std::size_t j = 0; j < kLanes; ++j) {
                sumB[j] += sumA[j];
                sumA[j] += data[row + j];
            }
        }
        std::uint64_t bytes = 0;
        std::uint64_t weighted = 0;
        for (std::size_t j = 0; j < kLanes; ++j) {
            bytes += sumA[j];
            weighted += kLanes * (std::uint64_t{sumB[j]} + sumA[j]) - j * std::uint64_t{sumA[j]};
        }
        b = (b + kBlock * a + weighted) % kBase;
        a = (a + bytes) % kBase;
    }
    // The rest, under a block: neither sum outgrows 64 bits.
    for (std::size_t i = 0; i < size; ++i) {
        a += data[i];
        b += a;
    }
    return static_cast<std::uint32_t>((b % kBase) << 16U | (a % kBase));
}

}  // namespace morvane::mdf4
