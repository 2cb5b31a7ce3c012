#include "events/SetupPaths.h"

#include <filesystem>

namespace morvane {

namespace {

namespace fs = std::filesystem;

template <class TChange>
void ForEachSetupPath(TSetup& setup, TChange change) {
    for (std::string* path :
         {&setup.SignalImport.Path, &setup.SignalImport.Encoder.Path, &setup.Combustion.CyclePath}) {
        *path = change(*path);
    }
}

bool Under(const fs::path& inner, const fs::path& folder) {
    auto part = inner.begin();
    for (const fs::path& step : folder) {
        // "a/b/" ends in an empty step that every path under it goes past.
        if (step.empty()) {
            break;
        }
        if (part == inner.end() || *part != step) {
            return false;
        }
        ++part;
    }
    return part != inner.end();
}

}  // namespace

std::string SetupFolderOf(std::string_view path) {
    const fs::path file = fs::path(path).lexically_normal();
    const std::string text = file.string();
    if (text == "-" || text.starts_with("/dev/") || text.starts_with("/proc/")) {
        return {};
    }
    const fs::path folder = fs::absolute(file).parent_path();
    return folder.string();
}

std::string PathRelativeTo(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.empty() || !fs::path(path).is_absolute()) {
        return path;
    }
    const fs::path inner = fs::path(path).lexically_normal();
    const fs::path base = fs::path(folder).lexically_normal();
    if (!Under(inner, base)) {
        return path;
    }
    return inner.lexically_relative(base).generic_string();
}

std::string PathFrom(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.empty() || fs::path(path).is_absolute()) {
        return path;
    }
    return (fs::path(folder) / path).lexically_normal().string();
}

void MakeSetupPathsRelative(TSetup& setup, const std::string& folder) {
    ForEachSetupPath(setup, [&folder](const std::string& path) { return PathRelativeTo(path, folder); });
}

void ResolveSetupPaths(TSetup& setup, const std::string& folder) {
    ForEachSetupPath(setup, [&folder](const std::string& path) { return PathFrom(path, folder); });
}

}  // namespace morvane
