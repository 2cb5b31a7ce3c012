#include "app/report/FileFingerprint.h"

#include <unistd.h>

#include <QCryptographicHash>

#include <cerrno>
#include <ctime>
#include <vector>

#include "util/fileaccess.h"

namespace morvane {

namespace {

std::string LocalTimeText(std::time_t time) {
    std::tm local{};
    char text[32] = "";
    if (::localtime_r(&time, &local) != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    }
    return text;
}

}  // namespace

TFileFingerprint FingerprintFile(const std::string& path) {
    struct stat status {};
    TFileDescriptor file(OpenForReading(path, status));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<char> block(1 << 16);
    TFileFingerprint fingerprint;
    fingerprint.Path = path;
    for (;;) {
        const ssize_t count = ::read(file.get(), block.data(), block.size());
        if (count == 0) {
            break;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            RaiseOpenFailure(path, errno);
        }
        hash.addData(QByteArrayView(block.data(), count));
        // What was hashed, not what stat said: a file growing meanwhile stays consistent.
        fingerprint.Size += static_cast<std::uint64_t>(count);
    }
    fingerprint.Modified = LocalTimeText(status.st_mtime);
    fingerprint.Sha256 = hash.result().toHex().toStdString();
    return fingerprint;
}

}  // namespace morvane
