#include "timeline/CursorReadout.h"

#include <algorithm>
#include <cmath>

#include "signal/pressure/CombustionInputs.h"
#include "util/numtext.h"

namespace morvane {

namespace {

constexpr double kSignalStep = 0.01;

std::string EventsAt(const TEventList& events, int angle) {
    std::string text;
    for (std::size_t id = 0; id < events.size(); ++id) {
        if (std::lround(events[id].FinalAngle) != angle) {
            continue;
        }
        text += text.empty() ? "" : ", ";
        text += FormatEventNumber(static_cast<std::int64_t>(id)) + " " + events[id].Name;
    }
    return text.empty() ? "žádné" : text;
}

}  // namespace

std::string CursorReadoutText(const TSession& session, int angle) {
    const int entry = std::clamp(2 * angle, 0, SignalPoints - 1);
    std::string text =
        "Úhel: " + FormatInteger(angle) + "° | Signál: " +
        RoundedFigure(session.Signal[static_cast<std::size_t>(entry)], kSignalStep, session.Numbers);
    if (session.SignalCycle && session.SignalCycle->InBar) {
        text += " (" +
                RoundedFigure(session.SignalCycle->Mean[static_cast<std::size_t>(entry)], kSignalStep,
                              session.Numbers) +
                " bar)";
    }
    return text + " | Události: " + EventsAt(session.Events, angle);
}

}  // namespace morvane
