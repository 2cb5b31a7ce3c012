// Top-dead-centre shift, its proposal from a motored trace, pegging and every
// cycle's figures, against traces whose answer is known from their making.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <tuple>

#include "../support/MessageOf.h"
#include "signal/pressure/CombustionFigures.h"
#include "signal/pressure/CombustionInputs.h"
#include "signal/pressure/CycleFigures.h"
#include "signal/pressure/CycleTable.h"
#include "signal/pressure/EngineGeometry.h"
#include "signal/pressure/Pegging.h"
#include "signal/pressure/PressureCycle.h"
#include "signal/pressure/PressureReference.h"
#include "signal/pressure/TopDeadCentre.h"
#include "util/errors.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"

namespace morvane {
namespace {

const TEngineGeometry kDiesel{86, 75, 118, 21.2};

std::string SharedCycle(const char* name) {
    return std::string(MORVANE_TEST_DATA_DIR) + "/combustion/" + name;
}

// p·V^γ constant from 180° to 540° after the true top dead centre, which lies
// at 360 + tdc on the trace's scale; p1 elsewhere. ratioAtTop > 1 adds heat at
// top dead centre (an ideal Otto cycle).
TSignalTable IsentropicTrace(double gamma, double p1, double ratioAtTop = 1, double tdc = 0) {
    const double vMax = ClearanceVolume(kDiesel) + DisplacedVolume(kDiesel);
    TSignalTable trace{};
    for (std::size_t k = 0; k < trace.size(); ++k) {
        const double angle = static_cast<double>(k) / 2 - tdc;
        const double compression = p1 * std::pow(vMax / CylinderVolume(kDiesel, angle), gamma);
        trace[k] = angle <= 180 || angle > 540 ? p1 : angle < 360 ? compression : ratioAtTop * compression;
    }
    return trace;
}

TEST(TopDeadCentreTest, ShiftMovesTheSharedFiredCycle) {
    const TPressureCycle fired = ReadPressureCycle(SharedCycle("fired_mean.csv"), kDecimalComma);
    const TCombustionSettings settings;
    const TCombustionFigures today =
        ComputeTraceFigures(fired.Mean, CylinderVolumes(kDiesel), DisplacedVolume(kDiesel), settings);
    const TPressureAnalysis unmoved = AnalysePressureCycle(fired, kDiesel, settings, {});
    EXPECT_EQ(unmoved.Pressure, fired.Mean);
    EXPECT_EQ(unmoved.Mean.NetImep, today.NetImep);
    EXPECT_EQ(unmoved.Mean.Burn->Mfb50, today.Burn->Mfb50);

    TPressureReference reference;
    reference.TdcShift = 1;
    const TPressureAnalysis moved = AnalysePressureCycle(fired, kDiesel, settings, reference);
    EXPECT_EQ(moved.Mean.PeakAngle, 367.5);
    EXPECT_EQ(moved.Mean.PeakPressure, today.PeakPressure);
}

TEST(TopDeadCentreTest, ShiftInterpolatesAndWraps) {
    TSignalTable ramp{};
    for (std::size_t k = 0; k < ramp.size(); ++k) {
        ramp[k] = static_cast<double>(k);  // point 1440 counts as point 0
    }
    struct TRow {
        double Shift;
        std::size_t Point;
        double Value;
    };
    const TRow rows[] = {
        {0.25, 10, 10.5}, {-0.25, 10, 9.5}, {0.25, 1439, 719.5},  // halfway to point 1440 ≡ 0
        {-1, 0, 1438},    {-1, 1440, 1438}, {-359.5, 2, 723},    {0, 1440, 1440},
    };
    for (const TRow& row : rows) {
        EXPECT_DOUBLE_EQ(ShiftTrace(ramp, row.Shift)[row.Point], row.Value) << row.Shift << " @" << row.Point;
    }
}

TEST(TopDeadCentreTest, ProposalFindsAKnownShift) {
    for (const double tdc : {1.5, -0.75, 0.0}) {
        const TSignalTable motored = IsentropicTrace(1.35, 1, 1, tdc);
        EXPECT_NEAR(ProposeTdcShift(motored, 0), tdc, 0.05) << tdc;
        EXPECT_NEAR(ProposeTdcShift(motored, 0.8), tdc + 0.8, 0.05) << tdc;
    }
    const double shared =
        ProposeTdcShift(ReadPressureCycle(SharedCycle("motored_mean_deg.csv"), kDecimalComma).Mean, 0);
    EXPECT_NEAR(shared, -2.712, 0.001);
}

TEST(PeggingTest, RecoversAKnownOffset) {
    const TSignalTable volumes = CylinderVolumes(kDiesel);
    const double drift = -0.7321;
    TSignalTable measured = IsentropicTrace(1.32, 1.013, 3);
    for (double& value : measured) {
        value += drift;
    }
    TPressureReference polytropic;
    polytropic.PegMethod = TPegMethod::Polytropic;
    EXPECT_NEAR(PegOffset(measured, volumes, polytropic), -drift, 1e-6);

    // 170 .. 180° lies in the intake, at 1,013 bar before the drift.
    TPressureReference point;
    point.PegMethod = TPegMethod::Point;
    point.PegRange = TAngleRange{170, 180};
    EXPECT_NEAR(PegOffset(measured, volumes, point), -drift, 1e-12);
    point.PegPressure = 2;
    EXPECT_NEAR(PegOffset(measured, volumes, point), 2 - 1.013 - drift, 1e-12);
    EXPECT_EQ(PegOffset(measured, volumes, {}), 0);
}

// A range over which Vⁿ hardly changes amplifies every pressure error into the
// offset (179 .. 181° pegged the fired cycle by 341 bar); refused, naming the
// range or, when the usual exponent would do there, the exponent.
TEST(PeggingTest, RefusesWhatCannotTellTheOffset) {
    const TPressureCycle fired = ReadPressureCycle(SharedCycle("fired_mean.csv"), kDecimalComma);
    const std::string amplified = "by se chyba tlaku v posunu tlaku zvětšila více než 10krát";
    const std::string narrow = " musí být širší nebo dál od úvratí: objem válce se v něm mění tak málo, že " +
                               amplified + " (výchozí rozsah je 245 až 295)";
    struct TRow {
        std::optional<TAngleRange> Range;
        double Exponent;
        std::string Message;  // empty: pegged as before
    };
    const TRow rows[] = {
        {TAngleRange{179, 181}, 1.32, "Rozsah vztažení [°] 179 až 181" + narrow},
        {TAngleRange{175, 185}, 1.32, "Rozsah vztažení [°] 175 až 185" + narrow},
        {TAngleRange{355, 365}, 1.32, "Rozsah vztažení [°] 355 až 365" + narrow},
        {std::nullopt, 1e-300,
         "Exponent polytropy [1] 1E-300 musí být větší (obvykle 1,32): s tak malým exponentem " + amplified},
        {std::nullopt, 1.32, ""},
        {TAngleRange{220, 260}, 1.32, ""},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Message);
        TPressureReference reference;
        reference.PegMethod = TPegMethod::Polytropic;
        reference.PegRange = row.Range;
        reference.PegExponent = row.Exponent;
        if (row.Message.empty()) {
            EXPECT_NEAR(AnalysePressureCycle(fired, kDiesel, {}, reference).PegOffset, 0.03, 0.02);
        } else {
            EXPECT_EQ(
                testing::MessageOf<EInputError>([&] { AnalysePressureCycle(fired, kDiesel, {}, reference); }),
                row.Message);
        }
    }
}

TEST(PressureReferenceTest, BadReferencesNameTheField) {
    const char* const badRange =
        "Rozsah vztažení [°] musí být od menšího k většímu v rozsahu 0 až 720 a zahrnout alespoň dva body "
        "cyklu";
    const char* const badExponent = "Exponent polytropy [1] musí být větší než 0 a nejvýše 10";
    const auto peg = [](TPegMethod method, TAngleRange range, double exponent = 1.32, double pressure = 1) {
        return TPressureReference{0, method, range, pressure, exponent};
    };
    struct TRow {
        TPressureReference Reference;
        const char* Message;
    };
    const TRow rows[] = {
        {{400, TPegMethod::None, {}, 1, 1}, "Posun HÚ [°] musí být v rozsahu -360 až 360"},
        {peg(TPegMethod::Point, {185, 175}), badRange},
        {peg(TPegMethod::Point, {-5, 10}), badRange},
        {peg(TPegMethod::Point, {700, 721}), badRange},
        {peg(TPegMethod::Point, {180.1, 180.4}), badRange},
        {peg(TPegMethod::Point, {180, 185}, 1.32, 0),
         "Tlak vztažení [bar] musí být větší než 0 a nejvýše 1000"},
        {peg(TPegMethod::Polytropic, {245, 295}, 0), badExponent},
        {peg(TPegMethod::Polytropic, {245, 295}, -1.3), badExponent},
    };
    const TPressureCycle cycle{IsentropicTrace(1.35, 1), {}, ""};
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Message);
        EXPECT_EQ(
            testing::MessageOf<EInputError>([&] { AnalysePressureCycle(cycle, kDiesel, {}, row.Reference); }),
            row.Message);
    }
}

TEST(PressureReferenceTest, ParsesTheTypedTexts) {
    TReferenceTexts texts;
    texts.TdcShift = "-1,5";
    texts.PegMethod = "polytropic";
    EXPECT_EQ(PegRangeOf(ParseReferenceTexts(texts, kDecimalComma)).From, 245);
    for (const auto& [text, from, to] :
         {std::tuple{"200;250,5", 200.0, 250.5}, {"200,250", 200.0, 250.0}, {"200,5,250,5", 200.5, 250.5}}) {
        texts.PegRange = text;
        const TPressureReference reference = ParseReferenceTexts(texts, kDecimalComma);
        EXPECT_EQ(reference.TdcShift, -1.5);
        EXPECT_EQ(PegRangeOf(reference).From, from) << text;
        EXPECT_EQ(PegRangeOf(reference).To, to) << text;
    }
    texts.PegRange = "200";
    EXPECT_EQ(testing::MessageOf<EInputError>([&] { ParseReferenceTexts(texts, kDecimalComma); }),
              "Rozsah vztažení [°] musí být ve tvaru OD,DO (s desetinnými čísly OD;DO, např. 175,5;185)");
    texts.PegRange.clear();
    texts.PegMethod = "Bodové";
    EXPECT_EQ(testing::MessageOf<EInputError>([&] { ParseReferenceTexts(texts, kDecimalComma); }),
              "Vztažení tlaku musí být none, point nebo polytropic");
}

// Four Otto cycles at known scales, each measured with its own sensor drift,
// and a motored one; pegged polytropically with the traces' own exponent.
TEST(CycleFiguresTest, EveryCycleOfADriftingRecording) {
    const double gamma = 1.4;
    const double e = kDiesel.CompressionRatio;
    const double otto = std::pow(e, gamma) * 2 * (1 - std::pow(e, 1 - gamma)) / ((gamma - 1) * (e - 1));
    struct TCycle {
        double Scale;
        double Drift;
        double Heat;  // pressure ratio at top dead centre
    };
    const TCycle cycles[] = {{1, 0.4, 3}, {1.1, -0.3, 3}, {0.9, 0.8, 1}, {1.05, 0, 3}};
    TPressureCycle recording;
    for (const TCycle& cycle : cycles) {
        TSignalTable trace = IsentropicTrace(gamma, cycle.Scale, cycle.Heat);
        for (double& value : trace) {
            value -= cycle.Drift;
        }
        recording.Cycles.push_back(trace);
    }
    for (std::size_t k = 0; k < recording.Mean.size(); ++k) {
        double sum = 0;
        for (const TSignalTable& trace : recording.Cycles) {
            sum += trace[k];
        }
        recording.Mean[k] = sum / 4;
    }
    recording.Knock = {{0.2, false}, {1.5, true}, {std::nullopt, false}, {0.4, false}};
    TPressureReference reference;
    reference.PegMethod = TPegMethod::Polytropic;
    reference.PegExponent = gamma;
    const TPressureAnalysis analysis = AnalysePressureCycle(recording, kDiesel, {gamma, 340, 460}, reference);

    ASSERT_EQ(analysis.Cycles.size(), 4U);
    for (std::size_t c = 0; c < 4; ++c) {
        SCOPED_TRACE(c);
        const TCycleFigures& figures = analysis.Cycles[c];
        const double ratio = cycles[c].Heat;
        EXPECT_NEAR(figures.PegOffset, cycles[c].Drift, 1e-9);
        EXPECT_NEAR(figures.NetImep, cycles[c].Scale * otto * (ratio - 1) / 2, 2e-4 * otto);
        EXPECT_NEAR(figures.PeakPressure, cycles[c].Scale * ratio * std::pow(e, gamma), 1e-9);
        EXPECT_EQ(figures.Burn.has_value(), ratio > 1);
    }
    const TCycleStatistics& statistics = analysis.Statistics;
    EXPECT_EQ(statistics.Misfires, 1);
    EXPECT_NEAR(analysis.PegOffset, (0.4 - 0.3 + 0.8) / 4, 1e-9);
    EXPECT_NEAR(statistics.Mfb50Deviation.value_or(-1), 0, 1e-6);  // every burn at top dead centre
    EXPECT_NEAR(statistics.MapoMean.value_or(-1), 0.7, 1e-12);
    EXPECT_EQ(statistics.MapoMax, 1.5);
    EXPECT_EQ(statistics.KnockingCycles, 1);

    const std::string table = CycleTableText(analysis, kDecimalComma);
    EXPECT_EQ(
        table.substr(0, table.find('\n')),
        "Cyklus;IMEP [bar];IMEP vysokotlaký [bar];pmax [bar];Úhel pmax [°];MFB10 [°];MFB50 [°];MFB90 [°];"
        "Teplo [J];Posun tlaku [bar];Vynechání;MAPO [bar]");
    const std::size_t third = table.find("\n3;") + 1;
    const std::string row = table.substr(third, table.find('\n', third) - third);
    EXPECT_EQ(row.substr(row.find(";;;")),
              ";;;;" + RoundedFigure(analysis.Cycles[2].Heat, 0.01, kDecimalComma) + ";0,8;1;");

    TMemoryValueList list;
    ListPressureAnalysis(analysis, list, kDecimalComma);
    std::string keys;
    for (int r = 1; r <= list.rowCount(); ++r) {
        keys += list.key(r) + "|";
    }
    EXPECT_EQ(keys,
              "IMEP [bar]|IMEP vysokotlaký [bar]|pmax [bar]|Úhel pmax [°]|MFB10 [°]|MFB50 [°]|MFB90 [°]|"
              "CoV IMEP [%]|Teplo [J]|Posun tlaku [bar]|CoV pmax [%]|Sm. odchylka MFB50 [°]|Vynechané cykly|"
              "MAPO průměr [bar]|MAPO max [bar]|Klepající cykly|");
}

// One absurd point ruled every integral (1E6 bar gave an IMEP of -1E12 bar)
// or, at 1E20, cancelled in the level's running sum and blamed another angle:
// refused before pegging, naming the point as the file gives it. Knock-like
// noise of a few bar is no stray point.
TEST(CycleFiguresTest, OneAbsurdPointIsRefused) {
    struct TRow {
        int Cycle;  // 0: the mean
        std::size_t Point;
        double Value;
        TPegMethod Peg;
        const char* Message;  // its start; nullptr: figures
    };
    const TRow rows[] = {
        {0, 700, 1e6, TPegMethod::None, "Tlak při 350° [bar] 1000000 musí být řádově jako v okolních bodech"},
        {0, 700, 1e20, TPegMethod::None, "Tlak při 350° [bar] 1E20 musí být řádově"},
        {0, 540, -1e15, TPegMethod::Polytropic, "Tlak při 270° [bar] -1E15 musí být řádově"},
        {2, 100, 1e15, TPegMethod::Point, "Tlak cyklu 2 při 50° [bar] 1E15 musí být řádově"},
        {0, 740, 150, TPegMethod::Polytropic, nullptr},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Point);
        TPressureCycle cycle;
        cycle.Mean = IsentropicTrace(1.35, 1, 2.5);
        cycle.Cycles = {cycle.Mean, cycle.Mean};
        TSignalTable& trace = row.Cycle == 0 ? cycle.Mean : cycle.Cycles[1];
        trace[row.Point] = row.Value;
        TPressureReference reference;
        reference.PegMethod = row.Peg;
        if (row.Message == nullptr) {
            EXPECT_GT(AnalysePressureCycle(cycle, kDiesel, {}, reference).Mean.NetImep, 0);
            continue;
        }
        const std::string message =
            testing::MessageOf<EInputError>([&] { AnalysePressureCycle(cycle, kDiesel, {}, reference); });
        EXPECT_EQ(message.rfind(row.Message, 0), 0U) << message;
    }
}

// Fed one trace at a time, with the mean before, among or after the cycles (an
// import knows it last): the figures of the whole cycle; a failing trace is
// named by its place among the cycles.
TEST(CycleFiguresTest, AnalyserFedTraceByTraceMatchesTheWholeCycle) {
    TPressureCycle recording;
    for (const double heat : {3.0, 1.0, 2.5}) {
        recording.Cycles.push_back(IsentropicTrace(1.4, 1, heat));
    }
    recording.Mean = IsentropicTrace(1.4, 1, 2.2);
    recording.Knock = {{0.2, false}, {1.5, true}, {std::nullopt, false}};
    TPressureReference reference;
    reference.PegMethod = TPegMethod::Polytropic;
    const TCombustionSettings settings{1.4, 340, 460};
    const TPressureAnalysis whole = AnalysePressureCycle(recording, kDiesel, settings, reference);
    const auto texts = [](const TPressureAnalysis& analysis) {
        TMemoryValueList list;
        ListPressureAnalysis(analysis, list, kDecimalComma);
        std::string text = CycleTableText(analysis, kDecimalComma);
        for (int r = 1; r <= list.rowCount(); ++r) {
            text += list.key(r) + ";" + list.value(r) + "\n";
        }
        return text;
    };
    for (const std::size_t meanAt : {0U, 2U, 3U}) {
        SCOPED_TRACE(meanAt);
        TPressureAnalyser analyser(kDiesel, settings, reference);
        for (std::size_t c = 0; c <= recording.Cycles.size(); ++c) {
            if (c == meanAt) {
                analyser.addMean(recording.Mean);
            }
            if (c < recording.Cycles.size()) {
                analyser.addCycle(recording.Cycles[c], recording.Knock[c]);
            }
        }
        const TPressureAnalysis fed = std::move(analyser).finish();
        EXPECT_EQ(fed.Pressure, whole.Pressure);
        EXPECT_EQ(fed.Mean.CovImep, whole.Mean.CovImep);
        EXPECT_EQ(texts(fed), texts(whole));
    }

    TPressureAnalyser analyser(kDiesel, settings, {});
    analyser.addCycle(recording.Cycles[0]);
    EXPECT_EQ(testing::MessageOf<EInputError>([&] {
                  analyser.addCycle(OffsetTrace(recording.Cycles[1], -50));
              }).rfind("Tlak cyklu 2 při ", 0),
              0U);
}

}  // namespace
}  // namespace morvane
