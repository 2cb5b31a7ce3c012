#include "events/EngineEvent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "events/Lifecycle.h"
#include "events/Session.h"
#include "tests/support/SessionTest.h"
#include "util/mathutil.h"

namespace morvane {
namespace {

class EngineEventTest : public testing::TSessionTest {
protected:
    void AddAt(const std::string& name, double finalAngle) {
        TEngineEvent event;
        event.Name = name;
        event.FinalAngle = finalAngle;
        AddEvent(Events, event);
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TEngineEvent& event : Events) {
            names.push_back(event.Name);
        }
        return names;
    }

    TEventList& Events = m_session.Events;
    double& GlobalCorrection = m_session.GlobalCorrection;
};

TEST_F(EngineEventTest, FinalAngleWrapsOnceEachWay) {
    struct Row {
        const char* name;
        double nominal;
        double correction;
        double global;
        double expected;
    };
    const Row rows[] = {
        {"0", 0, 0, 0, 0},
        {"350", 350, 0, 0, 350},
        {"720", 720, 0, 0, 720},
        {"-0.5", -0.5, 0, 0, 719.5},
        {"-720", -720, 0, 0, 0},
        {"-800", -800, 0, 0, -80},
        {"720.5", 720.5, 0, 0, 0.5},
        {"1440", 1440, 0, 0, 720},
        {"1500", 1500, 0, 0, 780},
        {"540 corrected by 200", 540, 200, 0, 20},
        {"0 with global -10", 0, 0, -10, 710},
        {"100 corrected by -900", 100, -900, 0, -80},
        {"1000 corrected by 500", 1000, 500, 0, 780},
        {"all three parts", 700, 15, 10.5, 5.5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Events.clear();
        TEngineEvent event;
        event.NominalAngle = row.nominal;
        event.Correction = row.correction;
        AddEvent(Events, event);
        GlobalCorrection = row.global;
        UpdateEventAngles(Events, GlobalCorrection);
        EXPECT_EQ(Events[0].FinalAngle, row.expected);
        EXPECT_EQ(Events[0].NominalAngle, row.nominal);
        EXPECT_EQ(Events[0].Correction, row.correction);
    }
}

TEST_F(EngineEventTest, SumIsRoundedOnceAtTheEnd) {
    TEngineEvent event;
    event.NominalAngle = 0.1;
    event.Correction = 0.2;
    AddEvent(Events, event);
    GlobalCorrection = -0.3;
    UpdateEventAngles(Events, GlobalCorrection);
    // In doubles (0.1 + 0.2) - 0.3 is 2^-54; the wide sum keeps the exact 2^-55.
    EXPECT_EQ(Events[0].FinalAngle, std::ldexp(1.0, -55));
}

TEST_F(EngineEventTest, BothEndsOfTheCycleInOneList) {
    TEngineEvent event;
    event.NominalAngle = 720;
    AddEvent(Events, event);
    event.NominalAngle = 0;
    AddEvent(Events, event);
    UpdateEventAngles(Events, GlobalCorrection);
    SortEvents(Events);
    EXPECT_EQ(Events[0].FinalAngle, 0);
    EXPECT_EQ(Events[1].FinalAngle, 720);
}

TEST_F(EngineEventTest, EqualAnglesReorderAsTheSelectionSortLeavesThem) {
    AddAt("X", 10);
    AddAt("Y", 10);
    AddAt("Z", 5);
    SortEvents(Events);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Z", "Y", "X"}));

    Events.clear();
    AddAt("X", 0);
    AddAt("Y", 180);
    AddAt("Z", 0);
    SortEvents(Events);
    EXPECT_EQ(Names(), (std::vector<std::string>{"X", "Z", "Y"}));
}

TEST_F(EngineEventTest, SortingTwiceChangesNothingMore) {
    const double angles[] = {30, 10, 30, 0, 10, 720, 0, 30, 5};
    for (std::size_t i = 0; i < std::size(angles); ++i) {
        AddAt("E" + std::to_string(i), angles[i]);
    }
    SortEvents(Events);
    const std::vector<std::string> once = Names();
    EXPECT_EQ(once, (std::vector<std::string>{"E3", "E6", "E8", "E4", "E1", "E0", "E7", "E2", "E5"}));
    SortEvents(Events);
    EXPECT_EQ(Names(), once);
}

TEST_F(EngineEventTest, SortMovesWholeRecords) {
    TEngineEvent late{"late", ekIgnition, 700, 50, 3};
    TEngineEvent early{"early", ekExhaustValve, 10, 20, -1};
    AddEvent(Events, late);
    AddEvent(Events, early);
    SortEvents(Events);
    EXPECT_EQ(Events[0], early);
    EXPECT_EQ(Events[1], late);
}

TEST_F(EngineEventTest, EmptyListStaysEmpty) {
    UpdateEventAngles(Events, GlobalCorrection);
    SortEvents(Events);
    EXPECT_TRUE(Events.empty());
}

TEST_F(EngineEventTest, AddEventCopiesIndependently) {
    TEngineEvent event{"Píst 1 - HU", ekPiston, 0, 0, 0};
    AddEvent(Events, event);
    AddEvent(Events, event);
    ASSERT_EQ(Events.size(), 2u);
    EXPECT_EQ(Events[0], Events[1]);
    Events[0].Name += " změna";
    Events[0].Correction = 4;
    EXPECT_EQ(Events[1], event);
    EXPECT_EQ(event.Name, "Píst 1 - HU");
}

// A new session is the program's start state: no events, no correction, both
// signal tables zero, no remembered path. Start-up creates the parser instance
// and shut-down frees it.
TEST(ModuleLifecycle, NewSessionIsTheStartStateAndShutdownReleases) {
    const TSession session;
    EXPECT_TRUE(session.Events.empty());
    EXPECT_EQ(session.GlobalCorrection, 0);
    EXPECT_EQ(session.Signal, TSignalTable{});
    EXPECT_EQ(session.SignalTrend, TSignalTable{});
    EXPECT_EQ(session.LastImportFile, "");

    StartupModules();
    EXPECT_NE(MathParser, nullptr);
    ShutdownModules();
    EXPECT_EQ(MathParser, nullptr);
}

}  // namespace
}  // namespace morvane
