#include "events/ValveTiming.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "events/MainControls.h"
#include "util/errors.h"
#include "util/numtext.h"

namespace morvane {
namespace {

using TFigures = std::array<std::string, kValveSummaryFigures>;

class ValveTimingTest : public ::testing::Test {
protected:
};

// The four valve cells as typed, and the six figures the summary must show.
struct TExample {
    const char* Name;
    std::array<const char*, 4> Cells;  // SV opens, SV closes, VV opens, VV closes
    TFigures Figures;
};

const TExample kExamples[] = {
    {"cam card 274/286", {"-31", "243", "463", "749"}, {"274", "286", "60", "106", "114", "110"}},
    {"symmetric 260", {"-20", "240", "480", "740"}, {"260", "260", "40", "110", "110", "110"}},
    {"same cam a cycle later", {"689", "963", "-257", "29"}, {"274", "286", "60", "106", "114", "110"}},
    {"no overlap", {"10", "200", "520", "710"}, {"190", "190", "-20", "105", "105", "105"}},
    {"decimal comma",
     {"-30,5", "243,5", "463", "749,5"},
     {"274", "286,5", "60", "106,5", "113,75", "110,125"}},
    {"the defaults", {"0", "0", "0", "0"}, {"0", "0", "0", "0", "0", "0"}},
};

TEST_F(ValveTimingTest, WorkedExamplesDigitForDigit) {
    for (const TExample& example : kExamples) {
        SCOPED_TRACE(example.Name);
        TMemoryMainControls window;
        FillDefaultCylinderTable(window.CylinderTable);
        window.MainParameters.setValue(kCylinderCountRow, "2");
        for (int k = 0; k < 4; ++k) {
            window.CylinderTable.setCellText(IntakeOpensColumn + k, 2, example.Cells[k]);
        }
        window.CylinderTable.setCellText(OffsetColumn, 2, "180");
        TMemoryGrid summary(kValveSummaryColumns, 1);
        FillValveSummary(window.MainParameters, window.CylinderTable, summary, kDecimalComma);
        ASSERT_EQ(summary.rowCount(), 3);
        EXPECT_EQ(summary.cellText(0, 2), "2");
        EXPECT_EQ(summary.cellText(1, 2), "180");
        TFigures shown;
        for (int k = 0; k < kValveSummaryFigures; ++k) {
            shown[k] = summary.cellText(2 + k, 2);
        }
        EXPECT_EQ(shown, example.Figures);
    }
}

TEST_F(ValveTimingTest, CamCardRoundTripGivesTheFourAnglesBack) {
    for (const TExample& example : {kExamples[0], kExamples[1], kExamples[4]}) {
        SCOPED_TRACE(example.Name);
        TValveAngles typed;
        typed.IntakeOpens = ParseFloat(example.Cells[0], kDecimalComma);
        typed.IntakeCloses = ParseFloat(example.Cells[1], kDecimalComma);
        typed.ExhaustOpens = ParseFloat(example.Cells[2], kDecimalComma);
        typed.ExhaustCloses = ParseFloat(example.Cells[3], kDecimalComma);
        const TValveSummary summary = SummarizeValveTiming(typed);
        const TValveAngles back =
            ValveAnglesFromCamCard({summary.IntakeDuration, summary.ExhaustDuration, summary.IntakeCentreline,
                                    summary.ExhaustCentreline});
        EXPECT_EQ(back.IntakeOpens, typed.IntakeOpens);
        EXPECT_EQ(back.IntakeCloses, typed.IntakeCloses);
        EXPECT_EQ(back.ExhaustOpens, typed.ExhaustOpens);
        EXPECT_EQ(back.ExhaustCloses, typed.ExhaustCloses);
    }
}

// The summary refuses what the event creation refuses, and angles no cam has.
TEST_F(ValveTimingTest, BadCellsStopTheSummaryNamingTheCell) {
    const struct {
        int Column;
        const char* Text;
        const char* Message;
    } rows[] = {
        {OffsetColumn, "abc", "'abc' is not a valid floating point value"},
        {OffsetColumn, "nan", "'nan' is not a valid floating point value"},
        {IntakeOpensColumn, "1e15", "Válec 2, SV otvírá musí být od -720 do 1440"},
        {ExhaustClosesColumn, "-720,5", "Válec 2, VV zavírá musí být od -720 do 1440"},
        {ExhaustOpensColumn, "1440,01", "Válec 2, VV otvírá musí být od -720 do 1440"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        TMemoryMainControls window;
        FillDefaultCylinderTable(window.CylinderTable);
        window.MainParameters.setValue(kCylinderCountRow, "2");
        window.CylinderTable.setCellText(row.Column, 2, row.Text);
        try {
            ValveSummaryText(window.MainParameters, window.CylinderTable, kDecimalComma);
            ADD_FAILURE() << "accepted";
        } catch (const EMorvaneError& failure) {
            EXPECT_EQ(std::string(failure.what()), row.Message);
        }
    }
}

TEST_F(ValveTimingTest, CamCardTextsParsedInTheirOrder) {
    const TCamCard card = ParseCamCard({"274", "286,5", "106", "113,75"}, kDecimalComma);
    EXPECT_EQ(card.IntakeDuration, 274);
    EXPECT_EQ(card.ExhaustDuration, 286.5);
    EXPECT_EQ(card.IntakeCentreline, 106);
    EXPECT_EQ(card.ExhaustCentreline, 113.75);
    EXPECT_THROW(ParseCamCard({"274", "286", "x", "1"}, kDecimalComma), EConvertError);
}

}  // namespace
}  // namespace morvane
