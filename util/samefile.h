#pragma once

// Whether two paths name one file, so that a command never writes over a file
// it reads.

#include <string>

namespace morvane {

// True when both exist and are the same file (same device and inode, so also
// through symbolic and hard links), or when neither can be looked at and both
// lead to the same absolute path.
bool IsSameFile(const std::string& first, const std::string& second);

}  // namespace morvane
