#pragma once

// Reading a text file line by line in fixed memory.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "util/linebreaks.h"

namespace morvane {

// Reads a file line by line through one buffer of fixed size, so a file of any
// size costs the same memory. The lines are those SplitTextLines gives: CR, LF
// or CR LF end a line and a NUL byte ends the text (nothing after it is read);
// a byte-order mark before the first line is skipped unless the reader is
// asked to keep it. Opening does not wait
// for the writer of a FIFO (one without a writer reads as empty). A line
// longer than the buffer is given cut to its start.
class TLineReader {
public:
    static constexpr std::size_t kBufferSize = std::size_t{1} << 20;

    // Raises EFOpenError as ReadTextLines does.
    explicit TLineReader(const std::string& path, TByteOrderMark mark = TByteOrderMark::Skip);
    ~TLineReader();
    TLineReader(const TLineReader&) = delete;
    TLineReader& operator=(const TLineReader&) = delete;

    // The next line, valid until the next call; false at the end of the text.
    // A failed read raises EFOpenError with the system's cause.
    bool next(std::string_view& line);
    // The bytes read but not yet given, from the start of the next line, for a
    // caller that takes whole lines in place (empty before the first line).
    std::string_view unread() const {
        return m_atStart || m_lineCut || m_endOfText
                   ? std::string_view()
                   : std::string_view(m_buffer.get() + m_begin, m_end - m_begin);
    }
    // Passes over the first bytes of unread(): whole lines with their breaks.
    void skip(std::size_t bytes) {
        m_begin += bytes;
        m_scanned = 0;
    }
    // True when the last line given was longer than the buffer and was cut.
    bool lineCut() const { return m_lineCut; }
    // True for a regular file, which rewind() can start again.
    bool rereadable() const { return m_rereadable; }
    // Starts again at the first line; only for a rereadable file.
    void rewind();

private:
    // Reads more behind the unread bytes; false at the end of the file.
    bool fill();
    // Skips a byte-order mark at the start of the file.
    void skipByteOrderMark();
    // Skips the rest of a cut line up to and including its break.
    void skipRestOfLine();
    // Steps over the break at m_buffer[at] and starts the next line after it.
    void passBreak(std::size_t at);
    // Gives the unread bytes as the last line, which has no break after it.
    bool lastLine(std::string_view& line);

    std::string m_path;
    int m_fd = -1;
    bool m_rereadable = false;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_begin = 0;    // first unread byte
    std::size_t m_end = 0;      // end of the bytes read
    std::size_t m_scanned = 0;  // bytes from m_begin known to hold no break
    bool m_skipMark = true;
    bool m_atStart = true;  // nothing given yet: a byte-order mark may follow
    bool m_endOfFile = false;
    bool m_endOfText = false;    // a NUL byte was met
    bool m_feedPending = false;  // a CR ended the buffer: an LF right after it belongs to it
    bool m_lineCut = false;
};

}  // namespace morvane
