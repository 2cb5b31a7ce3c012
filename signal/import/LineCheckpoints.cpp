#include "signal/import/LineCheckpoints.h"

#include <algorithm>

#include "util/linebreaks.h"

namespace morvane {

std::pair<std::int64_t, std::uint64_t> TLineCheckpoints::before(std::int64_t line) const {
    const auto at = std::min(static_cast<std::size_t>(line / m_stride), m_offsets.size() - 1);
    return {static_cast<std::int64_t>(at) * m_stride, m_offsets[at]};
}

void TLineCheckpoints::thin() {
    for (std::size_t k = 0; 2 * k < m_offsets.size(); ++k) {
        m_offsets[k] = m_offsets[2 * k];
    }
    m_offsets.resize((m_offsets.size() + 1) / 2);
    m_stride *= 2;
}

void TLineCursor::jump(std::int64_t line, std::uint64_t offset) {
    m_line = line;
    m_offset = offset;
    m_size = m_at = 0;
}

bool TLineCursor::refill() {
    const std::size_t kept = m_size - m_at;
    if (m_at == 0 && kept == m_chunk.size()) {
        m_chunk.resize(2 * m_chunk.size());
    }
    std::copy(m_chunk.begin() + static_cast<std::ptrdiff_t>(m_at),
              m_chunk.begin() + static_cast<std::ptrdiff_t>(m_size), m_chunk.begin());
    m_offset += m_at;
    m_at = 0;
    const std::size_t got = m_reader.readAt(m_offset + kept, m_chunk.data() + kept, m_chunk.size() - kept);
    m_size = kept + got;
    return got > 0;
}

bool TLineCursor::findEnd(std::size_t& end) {
    for (;;) {
        end = FindBreak(m_chunk.data(), m_at, m_size);
        // A CR at the chunk's end may have its LF in the next bytes.
        if (end + 1 < m_size || (end < m_size && m_chunk[end] == '\n')) {
            return true;
        }
        if (!refill()) {
            end = FindBreak(m_chunk.data(), m_at, m_size);
            return m_at < m_size;
        }
    }
}

bool TLineCursor::lineAt(std::int64_t line, std::string_view& text) {
    std::size_t end = 0;
    for (;;) {
        if (!findEnd(end)) {
            return false;
        }
        if (m_line == line) {
            text = std::string_view(m_chunk.data() + m_at, end - m_at);
            return true;
        }
        m_at = std::min(m_size,
                        end + (end + 1 < m_size && m_chunk[end] == '\r' && m_chunk[end + 1] == '\n' ? 2 : 1));
        ++m_line;
    }
}

}  // namespace morvane
