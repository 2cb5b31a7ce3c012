#include "timeline/CursorReadout.h"

#include <gtest/gtest.h>

#include "tests/support/SessionTest.h"

namespace morvane {
namespace {

TEngineEvent EventAt(const char* name, double angle) {
    TEngineEvent event;
    event.Name = name;
    event.FinalAngle = angle;
    return event;
}

using TCursorReadoutTest = testing::TSessionTest;

TEST_F(TCursorReadoutTest, ReadsTheSignalTheBarsAndTheEventsAtTheCursor) {
    TSession& session = m_session;
    session.Signal[720] = 0.4249;
    session.Events = {EventAt("Píst 1 - HU", 0), EventAt("Zapalování 1", 359.6),
                      EventAt("Píst 1 - DU", 360.5), EventAt("Píst 1 - HU", 360)};
    TPressureCycle cycle;
    cycle.Mean[720] = 3.146;
    struct TRow {
        const char* Name;
        bool Pressure;
        bool InBar;
        int Angle;
        const char* Text;
    };
    const TRow rows[] = {
        {"no events there", false, true, 10, "Úhel: 10° | Signál: 0 | Události: žádné"},
        {"rounded angles, in ID order", false, true, 360,
         "Úhel: 360° | Signál: 0,42 | Události: 01 Zapalování 1, 03 Píst 1 - HU"},
        {"pressure in bar", true, true, 360,
         "Úhel: 360° | Signál: 0,42 (3,15 bar) | Události: 01 Zapalování 1, 03 Píst 1 - HU"},
        {"a recording without scale has no bar", true, false, 0,
         "Úhel: 0° | Signál: 0 | Události: 00 Píst 1 - HU"},
        {"the last position", false, true, 720, "Úhel: 720° | Signál: 0 | Události: žádné"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        cycle.InBar = row.InBar;
        session.SignalCycle = row.Pressure ? std::make_shared<const TPressureCycle>(cycle) : nullptr;
        EXPECT_EQ(CursorReadoutText(session, row.Angle), row.Text);
    }
    // A cycle loaded on the combustion page is not what the timeline draws.
    session.SignalCycle = nullptr;
    session.PressureCycle = std::make_shared<const TPressureCycle>(cycle);
    EXPECT_EQ(CursorReadoutText(session, 0), "Úhel: 0° | Signál: 0 | Události: 00 Píst 1 - HU");
}

}  // namespace
}  // namespace morvane
