#pragma once

// Writing a file the program makes (a picture, a table) so that a failure
// never destroys what was there: the bytes go to a temporary file beside the
// target, which is renamed over it only once it is complete on disk.

#include <string>
#include <string_view>

namespace morvane {

// Replaces the file at path with bytes. A new file gets the permissions any
// created file gets (0666 less the umask); a replaced one keeps its own mode
// and owner. A symbolic link, dangling or not, stays a link: the file it points
// to is written. A file the user may not write, or one read-only for all even
// to the superuser, is refused (EFOpenError "Soubor "<path>" je chráněn proti
// zápisu, nepřepíše se"). EFOpenError "Cannot create file "<path>". <reason>"
// when it cannot be written (a file-size limit included: SIGXFSZ is ignored
// meanwhile); the previous file is then untouched and no temporary file is
// left. Another's file the user may write is written in place, as the owner
// of a new file could not be kept.
void WriteFileReplacing(const std::string& path, std::string_view bytes);

}  // namespace morvane
