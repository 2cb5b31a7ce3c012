#include "util/fileaccess.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "util/errors.h"

namespace morvane {

namespace {

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

}  // namespace

std::string SystemReason(int errorNumber) {
    std::string reason = std::generic_category().message(errorNumber);
    while (!reason.empty() && (static_cast<unsigned char>(reason.back()) <= 32 || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason;
}

void RaiseOpenFailure(const std::string& path, int errorNumber) {
    RaiseFileOpenError(FullPath(path), SystemReason(errorNumber));
}

int OpenForReading(const std::string& path, struct stat& status) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        RaiseOpenFailure(path, errno);
    }
    if (::fstat(fd, &status) == 0 && S_ISFIFO(status.st_mode)) {
        // Opened without waiting, a FIFO whose writer has not come yet reads as
        // empty: a race that would pass for an empty file. Wait as cat does.
        ::close(fd);
        do {
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            RaiseOpenFailure(path, errno);
        }
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

TFileDescriptor::~TFileDescriptor() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

}  // namespace morvane
