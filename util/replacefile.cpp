#include "util/replacefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "util/errors.h"

namespace morvane {

namespace {

// The mode a plain create would give: read and write for all, less the umask.
mode_t CreatedFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A device or a pipe (/dev/stdout, a FIFO) is written as it is: it cannot be
// replaced, and renaming over it would put a file where the device was.
void WriteInPlace(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        RaiseFileCreateError(path, std::strerror(errno));
    }
    const bool written = WriteAll(fd, bytes);
    const int failure = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        RaiseFileCreateError(path, std::strerror(!written ? failure : errno));
    }
}

}  // namespace

void WriteFileReplacing(const std::string& path, std::string_view bytes) {
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        WriteInPlace(path, bytes);
        return;
    }
    // A link stays a link: the file it points to is the one replaced.
    std::string target = path;
    if (exists) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        RaiseFileCreateError(path, std::strerror(errno));
    }
    const mode_t mode = exists ? existing.st_mode & 07777 : CreatedFileMode();
    // A full disk may show only when the data is flushed, so it is synced
    // before the rename makes it the file.
    const bool complete = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int failure = errno;
    const bool closed = ::close(fd) == 0;
    const int closeFailure = errno;
    if (!complete || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const int reason = !complete ? failure : !closed ? closeFailure : errno;
        ::unlink(temporary.c_str());
        RaiseFileCreateError(path, std::strerror(reason));
    }
}

}  // namespace morvane
