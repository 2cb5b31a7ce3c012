#include "events/EngineEvent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "events/Lifecycle.h"
#include "signal/Signal.h"
#include "util/mathutil.h"

namespace morvane {
namespace {

class EngineEventTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        Events.clear();
        GlobalCorrection = 0;
    }

    static void AddAt(const std::string& name, double finalAngle) {
        TEngineEvent event;
        event.Name = name;
        event.FinalAngle = finalAngle;
        AddEvent(event);
    }

    static std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const TEngineEvent& event : Events) {
            names.push_back(event.Name);
        }
        return names;
    }
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
        AddEvent(event);
        GlobalCorrection = row.global;
        UpdateEventAngles();
        EXPECT_EQ(Events[0].FinalAngle, row.expected);
        EXPECT_EQ(Events[0].NominalAngle, row.nominal);
        EXPECT_EQ(Events[0].Correction, row.correction);
    }
}

TEST_F(EngineEventTest, SumIsRoundedOnceAtTheEnd) {
    TEngineEvent event;
    event.NominalAngle = 0.1;
    event.Correction = 0.2;
    AddEvent(event);
    GlobalCorrection = -0.3;
    UpdateEventAngles();
    // In doubles (0.1 + 0.2) - 0.3 is 2^-54; the wide sum keeps the exact 2^-55.
    EXPECT_EQ(Events[0].FinalAngle, std::ldexp(1.0, -55));
}

TEST_F(EngineEventTest, BothEndsOfTheCycleInOneList) {
    TEngineEvent event;
    event.NominalAngle = 720;
    AddEvent(event);
    event.NominalAngle = 0;
    AddEvent(event);
    UpdateEventAngles();
    SortEvents();
    EXPECT_EQ(Events[0].FinalAngle, 0);
    EXPECT_EQ(Events[1].FinalAngle, 720);
}

TEST_F(EngineEventTest, EqualAnglesReorderAsTheSelectionSortLeavesThem) {
    AddAt("X", 10);
    AddAt("Y", 10);
    AddAt("Z", 5);
    SortEvents();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Z", "Y", "X"}));

    Events.clear();
    AddAt("X", 0);
    AddAt("Y", 180);
    AddAt("Z", 0);
    SortEvents();
    EXPECT_EQ(Names(), (std::vector<std::string>{"X", "Z", "Y"}));
}

TEST_F(EngineEventTest, SortingTwiceChangesNothingMore) {
    const double angles[] = {30, 10, 30, 0, 10, 720, 0, 30, 5};
    for (std::size_t i = 0; i < std::size(angles); ++i) {
        AddAt("E" + std::to_string(i), angles[i]);
    }
    SortEvents();
    const std::vector<std::string> once = Names();
    EXPECT_EQ(once, (std::vector<std::string>{"E3", "E6", "E8", "E4", "E1", "E0", "E7", "E2", "E5"}));
    SortEvents();
    EXPECT_EQ(Names(), once);
}

TEST_F(EngineEventTest, SortMovesWholeRecords) {
    TEngineEvent late{"late", ekIgnition, 700, 50, 3};
    TEngineEvent early{"early", ekExhaustValve, 10, 20, -1};
    AddEvent(late);
    AddEvent(early);
    SortEvents();
    EXPECT_EQ(Events[0], early);
    EXPECT_EQ(Events[1], late);
}

TEST_F(EngineEventTest, EmptyListStaysEmpty) {
    UpdateEventAngles();
    SortEvents();
    EXPECT_TRUE(Events.empty());
}

TEST_F(EngineEventTest, AddEventCopiesIndependently) {
    TEngineEvent event{"Píst 1 - HU", ekPiston, 0, 0, 0};
    AddEvent(event);
    AddEvent(event);
    ASSERT_EQ(Events.size(), 2u);
    EXPECT_EQ(Events[0], Events[1]);
    Events[0].Name += " změna";
    Events[0].Correction = 4;
    EXPECT_EQ(Events[1], event);
    EXPECT_EQ(event.Name, "Píst 1 - HU");
}

// Start-up brings the main module to its start state whatever an earlier run
// left behind; shut-down releases the event list, the remembered path and the
// parser instance.
TEST(ModuleLifecycle, StartupResetsAndShutdownReleases) {
    AddEvent(TEngineEvent{"Píst 1 - HU", ekPiston, 0, 10, 10});
    GlobalCorrection = 5;
    Signal[3] = 0.5;
    SignalTrend[1440] = -0.25;
    LastImportFile = "/data/angle.csv";

    StartupModules();
    EXPECT_TRUE(Events.empty());
    EXPECT_EQ(GlobalCorrection, 0);
    EXPECT_EQ(Signal, TSignalTable{});
    EXPECT_EQ(SignalTrend, TSignalTable{});
    EXPECT_EQ(LastImportFile, "");
    EXPECT_NE(MathParser, nullptr);

    AddEvent(TEngineEvent{"Zapalování 1", ekIgnition, 350, 350, 0});
    LastImportFile = "/data/time.csv";
    ShutdownModules();
    EXPECT_TRUE(Events.empty());
    EXPECT_EQ(Events.capacity(), 0u);
    EXPECT_EQ(LastImportFile, "");
    EXPECT_EQ(MathParser, nullptr);
}

}  // namespace
}  // namespace morvane
