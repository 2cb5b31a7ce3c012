#include "events/EventGeneration.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "events/EngineEvent.h"
#include "tests/support/SessionTest.h"
#include "util/errors.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"

namespace morvane {
namespace {

// A cylinder table that notes every cell read, as (column, row).
class TRecordingGrid : public TMemoryGrid {
public:
    using TMemoryGrid::TMemoryGrid;
    std::string cellText(int column, int row) const override {
        Reads.emplace_back(column, row);
        return TMemoryGrid::cellText(column, row);
    }
    mutable std::vector<std::pair<int, int>> Reads;
};

class EventGenerationTest : public testing::TSessionTest {
protected:
    void SetUp() override {
        m_parameters.append("Počet válců [1]", "1");
        m_parameters.append("Otáčky [1/min]", "1000");
        // The window's defaults: numbered rows, every angle "0".
        for (int row = 1; row <= kCylinderRows; ++row) {
            m_table.setCellText(NumberColumn, row, std::to_string(row));
            for (int column = OffsetColumn; column <= ExhaustClosesColumn; ++column) {
                m_table.setCellText(column, row, "0");
            }
        }
    }
    void setCount(const std::string& text) { m_parameters.setValue(kCylinderCountRow, text); }
    void setRow(int row, std::vector<std::string> cells) {
        for (int column = OffsetColumn; column <= ExhaustClosesColumn; ++column) {
            m_table.setCellText(column, row, cells.at(static_cast<std::size_t>(column - OffsetColumn)));
        }
    }
    std::string createFailure() {
        try {
            CreateEvents(m_parameters, m_table, m_events, kDecimalComma);
        } catch (const EConvertError& failure) {
            return failure.what();
        }
        return "no failure";
    }
    void addStaleEvent() { AddEvent(m_events, TEngineEvent{"stale", ekPiston, 1, 2, 3}); }

    std::vector<double> nominalAngles() const {
        std::vector<double> angles;
        for (const TEngineEvent& event : m_events) {
            angles.push_back(event.NominalAngle);
        }
        return angles;
    }

    TEventList& m_events = m_session.Events;
    TMemoryValueList m_parameters;
    TRecordingGrid m_table{kCylinderColumns, kCylinderRows + 1};
};

TEST_F(EventGenerationTest, DefaultsGiveNineEventsOfOneCylinder) {
    CreateEvents(m_parameters, m_table, m_events, kDecimalComma);
    const std::vector<TEngineEvent> expected = {
        {"Píst 1 - HU", ekPiston, 0, 0, 0},
        {"Píst 1 - DU", ekPiston, 180, 0, 0},
        {"Píst 1 - HU", ekPiston, 360, 0, 0},
        {"Píst 1 - DU", ekPiston, 540, 0, 0},
        {"Zapalování 1", ekIgnition, 0, 0, 0},
        {"Píst 1 - SV otvírá", ekIntakeValve, 0, 0, 0},
        {"Píst 1 - SV zavírá", ekIntakeValve, 0, 0, 0},
        {"Píst 1 - VV otvírá", ekExhaustValve, 0, 0, 0},
        {"Píst 1 - VV zavírá", ekExhaustValve, 0, 0, 0},
    };
    EXPECT_EQ(m_events, expected);
}

TEST_F(EventGenerationTest, CellsAreReadInTheFixedOrder) {
    CreateEvents(m_parameters, m_table, m_events, kDecimalComma);
    // The offset four times: both piston passes, the ignition, the valves.
    const std::vector<std::pair<int, int>> expected = {{1, 1}, {1, 1}, {1, 1}, {2, 1}, {1, 1},
                                                       {3, 1}, {4, 1}, {5, 1}, {6, 1}};
    EXPECT_EQ(m_table.Reads, expected);
}

TEST_F(EventGenerationTest, TwoCylinders) {
    setCount("2");
    setRow(1, {"0", "350", "0", "180", "540", "720"});
    setRow(2, {"360", "350", "0", "180", "540", "720"});
    CreateEvents(m_parameters, m_table, m_events, kDecimalComma);
    EXPECT_EQ(nominalAngles(), (std::vector<double>{0, 180, 360, 540, 360, 540, 720, 900, 350, 710, 0, 180,
                                                    540, 720, 360, 540, 900, 1080}));
    std::vector<std::string> names;
    std::vector<int> kinds;
    for (const TEngineEvent& event : m_events) {
        names.push_back(event.Name);
        kinds.push_back(event.Kind);
        EXPECT_EQ(event.FinalAngle, 0);
        EXPECT_EQ(event.Correction, 0);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{
                  "Píst 1 - HU", "Píst 1 - DU", "Píst 2 - HU", "Píst 2 - DU", "Píst 1 - HU", "Píst 1 - DU",
                  "Píst 2 - HU", "Píst 2 - DU", "Zapalování 1", "Zapalování 2", "Píst 1 - SV otvírá",
                  "Píst 1 - SV zavírá", "Píst 1 - VV otvírá", "Píst 1 - VV zavírá", "Píst 2 - SV otvírá",
                  "Píst 2 - SV zavírá", "Píst 2 - VV otvírá", "Píst 2 - VV zavírá"}));
    EXPECT_EQ(kinds, (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 3, 3, 1, 1, 2, 2, 1, 1, 2, 2}));
}

TEST_F(EventGenerationTest, DecimalCommaAnglesAndNoWrap) {
    setRow(1, {"12,5", "-20,25", "700", "1,5E2", "0", "0"});
    CreateEvents(m_parameters, m_table, m_events, kDecimalComma);
    EXPECT_EQ(nominalAngles(),
              (std::vector<double>{12.5, 192.5, 372.5, 552.5, -7.75, 712.5, 162.5, 12.5, 12.5}));
}

TEST_F(EventGenerationTest, TenCylindersNameTheTenth) {
    setCount("10");
    CreateEvents(m_parameters, m_table, m_events, kDecimalComma);
    ASSERT_EQ(m_events.size(), 90u);
    EXPECT_EQ(m_events[18].Name, "Píst 10 - HU");
    EXPECT_EQ(m_events[19].Name, "Píst 10 - DU");
    EXPECT_EQ(m_events[38].Name, "Píst 10 - HU");
    EXPECT_EQ(m_events[49].Name, "Zapalování 10");
    EXPECT_EQ(m_events[89].Name, "Píst 10 - VV zavírá");
}

TEST_F(EventGenerationTest, NoCylindersGiveAnEmptyList) {
    for (const char* count : {"0", "-3"}) {
        SCOPED_TRACE(count);
        addStaleEvent();
        setCount(count);
        CreateEvents(m_parameters, m_table, m_events, kDecimalComma);
        EXPECT_TRUE(m_events.empty());
        EXPECT_TRUE(m_table.Reads.empty());
    }
}

TEST_F(EventGenerationTest, ThirteenCylindersFailAtTheMissingRow) {
    setCount("13");
    EXPECT_EQ(createFailure(), "'' is not a valid floating point value");
    EXPECT_EQ(m_events.size(), 24u);
    EXPECT_EQ(m_events.back().Name, "Píst 12 - DU");
}

TEST_F(EventGenerationTest, RowsBeyondTheTwelfthReadEmptyInAnyGrid) {
    TRecordingGrid tall(kCylinderColumns, kCylinderRows + 3);
    for (int column = OffsetColumn; column <= ExhaustClosesColumn; ++column) {
        for (int row = 1; row <= kCylinderRows + 2; ++row) {
            tall.setCellText(column, row, "0");
        }
    }
    setCount("13");
    EXPECT_THROW(CreateEvents(m_parameters, tall, m_events, kDecimalComma), EConvertError);
    EXPECT_EQ(m_events.size(), 24u);
}

TEST_F(EventGenerationTest, BadAngleStopsAfterTheEventsBeforeIt) {
    m_table.setCellText(ExhaustClosesColumn, 1, "abc");
    EXPECT_EQ(createFailure(), "'abc' is not a valid floating point value");
    ASSERT_EQ(m_events.size(), 8u);
    EXPECT_EQ(m_events.back().Name, "Píst 1 - VV otvírá");
    for (const TEngineEvent& event : m_events) {
        EXPECT_EQ(event.FinalAngle, 0);
    }
}

TEST_F(EventGenerationTest, PointDecimalIsRejectedUnderTheComma) {
    m_table.setCellText(IgnitionColumn, 1, "1.5");
    EXPECT_EQ(createFailure(), "'1.5' is not a valid floating point value");
    EXPECT_EQ(m_events.size(), 4u);
}

TEST_F(EventGenerationTest, FractionalCountFailsBeforeAnyCellIsRead) {
    addStaleEvent();
    setCount("1,5");
    try {
        CreateEvents(m_parameters, m_table, m_events, kDecimalComma);
        FAIL() << "no failure";
    } catch (const EConvertError& failure) {
        EXPECT_STREQ(failure.what(), "'1,5' is not a valid integer value");
    }
    EXPECT_TRUE(m_events.empty());
    EXPECT_TRUE(m_table.Reads.empty());
}

TEST_F(EventGenerationTest, FillFromFirstCopiesTheTimingOnly) {
    setCount("3");
    setRow(1, {"30", "5", "10", "200", "480", "20"});
    setRow(2, {"90", "x", "x", "x", "x", "x"});
    setRow(4, {"7", "y", "y", "y", "y", "y"});
    FillFromFirst(m_parameters, m_table);
    for (int row = 2; row <= 3; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(m_table.cellText(NumberColumn, row), std::to_string(row));
        EXPECT_EQ(m_table.cellText(IgnitionColumn, row), "5");
        EXPECT_EQ(m_table.cellText(IntakeOpensColumn, row), "10");
        EXPECT_EQ(m_table.cellText(IntakeClosesColumn, row), "200");
        EXPECT_EQ(m_table.cellText(ExhaustOpensColumn, row), "480");
        EXPECT_EQ(m_table.cellText(ExhaustClosesColumn, row), "20");
    }
    EXPECT_EQ(m_table.cellText(OffsetColumn, 2), "90");
    EXPECT_EQ(m_table.cellText(OffsetColumn, 3), "0");
    EXPECT_EQ(m_table.cellText(IgnitionColumn, 4), "y");
    EXPECT_TRUE(m_events.empty());
}

TEST_F(EventGenerationTest, FillFromFirstCopiesTextsThatAreNoNumbers) {
    setCount("2");
    setRow(1, {"0", "abc", "", " 1,5 ", "1.5", "x"});
    FillFromFirst(m_parameters, m_table);
    EXPECT_EQ(m_table.cellText(IgnitionColumn, 2), "abc");
    EXPECT_EQ(m_table.cellText(IntakeOpensColumn, 2), "");
    EXPECT_EQ(m_table.cellText(IntakeClosesColumn, 2), " 1,5 ");
    EXPECT_EQ(m_table.cellText(ExhaustClosesColumn, 2), "x");
}

TEST_F(EventGenerationTest, FillFromFirstStopsAtTheTwelfthRow) {
    TMemoryGrid tall(kCylinderColumns, kCylinderRows + 2);
    tall.setCellText(IgnitionColumn, 1, "5");
    tall.setCellText(IgnitionColumn, 13, "keep");
    setCount("20");
    FillFromFirst(m_parameters, tall);
    EXPECT_EQ(tall.cellText(IgnitionColumn, 12), "5");
    EXPECT_EQ(tall.cellText(IgnitionColumn, 13), "keep");
}

TEST_F(EventGenerationTest, FillFromFirstWithOneCylinderOrABadCountCopiesNothing) {
    setRow(1, {"0", "5", "5", "5", "5", "5"});
    setCount("1");
    FillFromFirst(m_parameters, m_table);
    EXPECT_EQ(m_table.cellText(IgnitionColumn, 2), "0");
    setCount("zwei");
    EXPECT_THROW(FillFromFirst(m_parameters, m_table), EConvertError);
    EXPECT_EQ(m_table.cellText(IgnitionColumn, 2), "0");
}

}  // namespace
}  // namespace morvane
