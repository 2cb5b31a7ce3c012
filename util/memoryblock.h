#pragma once

// A block of bytes that owns itself, for a file's worth of text.

#include <cstddef>

namespace morvane {

// A large block is mapped on its own and offered to the system's huge pages,
// which keeps the cost of touching a file's worth of fresh memory low; a small
// one comes from the heap. The contents are left as they are found (not
// cleared). Raises std::bad_alloc when the memory cannot be had.
class TMemoryBlock {
public:
    TMemoryBlock() = default;
    explicit TMemoryBlock(std::size_t bytes);
    TMemoryBlock(TMemoryBlock&& other) noexcept;
    TMemoryBlock& operator=(TMemoryBlock&& other) noexcept;
    TMemoryBlock(const TMemoryBlock&) = delete;
    TMemoryBlock& operator=(const TMemoryBlock&) = delete;
    ~TMemoryBlock();
    char* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    void release() noexcept;
    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_mappedSize = 0;  // 0 for a heap block
};

}  // namespace morvane
