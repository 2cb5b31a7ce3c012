#pragma once

// What a report says of an input file, so that a reader can tell later that
// the figures came from exactly that file.

#include <cstdint>
#include <string>

namespace morvane {

struct TFileFingerprint {
    std::string Path;        // as given
    std::uint64_t Size = 0;  // bytes
    std::string Modified;    // local time "2026-12-08 19:40:12"
    std::string Sha256;      // 64 lower-case hex digits
};

// Reads the file in blocks, so that a recording of gigabytes costs no memory.
// EFOpenError "Cannot open file "<full path>". <system text>" when it cannot
// be opened or read to its end.
TFileFingerprint FingerprintFile(const std::string& path);

}  // namespace morvane
