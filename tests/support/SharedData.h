#pragma once

// The engine-bench recording lies beside the checkout (CMake passes the folder
// in as MORVANE_SHARED_DATA_DIR; the environment variable of that name points
// elsewhere); its source states no licence, so no piece of it enters the
// repository. A test that reads it skips, naming the folder,
// when it is absent, and CMake runs such tests as their own ctest entry
// (REAL_DATA in tests/CMakeLists.txt) so that ctest lists the skip.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace morvane::testing {

inline std::filesystem::path SharedDataFile(const std::string& name) {
    const char* folder = std::getenv("MORVANE_SHARED_DATA_DIR");
    return std::filesystem::path(folder != nullptr && *folder != '\0' ? folder : MORVANE_SHARED_DATA_DIR) /
           name;
}

// The reason to skip when the file is absent; empty when it is there.
inline std::string MissingSharedData(const std::filesystem::path& file) {
    if (std::filesystem::exists(file)) {
        return {};
    }
    return "skipped: " + file.filename().string() + " is not in " + file.parent_path().string() +
           " (the real bench recording, kept outside the repository)";
}

}  // namespace morvane::testing
