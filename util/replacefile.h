#pragma once

// Writing a file the program makes (a picture, a table) so that a failure
// never destroys what was there: the bytes go to a temporary file beside the
// target, which is renamed over it only once it is complete on disk.

#include <string>
#include <string_view>

namespace morvane {

// Replaces the file at path with bytes. A new file gets the permissions any
// created file gets (0666 less the umask); a replaced one keeps its own.
// EFOpenError "Cannot create file "<path>". <reason>" when it cannot be
// written; the previous file is then untouched and no temporary file is left.
void WriteFileReplacing(const std::string& path, std::string_view bytes);

}  // namespace morvane
