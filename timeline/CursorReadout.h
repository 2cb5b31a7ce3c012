#pragma once

// The line under the timeline that reads the picture at the cursor:
//
//   Úhel: 360° | Signál: 0,42 (3,15 bar) | Události: 07 Píst 1 - HU, 08 Zapalování 1
//
// The signal is the normalised entry at the cursor (entry 2 × angle); the
// value in bar is the mean there of the cycle the signal was made from, given
// only when the signal is such a cycle in bar (not of a cycle loaded later
// on the combustion page, which the timeline does not draw). An event is at the cursor when its angle, as the
// event table rounds it, is the cursor's angle; events are listed by ID as the table shows them, or "žádné".

#include <string>

#include "events/Session.h"

namespace morvane {

// angle in whole degrees, 0 .. 720 (the cursor's positions).
std::string CursorReadoutText(const TSession& session, int angle);

}  // namespace morvane
