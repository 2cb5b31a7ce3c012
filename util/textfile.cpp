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
    constexpr std::size_t minimumChunk = 64 * 1024;
    // One byte beyond the expected size lets the read that sees the end of
    // the file go without growing the buffer.
    buffer = Block(expectedSize > 0 ? expectedSize + 1 : minimumChunk);
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
        size += static_cast<std::size_t>(got);
    }
    return 0;
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
    constexpr std::size_t entry = sizeof(std::uint32_t);
    // One entry always stays free: the end of the text needs one more than the lines.
    if (m_startCount + 1 >= m_starts.size() / entry) {
        TBlock larger((ExpectedLineCount(m_startCount, offset, textSize) + 1) * entry);
        if (m_startCount > 0) {
            std::memcpy(larger.data(), m_starts.data(), m_startCount * entry);
        }
        m_starts = std::move(larger);
    }
    const auto start = static_cast<std::uint32_t>(offset);
    std::memcpy(m_starts.data() + m_startCount * entry, &start, entry);
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
    TFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        RaiseOpenFailure(path, errno);
    }

    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        RaiseOpenFailure(path, errno);
    }
    // A directory opens for reading on Linux but holds no text.
    if (S_ISDIR(status.st_mode)) {
        RaiseOpenFailure(path, EISDIR);
    }

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

}  // namespace morvane
