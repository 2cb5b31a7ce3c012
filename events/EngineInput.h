#pragma once

// The batch tool's TABLE: a cylinder table or a set-up file, told apart by
// its first line. The file is opened and read once, so a pipe, a FIFO or
// /dev/stdin gives the same as the file it carries.

#include <optional>
#include <string>

#include "events/Setup.h"
#include "util/controls.h"
#include "util/numtext.h"

namespace morvane {

struct TEngineInput {
    std::optional<TSetup> Setup;  // the set-up, when the file is one
    int TableLines = 0;           // else the data lines written into the table
};

// A first line that claims a set-up (ClaimsSetupFirstLine) reads the file as
// one (ReadSetupFile); any other file is a cylinder table read into table
// (ReadCylinderTableFile), with their failures.
TEngineInput ReadEngineInput(const std::string& path, ICellGrid& table, TNumberFormat format);

}  // namespace morvane
