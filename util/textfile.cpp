#include "util/textfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <limits>
#include <utility>

#include "util/errors.h"
#include "util/fileaccess.h"
#include "util/linebreaks.h"
#include "util/textencoding.h"

namespace morvane {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// Reads everything up to the end of the file. The size from fstat is only a
// first guess: a pipe has none, and a file may grow while it is read, so the
// buffer grows whenever a read fills it. The buffer is not cleared first: every
// byte of it up to size is written by a read. Returns 0, or the error number
// of a failed read.
int ReadAll(int fd, std::size_t expectedSize, TMemoryBlock& buffer, std::size_t& size) {
    constexpr std::size_t kMinimumChunk = std::size_t{64} * 1024;
    // A sparse file's size says nothing about its text, which ends at its
    // first NUL byte: the first guess is capped, and the buffer grows as needed.
    constexpr std::size_t kLargestGuess = std::size_t{64} << 20;
    // One byte beyond the expected size lets the read that sees the end of
    // the file go without growing the buffer.
    buffer = TMemoryBlock(expectedSize > 0 ? std::min(expectedSize + 1, kLargestGuess) : kMinimumChunk);
    size = 0;
    for (;;) {
        if (size == buffer.size()) {
            TMemoryBlock larger(buffer.size() * 2);
            std::memcpy(larger.data(), buffer.data(), size);
            buffer = std::move(larger);
        }
        ssize_t got = ::read(fd, buffer.data() + size, buffer.size() - size);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (got == 0) {
            break;
        }
        // The text ends at a NUL byte, so nothing after it needs reading
        // (a device such as /dev/zero would never end).
        const bool endsText =
            std::memchr(buffer.data() + size, '\0', static_cast<std::size_t>(got)) != nullptr;
        size += static_cast<std::size_t>(got);
        if (endsText) {
            break;
        }
    }
    return 0;
}

// How many lines to make room for once count lines have been found before
// offset: the number the whole text is expected to hold at the density so far,
// and a little more. A table reserved from a separate count would cost a
// second pass over the text.
std::size_t ExpectedLineCount(std::size_t count, std::size_t offset, std::size_t textSize) {
    std::size_t expected = 1024;
    if (count > 0 && offset > 0) {
        expected = static_cast<std::size_t>(static_cast<double>(count) * static_cast<double>(textSize) /
                                            static_cast<double>(offset) * 1.0625) +
                   1024;
    }
    return std::max(expected, count + count / 2 + 16);
}

// Its first NUL would end the text at once: an empty file in disguise.
void RefuseWideText(const TLineReader& reader, std::string_view path) {
    if (const TWideText wide = WideTextOf(reader.head()); wide != TWideText::None) {
        RaiseTextFileError(path, WideTextProblem(wide));
    }
}

bool Contains(const std::vector<char>& buffer, std::string_view line) {
    const std::less_equal<const char*> notAfter;
    return notAfter(buffer.data(), line.data()) &&
           notAfter(line.data() + line.size(), buffer.data() + buffer.size());
}

}  // namespace

std::string_view TrimBlanksView(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) {
        ++first;
    }
    std::size_t last = text.size();
    while (last > first && IsBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

std::string TrimBlanks(std::string_view text) {
    return std::string(TrimBlanksView(text));
}

std::vector<std::string_view> SplitTextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    ScanLines(text.data(), text.size(), TByteOrderMark::Keep, [&](std::size_t offset, std::size_t length) {
        if (lines.size() == lines.capacity()) {
            lines.reserve(ExpectedLineCount(lines.size(), offset, text.size()));
        }
        lines.emplace_back(text.data() + offset, length);
    });
    return lines;
}

void TTextLines::addStart(std::size_t offset, std::size_t textSize) {
    constexpr std::size_t kEntry = sizeof(std::uint32_t);
    // One entry always stays free: the end of the text needs one more than the lines.
    if (m_startCount + 1 >= m_starts.size() / kEntry) {
        TMemoryBlock larger((ExpectedLineCount(m_startCount, offset, textSize) + 1) * kEntry);
        if (m_startCount > 0) {
            std::memcpy(larger.data(), m_starts.data(), m_startCount * kEntry);
        }
        m_starts = std::move(larger);
    }
    const auto start = static_cast<std::uint32_t>(offset);
    std::memcpy(m_starts.data() + m_startCount * kEntry, &start, kEntry);
    ++m_startCount;
}

TTextLines::TTextLines(TMemoryBlock text, std::size_t size) : m_text(std::move(text)) {
    const char* const begin = m_text.data();
    if (size < std::numeric_limits<std::uint32_t>::max()) {
        const std::size_t end = ScanLines(begin, size, TByteOrderMark::Keep,
                                          [&](std::size_t offset, std::size_t) { addStart(offset, size); });
        if (m_startCount > 0) {
            // Room for it was kept by every growth.
            const auto last = static_cast<std::uint32_t>(end);
            std::memcpy(m_starts.data() + m_startCount * sizeof last, &last, sizeof last);
            ++m_startCount;
        }
    } else {
        m_wideLines = SplitTextLines(std::string_view(begin, size));
    }
}

TTextLines::TTextLines(std::vector<char> buffer, const std::vector<std::string_view>& lines) {
    std::size_t size = buffer.size();
    for (std::string_view line : lines) {
        if (!Contains(buffer, line)) {
            size += line.size();
        }
    }
    m_text = TMemoryBlock(size);
    char* const text = m_text.data();
    if (!buffer.empty()) {
        std::memcpy(text, buffer.data(), buffer.size());
    }
    m_wideLines.reserve(lines.size());
    std::size_t tail = buffer.size();
    for (std::string_view line : lines) {
        std::size_t offset = 0;
        if (Contains(buffer, line)) {
            offset = static_cast<std::size_t>(line.data() - buffer.data());
        } else {
            offset = tail;
            if (!line.empty()) {
                std::memcpy(text + tail, line.data(), line.size());
            }
            tail += line.size();
        }
        m_wideLines.emplace_back(text + offset, line.size());
    }
}

TTextLines ReadTextLines(const std::string& path) {
    struct stat status {};
    TFileDescriptor file(OpenForReading(path, status));

    std::size_t expectedSize = 0;
    if (S_ISREG(status.st_mode) && status.st_size > 0) {
        expectedSize = static_cast<std::size_t>(status.st_size);
    }
    TMemoryBlock text;
    std::size_t size = 0;
    if (int readError = ReadAll(file.get(), expectedSize, text, size); readError != 0) {
        RaiseOpenFailure(path, readError);
    }
    return TTextLines(std::move(text), size);
}

TTextLines ReadFirstTextLines(const std::string& path, std::size_t maxLines) {
    TLineReader reader(path, TByteOrderMark::Skip);
    return ReadFirstTextLines(reader, path, maxLines);
}

TTextLines ReadFirstTextLines(TLineReader& reader, std::string_view path, std::size_t maxLines) {
    static constexpr std::string_view kCutMark = "…";
    std::vector<char> text;
    std::vector<std::pair<std::size_t, std::size_t>> spans;  // offset and length of each line
    std::string_view line;
    while (spans.size() < maxLines && reader.next(line)) {
        if (spans.empty()) {
            RefuseWideText(reader, path);
        }
        if (reader.nulMet()) {
            RaiseTextFileLineError(path, static_cast<std::int64_t>(spans.size()) + 1, kNulByteProblem);
        }
        const bool cut = line.size() > kLongestBoundedLine;
        line = line.substr(0, kLongestBoundedLine);
        spans.emplace_back(text.size(), line.size() + (cut ? kCutMark.size() : 0));
        text.insert(text.end(), line.begin(), line.end());
        if (cut) {
            text.insert(text.end(), kCutMark.begin(), kCutMark.end());
        }
    }
    if (reader.nulMet()) {
        RefuseWideText(reader, path);
        RaiseTextFileLineError(path, static_cast<std::int64_t>(spans.size()) + 1, kNulByteProblem);
    }
    std::vector<std::string_view> lines;
    lines.reserve(spans.size());
    for (const auto& [offset, length] : spans) {
        lines.emplace_back(text.data() + offset, length);
    }
    return TTextLines(std::move(text), lines);
}

}  // namespace morvane
