#pragma once

// Reading a text file line by line in fixed memory.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "util/linebreaks.h"
#include "util/progress.h"

namespace morvane {

// Reads a file line by line through one buffer of fixed size, so a file of any
// size costs the same memory. The lines are those SplitTextLines gives: CR, LF
// or CR LF end a line and a NUL byte ends the text (nothing after it is read);
// a byte-order mark before the first line is skipped unless the reader is
// asked to keep it. Opening does not wait
// for the writer of a FIFO (one without a writer reads as empty). A line
// longer than the buffer is given cut to its start. A reader that refuses a
// NUL byte asks nulMet(); the lines stay as the shared rules give them.
// Each read of a block reports to the thread's progress (util/progress.h) as
// the reader was made, and raises ECancelled there when asked to stop.
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
    // The next call of next() gives the last line again, so a caller may look
    // at a pipe's first line and still hand the whole text on.
    void giveAgain() { m_again = true; }
    // True once a NUL byte ended the text. After next() gave a line, the NUL
    // ends that line; after next() returned false, it starts the line after
    // the last one given.
    bool nulMet() const { return m_nulMet; }
    // The file's first bytes (up to four, a byte-order mark included), known
    // once next() was called: what a text in UTF-16 or UTF-32 shows itself by.
    std::string_view head() const { return std::string_view(m_head.data(), m_headSize); }
    // The bytes passed so far: every line given with its break.
    std::uint64_t position() const { return m_dropped + m_begin; }
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
    // Visits the whole lines that wait in the buffer, from the next one on, in
    // place: visit(line) for each while it returns true, and the reader passes
    // over the lines visited. Stops before a line the reader must judge
    // itself: one that the bytes read cut, one that a NUL ends, and one ending
    // in a CR at the end of the bytes read (its LF may come with the next read).
    template <typename Visit>
    void takeWaitingLines(Visit&& visit) {
        const std::string_view text = unread();
        const char* const first = text.data();
        std::size_t line = 0;
        for (;;) {
            const std::size_t stop = FindBreak(first, line, text.size());
            if (stop == text.size() || first[stop] == '\0' ||
                (first[stop] == '\r' && stop + 1 == text.size()) || !visit(text.substr(line, stop - line))) {
                break;
            }
            line = stop + (first[stop] == '\r' && first[stop + 1] == '\n' ? 2 : 1);
        }
        skip(line);
    }
    // Where a line given by next() or visited in place starts in the file.
    std::uint64_t offsetOf(std::string_view line) const {
        return m_dropped + static_cast<std::uint64_t>(line.data() - m_buffer.get());
    }
    // Reads up to size bytes at offset into into, leaving the reader where it
    // is (a rereadable file only); fewer at the file's end. Raises EFOpenError
    // as next() does.
    std::size_t readAt(std::uint64_t offset, char* into, std::size_t size) const;
    // True when the last line given was longer than the buffer and was cut.
    bool lineCut() const { return m_lineCut; }
    // True for a regular file, which rewind() can start again.
    bool rereadable() const { return m_rereadable; }
    // Starts again at the first line; only for a rereadable file.
    void rewind();

private:
    // next() less the line given again.
    bool nextLine(std::string_view& line);
    // Reads more behind the unread bytes; false at the end of the file.
    bool fill();
    // Keeps the file's first bytes and skips a byte-order mark, if asked.
    void start();
    // Skips the rest of a cut line up to and including its break.
    void skipRestOfLine();
    // Steps over the break at m_buffer[at] and starts the next line after it.
    void passBreak(std::size_t at);
    // Gives the unread bytes as the last line, which has no break after it.
    bool lastLine(std::string_view& line);

    std::string m_path;
    int m_fd = -1;
    bool m_rereadable = false;
    std::uint64_t m_fileSize = 0;  // of a regular file; 0: unknown
    TProgress* m_progress = nullptr;
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
    bool m_started = false;
    bool m_again = false;
    bool m_nulMet = false;
    std::string_view m_last;      // the last line given
    std::uint64_t m_dropped = 0;  // bytes moved out of the buffer's front
    std::array<char, 4> m_head{};
    std::size_t m_headSize = 0;
};

}  // namespace morvane
