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

using TRow = std::pair<std::string, std::string>;  // angle text, name

class RecalculationTest : public testing::TSessionTest {
protected:
    RecalculationTest() {
        m_controls.DrawTimeline = [this] { ++m_redraws; };
    }

    void setCylinder(int row, std::vector<std::string> cells) {
        for (int column = 1; column <= 6; ++column) {
            m_cylinders.setCellText(column, row, cells[column - 1]);
        }
    }

    void setupTwoCylinders() {
        m_mainParameters.setValue(1, "2");
        setCylinder(1, {"0", "350", "0", "180", "540", "720"});
        setCylinder(2, {"360", "350", "0", "180", "540", "720"});
    }

    // The event table's rows below the header, as (angle, name).
    std::vector<TRow> table() const {
        std::vector<TRow> rows;
        for (int row = 1; row < m_grid.rowCount(); ++row) {
            EXPECT_EQ(m_grid.cellText(0, row), FormatEventNumber(row - 1));
            rows.emplace_back(m_grid.cellText(1, row), m_grid.cellText(2, row));
        }
        return rows;
    }

    TEventList& m_events = m_session.Events;
    double& m_globalCorrection = m_session.GlobalCorrection;
    TMemoryMainControls m_window;  // as the window starts: one cylinder, all angles "0", 1000 RPM
    TMemoryValueList& m_mainParameters = m_window.MainParameters;
    TMemoryValueList& m_computed = m_window.ComputedParameters;
    TMemoryValueList& m_corrections = m_window.CorrectionList;
    TMemoryGrid& m_grid = m_window.EventGrid;
    TMemoryGrid& m_cylinders = m_window.CylinderTable;
    TRecalcControls& m_controls = m_window.Recalc;
    int m_redraws = 0;
};

const std::vector<TRow> kDefaultTable = {
    {"0", "Píst 1 - HU"},        {"0", "Zapalování 1"},       {"0", "Píst 1 - SV otvírá"},
    {"0", "Píst 1 - SV zavírá"}, {"0", "Píst 1 - VV otvírá"}, {"0", "Píst 1 - VV zavírá"},
    {"180", "Píst 1 - DU"},      {"360", "Píst 1 - HU"},      {"540", "Píst 1 - DU"},
};

TEST_F(RecalculationTest, DefaultsGiveTheCycleTimeAndTheNineEvents) {
    CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);

    EXPECT_EQ(m_computed.value(1), "120");
    EXPECT_EQ(m_grid.cellText(0, 0), "ID");
    EXPECT_EQ(m_grid.cellText(1, 0), "Úhel");
    EXPECT_EQ(m_grid.cellText(2, 0), "Popis");
    EXPECT_EQ(table(), kDefaultTable);
    ASSERT_EQ(m_corrections.rowCount(), 9);
    for (int row = 1; row <= 9; ++row) {
        EXPECT_EQ(m_corrections.key(row), kDefaultTable[row - 1].second);
        EXPECT_EQ(m_corrections.value(row), "0");
    }
    EXPECT_EQ(m_redraws, 1);
}

TEST_F(RecalculationTest, GlobalCorrectionMovesEveryEventAndEqualAnglesDoNotReturnToTheirOrder) {
    CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);

    GlobalCorrectionChanged("-10", m_session, m_controls);
    EXPECT_EQ(m_globalCorrection, -10);
    EXPECT_EQ(table(), (std::vector<TRow>{{"170", "Píst 1 - DU"},
                                          {"350", "Píst 1 - HU"},
                                          {"530", "Píst 1 - DU"},
                                          {"710", "Píst 1 - SV zavírá"},
                                          {"710", "Píst 1 - VV otvírá"},
                                          {"710", "Píst 1 - VV zavírá"},
                                          {"710", "Píst 1 - HU"},
                                          {"710", "Zapalování 1"},
                                          {"710", "Píst 1 - SV otvírá"}}));

    GlobalCorrectionChanged("0", m_session, m_controls);
    EXPECT_EQ(table(), (std::vector<TRow>{{"0", "Píst 1 - SV zavírá"},
                                          {"0", "Píst 1 - VV otvírá"},
                                          {"0", "Píst 1 - VV zavírá"},
                                          {"0", "Píst 1 - HU"},
                                          {"0", "Zapalování 1"},
                                          {"0", "Píst 1 - SV otvírá"},
                                          {"180", "Píst 1 - DU"},
                                          {"360", "Píst 1 - HU"},
                                          {"540", "Píst 1 - DU"}}));
    // The global correction never folds into the events' own corrections.
    for (const TEngineEvent& event : m_events) {
        EXPECT_EQ(event.Correction, 0);
    }
}

TEST_F(RecalculationTest, TwoCylinderTable) {
    setupTwoCylinders();
    CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);

    EXPECT_EQ(table(), (std::vector<TRow>{{"0", "Píst 1 - HU"},
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
    CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);

    m_corrections.setValue(1, "10");
    ApplyCorrectionsAndRecalculate(m_session, m_controls);

    EXPECT_EQ(m_grid.cellText(2, 6), "Píst 1 - HU");
    EXPECT_EQ(m_grid.cellText(1, 6), "10");
    EXPECT_EQ(m_grid.cellText(0, 6), "05");
    EXPECT_EQ(m_corrections.key(6), "Píst 1 - HU");
    EXPECT_EQ(m_corrections.value(6), "10");
    EXPECT_EQ(m_corrections.value(1), "0");
}

TEST_F(RecalculationTest, NegativeCorrectionWrapsToTheEndOfTheList) {
    CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);

    m_corrections.setValue(1, "-20");
    ApplyCorrectionsAndRecalculate(m_session, m_controls);

    EXPECT_EQ(table().back(), (TRow{"700", "Píst 1 - HU"}));
    EXPECT_EQ(m_corrections.value(9), "-20");
}

TEST_F(RecalculationTest, ApplyingWithNoEventsStillRecalculates) {
    ApplyCorrectionsAndRecalculate(m_session, m_controls);

    EXPECT_EQ(m_corrections.rowCount(), 0);
    EXPECT_EQ(m_grid.rowCount(), 1);
    EXPECT_EQ(m_grid.cellText(0, 0), "ID");
    EXPECT_EQ(m_computed.value(1), "120");
    EXPECT_EQ(m_redraws, 1);
}

TEST_F(RecalculationTest, TypingRecalculatesAtEveryKeystroke) {
    CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);
    m_redraws = 0;

    GlobalCorrectionChanged("1", m_session, m_controls);
    EXPECT_EQ(m_globalCorrection, 1);
    GlobalCorrectionChanged("15", m_session, m_controls);
    EXPECT_EQ(m_globalCorrection, 15);
    EXPECT_EQ(m_redraws, 2);
    EXPECT_EQ(table().front(), (TRow{"15", "Píst 1 - HU"}));  // already in order: nothing moves
}

TEST_F(RecalculationTest, GlobalCorrectionTextsThatAreNotNumbersCountAsZero) {
    for (const char* text : {"", "-", "abc", "1.5", "12,5"}) {
        SCOPED_TRACE(text);
        m_globalCorrection = 7;
        GlobalCorrectionChanged(text, m_session, m_controls);
        EXPECT_EQ(m_globalCorrection, std::string(text) == "12,5" ? 12.5 : 0.0);
    }
}

TEST_F(RecalculationTest, GlobalCorrectionBeyondTheDoubleRangeOverflowsAndKeepsTheOldValue) {
    m_globalCorrection = 3;
    try {
        GlobalCorrectionChanged("1e400", m_session, m_controls);
        FAIL() << "no overflow";
    } catch (const EOverflow& failure) {
        EXPECT_STREQ(failure.what(), "Floating point overflow");
    }
    EXPECT_EQ(m_globalCorrection, 3);
    EXPECT_EQ(m_redraws, 0);
}

// An undo puts events back with the texts of their time: what does not compute
// keeps its last display, the rest is shown as a command would.
TEST_F(RecalculationTest, RestoredEventsRecalculateQuietly) {
    struct TCase {
        const char* Speed;
        double Correction;  // of the first event, restored
        double Global;
        const char* CycleTime;
        TRow Last;
    };
    const TCase cases[] = {
        {"2000", -20, 0, "60", {"700", "Píst 1 - HU"}},
        {"abc", -20, 0, "120", {"700", "Píst 1 - HU"}},
        {"1000", 1e308, 1e308, "120", {"540", "Píst 1 - DU"}},  // the angle overflows: as restored
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Speed);
        m_globalCorrection = 0;
        m_mainParameters.setValue(kSpeedRow, "1000");
        CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);
        m_mainParameters.setValue(kSpeedRow, c.Speed);
        m_events.front().Correction = c.Correction;
        m_globalCorrection = c.Global;
        RecalculateRestored(m_session, m_controls);
        EXPECT_EQ(m_computed.value(kCycleTimeRow), c.CycleTime);
        EXPECT_EQ(table().back(), c.Last);
    }
}

struct TCycleTimeCase {
    const char* Speed;
    const char* Cycle;
};

class CycleTimeTest : public RecalculationTest, public ::testing::WithParamInterface<TCycleTimeCase> {};

TEST_P(CycleTimeTest, SpeedGivesCycleTime) {
    m_mainParameters.setValue(kSpeedRow, GetParam().Speed);
    UpdateCycleTime(m_mainParameters, m_computed, kDecimalComma);
    EXPECT_EQ(m_computed.value(kCycleTimeRow), GetParam().Cycle);
}

INSTANTIATE_TEST_SUITE_P(Examples, CycleTimeTest,
                         ::testing::Values(TCycleTimeCase{"1000", "120"}, TCycleTimeCase{"3000", "40"},
                                           TCycleTimeCase{"7000", "17,1"}, TCycleTimeCase{"900", "133,3"},
                                           TCycleTimeCase{"4500", "26,7"}, TCycleTimeCase{"-1000", "-120"},
                                           TCycleTimeCase{" 1e3 ", "120"}));

struct TSpeedFailureCase {
    const char* Speed;
    const char* Message;
};

class SpeedFailureTest : public RecalculationTest, public ::testing::WithParamInterface<TSpeedFailureCase> {};

TEST_P(SpeedFailureTest, InvalidSpeedStopsThePipelineBeforeAnythingElse) {
    CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);
    const auto tableBefore = table();
    setupTwoCylinders();
    m_mainParameters.setValue(kSpeedRow, GetParam().Speed);

    try {
        CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);
        FAIL() << "no failure";
    } catch (const EMorvaneError& failure) {
        EXPECT_STREQ(failure.what(), GetParam().Message);
    }
    // The new events exist with final angle 0, while the lists show the old ones.
    EXPECT_EQ(m_events.size(), 18u);
    for (const TEngineEvent& event : m_events) {
        EXPECT_EQ(event.FinalAngle, 0);
    }
    EXPECT_EQ(table(), tableBefore);
    EXPECT_EQ(m_corrections.rowCount(), 9);
    EXPECT_EQ(m_computed.value(1), "120");
    EXPECT_EQ(m_redraws, 1);

    // Every change of the global correction reports the same failure again.
    EXPECT_THROW(GlobalCorrectionChanged("5", m_session, m_controls), EMorvaneError);
}

INSTANTIATE_TEST_SUITE_P(Failures, SpeedFailureTest,
                         ::testing::Values(TSpeedFailureCase{"0", "Floating point division by zero"},
                                           TSpeedFailureCase{"-0", "Floating point division by zero"},
                                           TSpeedFailureCase{"abc",
                                                             "'abc' is not a valid floating point value"},
                                           TSpeedFailureCase{"", "'' is not a valid floating point value"},
                                           TSpeedFailureCase{"1e-14", "Invalid floating point operation"},
                                           TSpeedFailureCase{"1e-310", "Floating point overflow"}));

TEST_F(RecalculationTest, BadCorrectionKeepsTheCorrectionsStoredBeforeIt) {
    CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);
    m_corrections.setValue(1, "1");
    m_corrections.setValue(2, "2");
    m_corrections.setValue(3, "x");
    m_corrections.setValue(4, "4");

    try {
        ApplyCorrectionsAndRecalculate(m_session, m_controls);
        FAIL() << "no failure";
    } catch (const EConvertError& failure) {
        EXPECT_STREQ(failure.what(), "'x' is not a valid floating point value");
    }
    EXPECT_EQ(m_events[0].Correction, 1);
    EXPECT_EQ(m_events[1].Correction, 2);
    EXPECT_EQ(m_events[3].Correction, 0);
    EXPECT_EQ(m_corrections.value(3), "x");  // no recalculation rebuilt the list
}

TEST_F(RecalculationTest, ShorterCorrectionListFailsWithTheListIndex) {
    CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);
    m_corrections.clear();
    m_corrections.append("a", "1");
    m_corrections.append("b", "2");

    try {
        ApplyCorrections(m_corrections, m_events, kDecimalComma);
        FAIL() << "no failure";
    } catch (const EListError& failure) {
        EXPECT_STREQ(failure.what(), "List index out of bounds (2)");
    }
    EXPECT_EQ(m_events[0].Correction, 1);
    EXPECT_EQ(m_events[1].Correction, 2);
}

TEST_F(RecalculationTest, EmptyCorrectionListReadsAsAnEmptyValue) {
    CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);
    m_corrections.clear();

    try {
        ApplyCorrections(m_corrections, m_events, kDecimalComma);
        FAIL() << "no failure";
    } catch (const EConvertError& failure) {
        EXPECT_STREQ(failure.what(), "'' is not a valid floating point value");
    }
}

TEST_F(RecalculationTest, CreatingEventsAgainDropsTheCorrections) {
    CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);
    m_corrections.setValue(1, "10");
    ApplyCorrectionsAndRecalculate(m_session, m_controls);

    CreateEventsAndRecalculate(m_cylinders, m_session, m_controls);
    EXPECT_EQ(table(), kDefaultTable);
}

}  // namespace
}  // namespace morvane
