#include "util/textfile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <new>
#include <system_error>
#include <utility>

#include "util/errors.h"

namespace morvane {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// The path as the user should see it in a message: absolute and without "."
// or ".." steps. When that cannot be worked out the path is shown as given.
std::string FullPath(const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) {
        return path;
    }
    return absolute.lexically_normal().string();
}

// The system's text for an error number, without the trailing full stop,
// blanks and control characters some systems end it with.
std::string SystemReason(int errorNumber) {
    std::string reason = std::generic_category().message(errorNumber);
    while (!reason.empty() && (IsBlank(reason.back()) || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason;
}

[[noreturn]] void RaiseOpenFailure(const std::string& path, int errorNumber) {
    RaiseFileOpenError(FullPath(path), SystemReason(errorNumber));
}

// Closes the descriptor on every way out of ReadTextLines.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : m_fd(fd) {}
    ~TFileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Reads everything up to the end of the file. The size from fstat is only a
// first guess: a pipe has none, and a file may grow while it is read, so the
// buffer grows whenever a read fills it. The buffer is not cleared first: every
// byte of it up to size is written by a read. Returns 0, or the error number
// of a failed read.
template <typename Block>
int ReadAll(int fd, std::size_t expectedSize, Block& buffer, std::size_t& size) {
    constexpr std::size_t kMinimumChunk = std::size_t{64} * 1024;
    // A sparse file's size says nothing about its text, which ends at its
    // first NUL byte: the first guess is capped, and the buffer grows as needed.
    constexpr std::size_t kLargestGuess = std::size_t{64} << 20;
    // One byte beyond the expected size lets the read that sees the end of
    // the file go without growing the buffer.
    buffer = Block(expectedSize > 0 ? std::min(expectedSize + 1, kLargestGuess) : kMinimumChunk);
    size = 0;
    for (;;) {
        if (size == buffer.size()) {
            Block larger(buffer.size() * 2);
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

// Opens a path for reading as a file. A FIFO opens at once even without a
// writer (it then reads as empty); reads block again once it is open.
int OpenForReading(const std::string& path, struct stat& status) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        RaiseOpenFailure(path, errno);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 || ::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        RaiseOpenFailure(path, error);
    }
    // A directory opens for reading on Linux but holds no text.
    if (S_ISDIR(status.st_mode)) {
        ::close(fd);
        RaiseOpenFailure(path, EISDIR);
    }
    return fd;
}

// The first CR, LF or NUL in [from, to), or to.
const char* FindBreak(const char* from, const char* const to) {
#if defined(__SSE2__)
    const __m128i returns = _mm_set1_epi8('\r');
    const __m128i feeds = _mm_set1_epi8('\n');
    const __m128i nuls = _mm_setzero_si128();
    for (; from + 16 <= to; from += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, returns), _mm_cmpeq_epi8(block, feeds)),
                         _mm_cmpeq_epi8(block, nuls));
        if (const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0) {
            return from + std::countr_zero(mask);
        }
    }
#endif
    for (; from < to; ++from) {
        if (*from == '\r' || *from == '\n' || *from == '\0') {
            return from;
        }
    }
    return to;
}

// The line breaks of a text in one pass: every CR, LF and NUL byte is found
// (sixteen bytes at a time where the processor allows it) and decides where a
// line ends. addLine(offset, length) is called for each line in order. Returns
// where the text ends: at its first NUL byte, or after its last.
template <typename AddLine>
std::size_t ScanLines(const char* const text, const std::size_t size, AddLine&& addLine) {
    std::size_t start = 0;  // where the current line begins
    std::size_t end = size;
    // Called for every CR, LF and NUL at position at; false once the NUL has
    // ended the text.
    auto atBreak = [&](std::size_t at) {
        if (at < start) {
            return true;  // the LF of a CR LF, already skipped
        }
        const char c = text[at];
        if (c == '\0') {
            end = at;  // nothing after a NUL byte belongs to the text
            return false;
        }
        addLine(start, at - start);
        // One carriage return, then one line feed close the line, so CR LF is
        // one break and LF CR two.
        std::size_t after = at + 1;
        if (c == '\r' && after < size && text[after] == '\n') {
            ++after;
        }
        start = after;
        return true;
    };

    std::size_t i = 0;
    bool more = true;
#if defined(__SSE2__)
    const __m128i returns = _mm_set1_epi8('\r');
    const __m128i feeds = _mm_set1_epi8('\n');
    const __m128i nuls = _mm_setzero_si128();
    for (; more && i + 16 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, returns), _mm_cmpeq_epi8(block, feeds)),
                         _mm_cmpeq_epi8(block, nuls));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        while (mask != 0 && more) {
            more = atBreak(i + static_cast<std::size_t>(std::countr_zero(mask)));
            mask &= mask - 1;
        }
    }
#endif
    for (; more && i < size; ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n' || c == '\0') {
            more = atBreak(i);
        }
    }
    // The last line counts without a break after it.
    if (start < end) {
        addLine(start, end - start);
    }
    return end;
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

template <typename Line>
void MakeRoomForLine(std::vector<Line>& lines, std::size_t offset, std::size_t textSize) {
    if (lines.size() == lines.capacity()) {
        lines.reserve(ExpectedLineCount(lines.size(), offset, textSize));
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
    ScanLines(text.data(), text.size(), [&](std::size_t offset, std::size_t length) {
        MakeRoomForLine(lines, offset, text.size());
        lines.emplace_back(text.data() + offset, length);
    });
    return lines;
}

// Blocks from this size on are mapped on their own: one huge page.
constexpr std::size_t kLargeBlock = std::size_t{2} << 20;

TTextLines::TBlock::TBlock(std::size_t bytes) : m_size(bytes) {
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

TTextLines::TBlock::TBlock(TBlock&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_mappedSize(std::exchange(other.m_mappedSize, 0)) {}

TTextLines::TBlock& TTextLines::TBlock::operator=(TBlock&& other) noexcept {
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mappedSize = std::exchange(other.m_mappedSize, 0);
    }
    return *this;
}

TTextLines::TBlock::~TBlock() {
    release();
}

void TTextLines::TBlock::release() noexcept {
    if (m_mappedSize > 0) {
        ::munmap(m_data, m_mappedSize);
    } else {
        delete[] m_data;
    }
    m_data = nullptr;
    m_size = 0;
    m_mappedSize = 0;
}

void TTextLines::addStart(std::size_t offset, std::size_t textSize) {
    constexpr std::size_t kEntry = sizeof(std::uint32_t);
    // One entry always stays free: the end of the text needs one more than the lines.
    if (m_startCount + 1 >= m_starts.size() / kEntry) {
        TBlock larger((ExpectedLineCount(m_startCount, offset, textSize) + 1) * kEntry);
        if (m_startCount > 0) {
            std::memcpy(larger.data(), m_starts.data(), m_startCount * kEntry);
        }
        m_starts = std::move(larger);
    }
    const auto start = static_cast<std::uint32_t>(offset);
    std::memcpy(m_starts.data() + m_startCount * kEntry, &start, kEntry);
    ++m_startCount;
}

TTextLines::TTextLines(TBlock text, std::size_t size) : m_text(std::move(text)) {
    const char* const begin = m_text.data();
    if (size < std::numeric_limits<std::uint32_t>::max()) {
        const std::size_t end =
            ScanLines(begin, size, [&](std::size_t offset, std::size_t) { addStart(offset, size); });
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
    m_text = TBlock(size);
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
    TTextLines::TBlock text;
    std::size_t size = 0;
    if (int readError = ReadAll(file.get(), expectedSize, text, size); readError != 0) {
        RaiseOpenFailure(path, readError);
    }
    return TTextLines(std::move(text), size);
}

TLineReader::TLineReader(const std::string& path)
    : m_path(path), m_buffer(std::make_unique_for_overwrite<char[]>(kBufferSize)) {
    struct stat status {};
    m_fd = OpenForReading(path, status);
    m_rereadable = S_ISREG(status.st_mode);
}

TLineReader::~TLineReader() {
    ::close(m_fd);
}

void TLineReader::rewind() {
    if (::lseek(m_fd, 0, SEEK_SET) != 0) {
        RaiseOpenFailure(m_path, errno);
    }
    m_begin = m_end = m_scanned = 0;
    m_endOfFile = m_endOfText = m_feedPending = m_lineCut = false;
}

bool TLineReader::fill() {
    if (m_endOfFile) {
        return false;
    }
    // The unread bytes move to the front, so the buffer's tail is free.
    if (m_begin > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_begin, m_end - m_begin);
        m_end -= m_begin;
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
    if (m_feedPending) {
        m_feedPending = false;
        if (m_buffer[m_begin] == '\n') {
            ++m_begin;
        }
    }
    return true;
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
        const char* const data = m_buffer.get();
        const char* const hit = FindBreak(data + m_begin, data + m_end);
        if (hit != data + m_end) {
            if (*hit == '\0') {
                m_endOfText = true;
                return;
            }
            passBreak(static_cast<std::size_t>(hit - data));
            return;
        }
        m_begin = m_end;
        if (!fill()) {
            return;
        }
    }
}

bool TLineReader::next(std::string_view& line) {
    if (m_lineCut) {
        m_lineCut = false;
        skipRestOfLine();
    }
    for (;;) {
        if (m_endOfText) {
            return false;
        }
        const char* const data = m_buffer.get();
        const char* const hit = FindBreak(data + m_begin + m_scanned, data + m_end);
        if (hit != data + m_end) {
            const auto at = static_cast<std::size_t>(hit - data);
            line = std::string_view(data + m_begin, at - m_begin);
            if (*hit == '\0') {
                m_endOfText = true;
                return !line.empty();
            }
            passBreak(at);
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
            // The last line counts without a break after it.
            line = std::string_view(data + m_begin, m_end - m_begin);
            m_begin = m_end;
            m_scanned = 0;
            m_endOfText = true;
            return !line.empty();
        }
    }
}

}  // namespace morvane
