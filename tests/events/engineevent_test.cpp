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
    void addAt(const std::string& name, double finalAngle) {
        TEngineEvent event;
        event.Name = name;
        event.FinalAngle = finalAngle;
        AddEvent(m_events, event);
    }

    std::vector<std::string> names() const {
        std::vector<std::string> names;
        for (const TEngineEvent& event : m_events) {
            names.push_back(event.Name);
        }
        return names;
    }

    TEventList& m_events = m_session.Events;
    double& m_globalCorrection = m_session.GlobalCorrection;
};

TEST_F(EngineEventTest, FinalAngleWrapsOnceEachWay) {
    struct TRow {
        const char* Name;
        double Nominal;
        double Correction;
        double Global;
        double Expected;
    };
    const TRow rows[] = {
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
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        m_events.clear();
        TEngineEvent event;
        event.NominalAngle = row.Nominal;
        event.Correction = row.Correction;
        AddEvent(m_events, event);
        m_globalCorrection = row.Global;
        UpdateEventAngles(m_events, m_globalCorrection);
        EXPECT_EQ(m_events[0].FinalAngle, row.Expected);
        EXPECT_EQ(m_events[0].NominalAngle, row.Nominal);
        EXPECT_EQ(m_events[0].Correction, row.Correction);
    }
}

TEST_F(EngineEventTest, SumIsRoundedOnceAtTheEnd) {
    TEngineEvent event;
    event.NominalAngle = 0.1;
    event.Correction = 0.2;
    AddEvent(m_events, event);
    m_globalCorrection = -0.3;
    UpdateEventAngles(m_events, m_globalCorrection);
    // In doubles (0.1 + 0.2) - 0.3 is 2^-54; the wide sum keeps the exact 2^-55.
    EXPECT_EQ(m_events[0].FinalAngle, std::ldexp(1.0, -55));
}

TEST_F(EngineEventTest, BothEndsOfTheCycleInOneList) {
    TEngineEvent event;
    event.NominalAngle = 720;
    AddEvent(m_events, event);
    event.NominalAngle = 0;
    AddEvent(m_events, event);
    UpdateEventAngles(m_events, m_globalCorrection);
    SortEvents(m_events);
    EXPECT_EQ(m_events[0].FinalAngle, 0);
    EXPECT_EQ(m_events[1].FinalAngle, 720);
}

TEST_F(EngineEventTest, EqualAnglesReorderAsTheSelectionSortLeavesThem) {
    addAt("X", 10);
    addAt("Y", 10);
    addAt("Z", 5);
    SortEvents(m_events);
    EXPECT_EQ(names(), (std::vector<std::string>{"Z", "Y", "X"}));

    m_events.clear();
    addAt("X", 0);
    addAt("Y", 180);
    addAt("Z", 0);
    SortEvents(m_events);
    EXPECT_EQ(names(), (std::vector<std::string>{"X", "Z", "Y"}));
}

TEST_F(EngineEventTest, SortingTwiceChangesNothingMore) {
    const double angles[] = {30, 10, 30, 0, 10, 720, 0, 30, 5};
    for (std::size_t i = 0; i < std::size(angles); ++i) {
        addAt("E" + std::to_string(i), angles[i]);
    }
    SortEvents(m_events);
    const std::vector<std::string> once = names();
    EXPECT_EQ(once, (std::vector<std::string>{"E3", "E6", "E8", "E4", "E1", "E0", "E7", "E2", "E5"}));
    SortEvents(m_events);
    EXPECT_EQ(names(), once);
}

TEST_F(EngineEventTest, SortMovesWholeRecords) {
    TEngineEvent late{"late", ekIgnition, 700, 50, 3};
    TEngineEvent early{"early", ekExhaustValve, 10, 20, -1};
    AddEvent(m_events, late);
    AddEvent(m_events, early);
    SortEvents(m_events);
    EXPECT_EQ(m_events[0], early);
    EXPECT_EQ(m_events[1], late);
}

TEST_F(EngineEventTest, EmptyListStaysEmpty) {
    UpdateEventAngles(m_events, m_globalCorrection);
    SortEvents(m_events);
    EXPECT_TRUE(m_events.empty());
}

TEST_F(EngineEventTest, AddEventCopiesIndependently) {
    TEngineEvent event{"Píst 1 - HU", ekPiston, 0, 0, 0};
    AddEvent(m_events, event);
    AddEvent(m_events, event);
    ASSERT_EQ(m_events.size(), 2u);
    EXPECT_EQ(m_events[0], m_events[1]);
    m_events[0].Name += " změna";
    m_events[0].Correction = 4;
    EXPECT_EQ(m_events[1], event);
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
