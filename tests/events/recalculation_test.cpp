#include "events/Recalculation.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "events/EngineEvent.h"
#include "events/MainControls.h"
#include "tests/support/SessionTest.h"
#include "util/errors.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"

namespace morvane {
namespace {

using Row = std::pair<std::string, std::string>;  // angle text, name

class RecalculationTest : public testing::TSessionTest {
protected:
    RecalculationTest() {
        controls.DrawTimeline = [this] { ++redraws; };
    }

    void setCylinder(int row, std::vector<std::string> cells) {
        for (int column = 1; column <= 6; ++column) {
            cylinders.setCellText(column, row, cells[column - 1]);
        }
    }

    void setupTwoCylinders() {
        mainParameters.setValue(1, "2");
        setCylinder(1, {"0", "350", "0", "180", "540", "720"});
        setCylinder(2, {"360", "350", "0", "180", "540", "720"});
    }

    // The event table's rows below the header, as (angle, name).
    std::vector<Row> table() const {
        std::vector<Row> rows;
        for (int row = 1; row < grid.rowCount(); ++row) {
            EXPECT_EQ(grid.cellText(0, row), FormatEventNumber(row - 1));
            rows.emplace_back(grid.cellText(1, row), grid.cellText(2, row));
        }
        return rows;
    }

    TEventList& Events = m_session.Events;
    double& GlobalCorrection = m_session.GlobalCorrection;
    TMemoryMainControls window;  // as the window starts: one cylinder, all angles "0", 1000 RPM
    TMemoryValueList& mainParameters = window.MainParameters;
    TMemoryValueList& computed = window.ComputedParameters;
    TMemoryValueList& corrections = window.CorrectionList;
    TMemoryGrid& grid = window.EventGrid;
    TMemoryGrid& cylinders = window.CylinderTable;
    TRecalcControls& controls = window.Recalc;
    int redraws = 0;
};

const std::vector<Row> DefaultTable = {
    {"0", "Píst 1 - HU"},        {"0", "Zapalování 1"},       {"0", "Píst 1 - SV otvírá"},
    {"0", "Píst 1 - SV zavírá"}, {"0", "Píst 1 - VV otvírá"}, {"0", "Píst 1 - VV zavírá"},
    {"180", "Píst 1 - DU"},      {"360", "Píst 1 - HU"},      {"540", "Píst 1 - DU"},
};

TEST_F(RecalculationTest, DefaultsGiveTheCycleTimeAndTheNineEvents) {
    CreateEventsAndRecalculate(cylinders, m_session, controls);

    EXPECT_EQ(computed.value(1), "120");
    EXPECT_EQ(grid.cellText(0, 0), "ID");
    EXPECT_EQ(grid.cellText(1, 0), "Úhel");
    EXPECT_EQ(grid.cellText(2, 0), "Popis");
    EXPECT_EQ(table(), DefaultTable);
    ASSERT_EQ(corrections.rowCount(), 9);
    for (int row = 1; row <= 9; ++row) {
        EXPECT_EQ(corrections.key(row), DefaultTable[row - 1].second);
        EXPECT_EQ(corrections.value(row), "0");
    }
    EXPECT_EQ(redraws, 1);
}

TEST_F(RecalculationTest, GlobalCorrectionMovesEveryEventAndEqualAnglesDoNotReturnToTheirOrder) {
    CreateEventsAndRecalculate(cylinders, m_session, controls);

    GlobalCorrectionChanged("-10", m_session, controls);
    EXPECT_EQ(GlobalCorrection, -10);
    EXPECT_EQ(table(), (std::vector<Row>{{"170", "Píst 1 - DU"},
                                         {"350", "Píst 1 - HU"},
                                         {"530", "Píst 1 - DU"},
                                         {"710", "Píst 1 - SV zavírá"},
                                         {"710", "Píst 1 - VV otvírá"},
                                         {"710", "Píst 1 - VV zavírá"},
                                         {"710", "Píst 1 - HU"},
                                         {"710", "Zapalování 1"},
                                         {"710", "Píst 1 - SV otvírá"}}));

    GlobalCorrectionChanged("0", m_session, controls);
    EXPECT_EQ(table(), (std::vector<Row>{{"0", "Píst 1 - SV zavírá"},
                                         {"0", "Píst 1 - VV otvírá"},
                                         {"0", "Píst 1 - VV zavírá"},
                                         {"0", "Píst 1 - HU"},
                                         {"0", "Zapalování 1"},
                                         {"0", "Píst 1 - SV otvírá"},
                                         {"180", "Píst 1 - DU"},
                                         {"360", "Píst 1 - HU"},
                                         {"540", "Píst 1 - DU"}}));
    // The global correction never folds into the events' own corrections.
    for (const TEngineEvent& event : Events) {
        EXPECT_EQ(event.Correction, 0);
    }
}

TEST_F(RecalculationTest, TwoCylinderTable) {
    setupTwoCylinders();
    CreateEventsAndRecalculate(cylinders, m_session, controls);

    EXPECT_EQ(table(), (std::vector<Row>{{"0", "Píst 1 - HU"},
                                         {"0", "Píst 1 - SV otvírá"},
                                         {"180", "Píst 2 - DU"},
                                         {"180", "Píst 1 - DU"},
                                         {"180", "Píst 1 - SV zavírá"},
                                         {"180", "Píst 2 - VV otvírá"},
                                         {"350", "Zapalování 1"},
                                         {"360", "Píst 2 - HU"},
                                         {"360", "Píst 1 - HU"},
                                         {"360", "Píst 2 - SV otvírá"},
                                         {"360", "Píst 2 - VV zavírá"},
                                         {"540", "Píst 1 - VV otvírá"},
                                         {"540", "Píst 2 - SV zavírá"},
                                         {"540", "Píst 1 - DU"},
                                         {"540", "Píst 2 - DU"},
                                         {"710", "Zapalování 2"},
                                         {"720", "Píst 1 - VV zavírá"},
                                         {"720", "Píst 2 - HU"}}));
}

TEST_F(RecalculationTest, CorrectionMovesTheEventAndItsCorrectionWithIt) {
    CreateEventsAndRecalculate(cylinders, m_session, controls);

    corrections.setValue(1, "10");
    ApplyCorrectionsAndRecalculate(m_session, controls);

    EXPECT_EQ(grid.cellText(2, 6), "Píst 1 - HU");
    EXPECT_EQ(grid.cellText(1, 6), "10");
    EXPECT_EQ(grid.cellText(0, 6), "05");
    EXPECT_EQ(corrections.key(6), "Píst 1 - HU");
    EXPECT_EQ(corrections.value(6), "10");
    EXPECT_EQ(corrections.value(1), "0");
}

TEST_F(RecalculationTest, NegativeCorrectionWrapsToTheEndOfTheList) {
    CreateEventsAndRecalculate(cylinders, m_session, controls);

    corrections.setValue(1, "-20");
    ApplyCorrectionsAndRecalculate(m_session, controls);

    EXPECT_EQ(table().back(), (Row{"700", "Píst 1 - HU"}));
    EXPECT_EQ(corrections.value(9), "-20");
}

TEST_F(RecalculationTest, ApplyingWithNoEventsStillRecalculates) {
    ApplyCorrectionsAndRecalculate(m_session, controls);

    EXPECT_EQ(corrections.rowCount(), 0);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.cellText(0, 0), "ID");
    EXPECT_EQ(computed.value(1), "120");
    EXPECT_EQ(redraws, 1);
}

TEST_F(RecalculationTest, TypingRecalculatesAtEveryKeystroke) {
    CreateEventsAndRecalculate(cylinders, m_session, controls);
    redraws = 0;

    GlobalCorrectionChanged("1", m_session, controls);
    EXPECT_EQ(GlobalCorrection, 1);
    GlobalCorrectionChanged("15", m_session, controls);
    EXPECT_EQ(GlobalCorrection, 15);
    EXPECT_EQ(redraws, 2);
    EXPECT_EQ(table().front(), (Row{"15", "Píst 1 - HU"}));  // already in order: nothing moves
}

TEST_F(RecalculationTest, GlobalCorrectionTextsThatAreNotNumbersCountAsZero) {
    for (const char* text : {"", "-", "abc", "1.5", "12,5"}) {
        SCOPED_TRACE(text);
        GlobalCorrection = 7;
        GlobalCorrectionChanged(text, m_session, controls);
        EXPECT_EQ(GlobalCorrection, std::string(text) == "12,5" ? 12.5 : 0.0);
    }
}

TEST_F(RecalculationTest, GlobalCorrectionBeyondTheDoubleRangeOverflowsAndKeepsTheOldValue) {
    GlobalCorrection = 3;
    try {
        GlobalCorrectionChanged("1e400", m_session, controls);
        FAIL() << "no overflow";
    } catch (const EOverflow& failure) {
        EXPECT_STREQ(failure.what(), "Floating point overflow");
    }
    EXPECT_EQ(GlobalCorrection, 3);
    EXPECT_EQ(redraws, 0);
}

struct CycleTimeCase {
    const char* speed;
    const char* cycle;
};

class CycleTimeTest : public RecalculationTest, public ::testing::WithParamInterface<CycleTimeCase> {};

TEST_P(CycleTimeTest, SpeedGivesCycleTime) {
    mainParameters.setValue(SpeedRow, GetParam().speed);
    UpdateCycleTime(mainParameters, computed);
    EXPECT_EQ(computed.value(CycleTimeRow), GetParam().cycle);
}

INSTANTIATE_TEST_SUITE_P(Examples, CycleTimeTest,
                         ::testing::Values(CycleTimeCase{"1000", "120"}, CycleTimeCase{"3000", "40"},
                                           CycleTimeCase{"7000", "17,1"}, CycleTimeCase{"900", "133,3"},
                                           CycleTimeCase{"4500", "26,7"}, CycleTimeCase{"-1000", "-120"},
                                           CycleTimeCase{" 1e3 ", "120"}));

struct SpeedFailureCase {
    const char* speed;
    const char* message;
};

class SpeedFailureTest : public RecalculationTest, public ::testing::WithParamInterface<SpeedFailureCase> {};

TEST_P(SpeedFailureTest, InvalidSpeedStopsThePipelineBeforeAnythingElse) {
    CreateEventsAndRecalculate(cylinders, m_session, controls);
    const auto tableBefore = table();
    setupTwoCylinders();
    mainParameters.setValue(SpeedRow, GetParam().speed);

    try {
        CreateEventsAndRecalculate(cylinders, m_session, controls);
        FAIL() << "no failure";
    } catch (const EMorvaneError& failure) {
        EXPECT_STREQ(failure.what(), GetParam().message);
    }
    // The new events exist with final angle 0, while the lists show the old ones.
    EXPECT_EQ(Events.size(), 18u);
    for (const TEngineEvent& event : Events) {
        EXPECT_EQ(event.FinalAngle, 0);
    }
    EXPECT_EQ(table(), tableBefore);
    EXPECT_EQ(corrections.rowCount(), 9);
    EXPECT_EQ(computed.value(1), "120");
    EXPECT_EQ(redraws, 1);

    // Every change of the global correction reports the same failure again.
    EXPECT_THROW(GlobalCorrectionChanged("5", m_session, controls), EMorvaneError);
}

INSTANTIATE_TEST_SUITE_P(Failures, SpeedFailureTest,
                         ::testing::Values(SpeedFailureCase{"0", "Floating point division by zero"},
                                           SpeedFailureCase{"-0", "Floating point division by zero"},
                                           SpeedFailureCase{"abc",
                                                            "'abc' is not a valid floating point value"},
                                           SpeedFailureCase{"", "'' is not a valid floating point value"},
                                           SpeedFailureCase{"1e-14", "Invalid floating point operation"},
                                           SpeedFailureCase{"1e-310", "Floating point overflow"}));

TEST_F(RecalculationTest, BadCorrectionKeepsTheCorrectionsStoredBeforeIt) {
    CreateEventsAndRecalculate(cylinders, m_session, controls);
    corrections.setValue(1, "1");
    corrections.setValue(2, "2");
    corrections.setValue(3, "x");
    corrections.setValue(4, "4");

    try {
        ApplyCorrectionsAndRecalculate(m_session, controls);
        FAIL() << "no failure";
    } catch (const EConvertError& failure) {
        EXPECT_STREQ(failure.what(), "'x' is not a valid floating point value");
    }
    EXPECT_EQ(Events[0].Correction, 1);
    EXPECT_EQ(Events[1].Correction, 2);
    EXPECT_EQ(Events[3].Correction, 0);
    EXPECT_EQ(corrections.value(3), "x");  // no recalculation rebuilt the list
}

TEST_F(RecalculationTest, ShorterCorrectionListFailsWithTheListIndex) {
    CreateEventsAndRecalculate(cylinders, m_session, controls);
    corrections.clear();
    corrections.append("a", "1");
    corrections.append("b", "2");

    try {
        ApplyCorrections(corrections, Events);
        FAIL() << "no failure";
    } catch (const EListError& failure) {
        EXPECT_STREQ(failure.what(), "List index out of bounds (2)");
    }
    EXPECT_EQ(Events[0].Correction, 1);
    EXPECT_EQ(Events[1].Correction, 2);
}

TEST_F(RecalculationTest, EmptyCorrectionListReadsAsAnEmptyValue) {
    CreateEventsAndRecalculate(cylinders, m_session, controls);
    corrections.clear();

    try {
        ApplyCorrections(corrections, Events);
        FAIL() << "no failure";
    } catch (const EConvertError& failure) {
        EXPECT_STREQ(failure.what(), "'' is not a valid floating point value");
    }
}

TEST_F(RecalculationTest, CreatingEventsAgainDropsTheCorrections) {
    CreateEventsAndRecalculate(cylinders, m_session, controls);
    corrections.setValue(1, "10");
    ApplyCorrectionsAndRecalculate(m_session, controls);

    CreateEventsAndRecalculate(cylinders, m_session, controls);
    EXPECT_EQ(table(), DefaultTable);
}

}  // namespace
}  // namespace morvane
