#pragma once

// The usage lines of the batch tool, made from the option table, so that
// they name exactly the options each command takes.

#include <string>

#include "cli/Arguments.h"

namespace morvane {

// "morvane-cli WORD ..." of command, or of the whole tool for None, wrapped
// to lines of at most 100 characters where a part allows.
std::string UsageLines(TCliCommand command);

}  // namespace morvane
