#include "util/linereader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "util/fileaccess.h"
#include "util/linebreaks.h"

namespace morvane {

TLineReader::TLineReader(const std::string& path, TByteOrderMark mark)
    : m_path(path),
      m_buffer(std::make_unique_for_overwrite<char[]>(kBufferSize)),
      m_skipMark(mark == TByteOrderMark::Skip) {
    struct stat status {};
    m_fd = OpenForReading(path, status);
    m_rereadable = S_ISREG(status.st_mode);
    m_fileSize = m_rereadable ? static_cast<std::uint64_t>(status.st_size) : 0;
    m_progress = CurrentProgress();
}

TLineReader::~TLineReader() {
    ::close(m_fd);
}

void TLineReader::rewind() {
    if (::lseek(m_fd, 0, SEEK_SET) != 0) {
        RaiseOpenFailure(m_path, errno);
    }
    m_begin = m_end = m_scanned = 0;
    m_dropped = 0;
    m_endOfFile = m_endOfText = m_feedPending = m_lineCut = false;
    m_started = m_again = m_nulMet = false;
    m_atStart = true;
}

std::size_t TLineReader::readAt(std::uint64_t offset, char* into, std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(m_fd, into + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            RaiseOpenFailure(m_path, errno);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool TLineReader::fill() {
    if (m_endOfFile) {
        return false;
    }
    // The unread bytes move to the front, so the buffer's tail is free.
    if (m_begin > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_dropped += m_begin;
        m_begin = 0;
    }
    for (;;) {
        const ssize_t got = ::read(m_fd, m_buffer.get() + m_end, kBufferSize - m_end);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            RaiseOpenFailure(m_path, errno);
        }
        if (got == 0) {
            m_endOfFile = true;
            return false;
        }
        m_end += static_cast<std::size_t>(got);
        break;
    }
    ReportBlockRead(m_progress, m_dropped + m_end, m_fileSize);
    if (m_feedPending) {
        m_feedPending = false;
        if (m_buffer[m_begin] == '\n') {
            ++m_begin;
        }
    }
    return true;
}

void TLineReader::start() {
    m_started = true;
    m_atStart = false;
    // A pipe may give the first bytes in more than one read.
    while (m_end - m_begin < m_head.size() && fill()) {
    }
    m_headSize = std::min(m_head.size(), m_end - m_begin);
    std::memcpy(m_head.data(), m_buffer.get() + m_begin, m_headSize);
    if (m_skipMark) {
        m_begin += ByteOrderMarkLength(std::string_view(m_buffer.get() + m_begin, m_end - m_begin));
    }
}

void TLineReader::passBreak(std::size_t at) {
    m_begin = at + 1;
    m_scanned = 0;
    if (m_buffer[at] != '\r') {
        return;
    }
    if (m_begin < m_end) {
        if (m_buffer[m_begin] == '\n') {
            ++m_begin;
        }
    } else {
        m_feedPending = true;
    }
}

void TLineReader::skipRestOfLine() {
    for (;;) {
        const std::size_t hit = FindBreak(m_buffer.get(), m_begin, m_end);
        if (hit != m_end) {
            if (m_buffer[hit] == '\0') {
                m_endOfText = m_nulMet = true;
                return;
            }
            passBreak(hit);
            return;
        }
        m_begin = m_end;
        if (!fill()) {
            return;
        }
    }
}

bool TLineReader::lastLine(std::string_view& line) {
    line = std::string_view(m_buffer.get() + m_begin, m_end - m_begin);
    m_begin = m_end;
    m_scanned = 0;
    m_endOfText = true;
    return !line.empty();
}

bool TLineReader::next(std::string_view& line) {
    if (m_again) {
        m_again = false;
        line = m_last;
        return true;
    }
    if (!m_started) {
        start();
    }
    const bool given = nextLine(line);
    m_last = given ? line : std::string_view();
    return given;
}

bool TLineReader::nextLine(std::string_view& line) {
    if (m_lineCut) {
        m_lineCut = false;
        skipRestOfLine();
    }
    const char* const data = m_buffer.get();
    for (;;) {
        if (m_endOfText) {
            return false;
        }
        const std::size_t hit = FindBreak(data, m_begin + m_scanned, m_end);
        if (hit != m_end) {
            line = std::string_view(data + m_begin, hit - m_begin);
            if (data[hit] == '\0') {
                m_endOfText = m_nulMet = true;
                return !line.empty();
            }
            passBreak(hit);
            return true;
        }
        m_scanned = m_end - m_begin;
        if (m_scanned == kBufferSize) {
            // No break in a whole buffer: its start stands for the line.
            line = std::string_view(data, kBufferSize);
            m_begin = m_end;
            m_scanned = 0;
            m_lineCut = true;
            return true;
        }
        if (!fill()) {
            return lastLine(line);
        }
    }
}

}  // namespace morvane
