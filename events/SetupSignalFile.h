#pragma once

// The file of a set-up's last signal import, as the batch tool takes it, and
// the import that reads it.

#include <string_view>

#include "events/Setup.h"
#include "signal/import/ImportCommand.h"

namespace morvane {

// The path the import reads: "Soubor", or "Soubor snímače" for the encoder's
// recording; empty when the set-up imported nothing.
std::string_view SetupSignalPath(const TSignalImportTexts& import);

// The import of a file of kind Angle or Time, for the window's menu, a
// set-up's reopening and the batch tool alike (the encoder's has options of
// its own).
TImportKind FileImportKind(TSignalImportKind kind);

// A signal file that is missing, or that is no regular file (a FIFO would
// keep the tool waiting for a writer), raises ESetupFileError naming the key
// and the path. Any other trouble is the import's to report.
void CheckSetupSignalFile(const TSignalImportTexts& import, std::string_view setupPath);

}  // namespace morvane
