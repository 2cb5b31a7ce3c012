#include "util/memoryblock.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <new>
#include <utility>

namespace morvane {

namespace {

// Blocks from this size on are mapped on their own: one huge page.
constexpr std::size_t kLargeBlock = std::size_t{2} << 20;

}  // namespace

TMemoryBlock::TMemoryBlock(std::size_t bytes) : m_size(bytes) {
    if (bytes < kLargeBlock) {
        m_data = new char[bytes > 0 ? bytes : 1];
        return;
    }
    // Mapped with one huge page to spare, so that the block can start on a
    // huge-page boundary; the unused head and tail are unmapped again.
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t length = (bytes + page - 1) / page * page;
    const std::size_t mapped = length + kLargeBlock;
    void* area = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto first = reinterpret_cast<std::uintptr_t>(area);
    const std::uintptr_t aligned = (first + kLargeBlock - 1) & ~(std::uintptr_t{kLargeBlock} - 1);
    const std::size_t head = aligned - first;
    if (head > 0) {
        ::munmap(area, head);
    }
    if (mapped - head > length) {
        ::munmap(reinterpret_cast<char*>(aligned) + length, mapped - head - length);
    }
    m_data = reinterpret_cast<char*>(aligned);
    m_mappedSize = length;
#if defined(MADV_HUGEPAGE)
    // Only advice: where huge pages are not to be had, small ones serve.
    ::madvise(m_data, m_mappedSize, MADV_HUGEPAGE);
#endif
}

TMemoryBlock::TMemoryBlock(TMemoryBlock&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_mappedSize(std::exchange(other.m_mappedSize, 0)) {}

TMemoryBlock& TMemoryBlock::operator=(TMemoryBlock&& other) noexcept {
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mappedSize = std::exchange(other.m_mappedSize, 0);
    }
    return *this;
}

TMemoryBlock::~TMemoryBlock() {
    release();
}

void TMemoryBlock::release() noexcept {
    if (m_mappedSize > 0) {
        ::munmap(m_data, m_mappedSize);
    } else {
        delete[] m_data;
    }
    m_data = nullptr;
    m_size = 0;
    m_mappedSize = 0;
}

}  // namespace morvane
