#pragma once

// Opening files for reading as the text readers need it, and the failure
// message when that goes wrong.

#include <sys/stat.h>

#include <string>

namespace morvane {

// The system's text for an error number, without the trailing full stop,
// blanks and control characters some systems end it with.
std::string SystemReason(int errorNumber);

// Raises EFOpenError "Cannot open file "<full path>". <system text>"; the
// path is shown absolute and without "." or ".." steps where that can be
// worked out.
[[noreturn]] void RaiseOpenFailure(const std::string& path, int errorNumber);

// Opens a path for reading as a file and fills status. A FIFO waits for its
// writer (the batch tool's --timeout bounds that); other files, devices
// included, open without waiting, and reads block once open. A directory is
// refused (EISDIR). Raises through RaiseOpenFailure.
int OpenForReading(const std::string& path, struct stat& status);

// Closes a descriptor on every way out of a scope.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : m_fd(fd) {}
    ~TFileDescriptor();
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace morvane
