#include "events/SetupSignalFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "util/errors.h"
#include "util/quote.h"

namespace morvane {

std::string_view SetupSignalPath(const TSignalImportTexts& import) {
    switch (import.Kind) {
        case TSignalImportKind::Angle:
        case TSignalImportKind::Time:
            return import.Path;
        case TSignalImportKind::Encoder:
            return import.Encoder.Path;
        case TSignalImportKind::None:
            break;
    }
    return {};
}

TImportKind FileImportKind(TSignalImportKind kind) {
    return kind == TSignalImportKind::Angle ? TImportKind::Angle : TImportKind::Time;
}

void CheckSetupSignalFile(const TSignalImportTexts& import, std::string_view setupPath) {
    if (import.Kind == TSignalImportKind::None) {
        return;
    }
    const std::string path(SetupSignalPath(import));
    const std::string_view key = import.Kind == TSignalImportKind::Encoder ? "Soubor snímače" : "Soubor";
    const std::string quoted = "\"" + ShortenedQuote(path) + "\"";
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            RaiseSetupKeyError(setupPath, "Import signálu", key, "soubor signálu " + quoted + " neexistuje");
        }
        return;
    }
    if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) {
        RaiseSetupKeyError(setupPath, "Import signálu", key,
                           "soubor signálu " + quoted + " není obyčejný soubor (je to roura nebo zařízení)");
    }
}

}  // namespace morvane
