#pragma once

// A file of corrections, one correction text per line, typed into the
// correction list as a user would and applied with "Korigovat".

#include <string>

#include "events/Recalculation.h"
#include "events/Session.h"

namespace morvane {

// Line k of the file goes into row k of the list, as far as both reach, then
// the corrections are applied and everything recalculated.
void ApplyCorrectionsFile(const std::string& path, TSession& session, const TRecalcControls& controls);

}  // namespace morvane
