#pragma once

// The file paths a set-up names (the signal import's, the encoder
// recording's, the pressure cycle's), kept where the set-up file is: a path
// under the file's folder is written relative to it, so that a folder of
// set-ups and recordings can move or be kept in version control whole; any
// other path stays absolute. A relative path read from a file is taken from
// the file's folder.

#include <string>
#include <string_view>

#include "events/Setup.h"

namespace morvane {

// The folder a set-up file at path lies in, against which its relative paths
// are taken; empty for a file that has no folder of its own (standard input,
// a pipe under /dev or /proc), whose relative paths stay as they are read.
std::string SetupFolderOf(std::string_view path);

// path relative to folder when it lies under it ("data/a.csv"); otherwise,
// and for an empty folder, path as it stands.
std::string PathRelativeTo(const std::string& path, const std::string& folder);

// A relative path taken from folder; an absolute or empty path, or an empty
// folder, leaves path as it stands.
std::string PathFrom(const std::string& path, const std::string& folder);

// Every path of the set-up through PathRelativeTo or PathFrom.
void MakeSetupPathsRelative(TSetup& setup, const std::string& folder);
void ResolveSetupPaths(TSetup& setup, const std::string& folder);

}  // namespace morvane
