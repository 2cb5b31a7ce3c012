#pragma once

// The Adler-32 check value that ends a zlib stream, computed a block of
// lanes at a time so that the compiler can use vector instructions; zlib's
// own is taken a byte at a time and costs a fifth of inflating a DZ block.

#include <cstddef>
#include <cstdint>

namespace morvane::mdf4 {

// The value zlib's adler32(1, data, size) gives.
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size);

}  // namespace morvane::mdf4
