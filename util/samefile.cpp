#include "util/samefile.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace morvane {

bool IsSameFile(const std::string& first, const std::string& second) {
    struct stat firstStatus {};
    struct stat secondStatus {};
    const bool firstExists = ::stat(first.c_str(), &firstStatus) == 0;
    const bool secondExists = ::stat(second.c_str(), &secondStatus) == 0;
    if (firstExists && secondExists) {
        return firstStatus.st_dev == secondStatus.st_dev && firstStatus.st_ino == secondStatus.st_ino;
    }
    if (firstExists || secondExists) {
        return false;
    }
    std::error_code firstError;
    std::error_code secondError;
    const auto firstPath = std::filesystem::weakly_canonical(first, firstError);
    const auto secondPath = std::filesystem::weakly_canonical(second, secondError);
    return !firstError && !secondError && !first.empty() && firstPath == secondPath;
}

}  // namespace morvane
