#pragma once

// What one running program holds between commands. The window and each batch
// run own one and pass it down; nothing of it lives in a global, so two
// windows, two batch runs or two tests never see each other's state.

#include <memory>
#include <string>
#include <vector>

#include "events/EngineEvent.h"
#include "signal/Signal.h"
#include "signal/import/ImportCommand.h"
#include "signal/pressure/PressureCycle.h"
#include "util/numtext.h"

namespace morvane {

struct TSession {
    // The event list: an event's position, counted from 0, is its ID.
    TEventList Events;
    // Added to every event's angle by UpdateEventAngles, in degrees.
    double GlobalCorrection = 0;
    // Written only by the importers; every entry within -1 .. +1.
    TSignalTable Signal{};
    // The moving average of Signal; written only by the timeline, in full.
    TSignalTable SignalTrend{};
    // The path last chosen in any import command; the next dialog's initial name.
    std::string LastImportFile;
    // The last cylinder-pressure cycle in its own units (bar), with every
    // complete cycle when the recording gave them: from the toothed-wheel
    // import or loaded on the combustion page. The combustion figures use it.
    // Replaced whole, never changed in place, so that copies of the session
    // (the undo steps of "Open...") share its recorded cycles.
    std::shared_ptr<const TPressureCycle> PressureCycle;
    // The cycle Signal was made from, while it was: the encoder import's,
    // which a cycle loaded on the combustion page does not replace.
    std::shared_ptr<const TPressureCycle> SignalCycle;
    // A recording of several cylinders: each cylinder's cycles on its own
    // angle, from cylinder 1 (PressureCycle is the one the page shows, the
    // signal cylinder 1's); empty otherwise.
    std::vector<std::shared_ptr<const TPressureCycle>> CylinderCycles;
    // How the numbers the user types and reads are written; the commands that
    // take the session parse and format with it.
    TNumberFormat Numbers = kDecimalComma;
};

// What the import commands read and write of a session.
inline TImportTarget ImportTargetOf(TSession& session) {
    return {session.Signal,      session.LastImportFile, session.PressureCycle,
            session.SignalCycle, session.CylinderCycles, session.Numbers};
}

}  // namespace morvane
