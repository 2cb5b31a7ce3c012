#include "util/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

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
// buffer grows whenever a read fills it. Returns 0, or the error number of a
// failed read.
int ReadAll(int fd, std::size_t expectedSize, std::vector<char>& buffer) {
    constexpr std::size_t minimumChunk = 64 * 1024;
    // One byte beyond the expected size lets the read that sees the end of
    // the file go without growing the buffer.
    buffer.resize(expectedSize > 0 ? expectedSize + 1 : minimumChunk);
    std::size_t filled = 0;
    for (;;) {
        if (filled == buffer.size()) {
            buffer.resize(buffer.size() * 2);
        }
        ssize_t got = ::read(fd, buffer.data() + filled, buffer.size() - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    buffer.resize(filled);
    return 0;
}

// The number of lines to reserve room for: one per line feed, or per
// carriage return in a file without line feeds, plus a last line without a
// break.
std::size_t EstimateLineCount(std::string_view text) {
    auto count = [text](char wanted) {
        std::size_t found = 0;
        const char* at = text.data();
        const char* end = text.data() + text.size();
        while (at < end) {
            const void* hit = std::memchr(at, wanted, static_cast<std::size_t>(end - at));
            if (hit == nullptr) {
                break;
            }
            ++found;
            at = static_cast<const char*>(hit) + 1;
        }
        return found;
    };
    std::size_t feeds = count('\n');
    return (feeds > 0 ? feeds : count('\r')) + 1;
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
    if (text.empty()) {
        return lines;
    }
    // Nothing after a NUL byte belongs to the text.
    if (const void* nul = std::memchr(text.data(), '\0', text.size()); nul != nullptr) {
        text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
    }

    if (text.empty()) {
        return lines;
    }
    lines.reserve(EstimateLineCount(text));

    const char* const begin = text.data();
    const char* const end = begin + text.size();
    // The next carriage return and the next line feed at or after the current
    // line's start; each is searched again only once the scan has passed it.
    auto next = [end](const char* from, char wanted) {
        const void* hit = std::memchr(from, wanted, static_cast<std::size_t>(end - from));
        return hit != nullptr ? static_cast<const char*>(hit) : end;
    };
    const char* nextReturn = next(begin, '\r');
    const char* nextFeed = next(begin, '\n');

    const char* line = begin;
    while (line < end) {
        if (nextReturn < line) {
            nextReturn = next(line, '\r');
        }
        if (nextFeed < line) {
            nextFeed = next(line, '\n');
        }
        const char* lineEnd = nextReturn < nextFeed ? nextReturn : nextFeed;
        lines.emplace_back(line, static_cast<std::size_t>(lineEnd - line));

        // One carriage return, then one line feed close the line, so CR LF is
        // one break and LF CR two.
        const char* after = lineEnd;
        if (after < end && *after == '\r') {
            ++after;
        }
        if (after < end && *after == '\n') {
            ++after;
        }
        line = after;
    }
    return lines;
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
    std::vector<char> buffer;
    if (int readError = ReadAll(file.get(), expectedSize, buffer); readError != 0) {
        RaiseOpenFailure(path, readError);
    }

    // The views point into the buffer's heap block, which moving the vector
    // into TTextLines keeps in place.
    std::vector<std::string_view> lines = SplitTextLines(std::string_view(buffer.data(), buffer.size()));
    return TTextLines(std::move(buffer), std::move(lines));
}

}  // namespace morvane
