#pragma once

// The file of a set-up's last signal import, as the batch tool takes it.

#include <string_view>

#include "events/Setup.h"

namespace morvane {

// The path the import reads: "Soubor", or "Soubor snímače" for the encoder's
// recording; empty when the set-up imported nothing.
std::string_view SetupSignalPath(const TSignalImportTexts& import);

// A signal file that is missing, or that is no regular file (a FIFO would
// keep the tool waiting for a writer), raises ESetupFileError naming the key
// and the path. Any other trouble is the import's to report.
void CheckSetupSignalFile(const TSignalImportTexts& import, std::string_view setupPath);

}  // namespace morvane
