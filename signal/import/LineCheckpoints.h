#pragma once

// Lines of a long text found again without reading it all again: the first
// pass notes where every stride-th line starts (the stride doubling whenever
// the table is full, so memory stays bounded at any length), and a line is
// then read from the checkpoint before it, a few lines on.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "util/linereader.h"

namespace morvane {

class TLineCheckpoints {
public:
    static constexpr std::size_t kMost = std::size_t{1} << 19;

    // At most most offsets (an even number), reserved whole: the pages never
    // filled stay unused.
    explicit TLineCheckpoints(std::size_t most = kMost) : m_most(most) { m_offsets.reserve(most); }

    // Lines are passed in order, from line 0 on.
    void passed(std::int64_t line, std::uint64_t offset) {
        if ((line & (m_stride - 1)) != 0) {
            return;
        }
        if (m_offsets.size() == m_most) {
            thin();
        }
        if ((line & (m_stride - 1)) == 0) {
            m_offsets.push_back(offset);
        }
    }

    // The last checkpoint at or before line: its line and offset.
    std::pair<std::int64_t, std::uint64_t> before(std::int64_t line) const;

private:
    void thin();

    std::size_t m_most;
    std::int64_t m_stride = 1;  // a power of two
    std::vector<std::uint64_t> m_offsets;
};

// Reads lines of a file, of those a first pass found to be lines ending in CR,
// LF or CR LF, at checkpoints and onwards.
class TLineCursor {
public:
    explicit TLineCursor(const TLineReader& reader) : m_reader(reader) {}

    // line starts at offset.
    void jump(std::int64_t line, std::uint64_t offset);
    // The text of line, at or after the current one; false when the file
    // ends before it.
    bool lineAt(std::int64_t line, std::string_view& text);

private:
    // Reads from the current line's start on, the chunk at least grown to
    // hold more; false when nothing more is there.
    bool refill();
    // The end of the current line within the chunk, reading more as needed;
    // false at the end of the file with nothing left.
    bool findEnd(std::size_t& end);

    const TLineReader& m_reader;
    std::vector<char> m_chunk = std::vector<char>(std::size_t{1} << 12);
    std::size_t m_size = 0;      // bytes read into the chunk
    std::size_t m_at = 0;        // the current line's start in the chunk
    std::uint64_t m_offset = 0;  // the chunk's start in the file
    std::int64_t m_line = -1;    // the current line's number; -1 before a jump
};

}  // namespace morvane
