#include "util/replacefile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
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

// While it lives, a write beyond the file-size limit fails with EFBIG instead
// of ending the program by SIGXFSZ, so the failure is reported and the
// temporary file removed.
class TFileSizeSignalIgnored {
public:
    TFileSizeSignalIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_restore = ::sigaction(SIGXFSZ, &ignore, &m_previous) == 0;
    }
    ~TFileSizeSignalIgnored() {
        if (m_restore) {
            ::sigaction(SIGXFSZ, &m_previous, nullptr);
        }
    }
    TFileSizeSignalIgnored(const TFileSizeSignalIgnored&) = delete;
    TFileSizeSignalIgnored& operator=(const TFileSizeSignalIgnored&) = delete;

private:
    struct sigaction m_previous {};
    bool m_restore = false;
};

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
// replaced, and renaming over it would put a file where the device was. So is
// a file whose owner a new file could not be given.
void WriteInPlace(const std::string& path, const std::string& target, std::string_view bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
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

// The file a path names once every symbolic link on its last step is
// followed, whether that file exists or not: a link the user named stays a
// link, and the file it points to is the one written.
std::string LinkTarget(const std::string& path) {
    std::string target = path;
    for (int hop = 0; hop < 40; ++hop) {
        char pointee[PATH_MAX];
        const ssize_t length = ::readlink(target.c_str(), pointee, sizeof pointee);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof pointee) {
            return target;  // not a link (or none can be read): the path itself
        }
        const std::string next(pointee, static_cast<std::size_t>(length));
        const std::size_t slash = target.rfind('/');
        // A relative link is resolved from the folder that holds the link.
        if (next.front() == '/' || slash == std::string::npos) {
            target = next;
        } else {
            target.resize(slash + 1);
            target += next;
        }
    }
    RaiseFileCreateError(path, std::strerror(ELOOP));
}

// True when the file may not be replaced: the user lacks the right to write it,
// or it is marked read-only for everyone (0444), which even the superuser's
// tools should not override silently.
bool WriteProtected(const std::string& target, const struct stat& existing) {
    return (existing.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0;
}

// The pattern of a temporary file beside target, in the same folder so that
// the rename is atomic. The suffix would make a name at the file system's limit
// too long, so the name before it is cut to fit, at a whole UTF-8 character.
std::string TemporaryPattern(const std::string& target) {
    constexpr std::string_view kSuffix = ".XXXXXX";
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t nameMax = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
    std::size_t end = target.size();
    if (end - nameStart + kSuffix.size() > nameMax && nameMax > kSuffix.size()) {
        end = nameStart + nameMax - kSuffix.size();
        while (end > nameStart && (static_cast<unsigned char>(target[end]) & 0xC0) == 0x80) {
            --end;
        }
    }
    return target.substr(0, end) + std::string(kSuffix);
}

// Writes bytes to a new temporary file beside target, with the given mode and
// owner, and renames it over target. Returns 0, or the error number.
int ReplaceThroughTemporary(const std::string& target, std::string_view bytes, mode_t mode,
                            const struct stat* owner) {
    std::string temporary = TemporaryPattern(target);
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return errno;
    }
    // A full disk may show only when the data is flushed, so it is synced
    // before the rename makes it the file.
    bool complete = owner == nullptr || ::fchown(fd, owner->st_uid, owner->st_gid) == 0;
    complete = complete && ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int failure = errno;
    const bool closed = ::close(fd) == 0;
    const int closeFailure = errno;
    if (!complete || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const int reason = !complete ? failure : !closed ? closeFailure : errno;
        ::unlink(temporary.c_str());
        return reason;
    }
    return 0;
}

}  // namespace

void WriteFileReplacing(const std::string& path, std::string_view bytes) {
    const TFileSizeSignalIgnored fileSizeSignal;
    const std::string target = LinkTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        WriteInPlace(path, target, bytes);
        return;
    }
    if (exists && WriteProtected(target, existing)) {
        RaiseFileWriteProtectedError(path);
    }
    const bool foreign = exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid());
    const mode_t mode = exists ? existing.st_mode & 07777 : CreatedFileMode();
    const int failure = ReplaceThroughTemporary(target, bytes, mode, foreign ? &existing : nullptr);
    if (failure == EPERM && foreign) {
        // Another's file the user may write: a new file would change its owner.
        WriteInPlace(path, target, bytes);
        return;
    }
    if (failure != 0) {
        RaiseFileCreateError(path, std::strerror(failure));
    }
}

}  // namespace morvane
