#include "signal/import/EncoderImport.h"
#include "signal/import/EncoderSettings.h"
#include "signal/import/ImportCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "signal_test_support.h"
#include "tests/support/MessageOf.h"
#include "tests/support/SharedData.h"
#include "tests/support/SyntheticRecording.h"
#include "util/errors.h"

namespace morvane {
namespace {

using testing::ExpectedRpm;
using testing::ExpectFailure;
using testing::Pressure;
using testing::RecordingLines;
using testing::TRowName;
using testing::TSynthetic;

class EncoderImportTest : public testing::SignalImportTest {
protected:
    TEncoderOptions options(const TSynthetic& s, const std::vector<std::string>& lines) {
        TEncoderOptions o;
        o.Path = writeFile("recording.csv", testing::RecordingText(lines));
        o.Wheel = TWheel{s.Teeth, s.Missing};
        o.ReferenceAngle = s.ReferenceAngle;
        o.TimeColumn = s.TimeColumn ? "3" : "";
        o.SampleRate = s.TimeColumn ? 0 : s.Rate;
        o.IndexColumn = s.IndexColumn ? (s.TimeColumn ? "4" : "3") : "";
        return o;
    }
};

struct TCycleRow {
    std::string Name;
    std::function<void(TSynthetic&, TEncoderOptions&)> Change;
    int Phase;
    int Cycles;
    double Peak;  // degrees
};

class EncoderCycleTest : public EncoderImportTest, public ::testing::WithParamInterface<TCycleRow> {};

// The averaged cycle has the recorded shape where the reference angle puts it,
// with the exact cycle count and speed.
TEST_P(EncoderCycleTest, AveragesTheShapeOntoTheCycle) {
    const TCycleRow& row = GetParam();
    TSynthetic s;
    TEncoderOptions o;
    row.Change(s, o);
    const TEncoderOptions given = o;
    o = options(s, RecordingLines(s));
    o.Phase = given.Phase;
    if (given.ValueColumn != "2") {
        o.EncoderColumn = given.EncoderColumn;
        o.ValueColumn = given.ValueColumn;
    }
    std::vector<double> speeds;  // each cycle's own, within the recording's range and following its drift
    o.CycleSink = [&speeds](const TEncoderCycle& cycle) { speeds.push_back(cycle.Rpm); };
    const TEncoderResult result = ImportEncoderRecording(o);
    EXPECT_EQ(result.Phase, row.Phase);
    ASSERT_EQ(static_cast<int>(result.Cycles.size()), row.Cycles);
    EXPECT_NEAR(result.Rpm, ExpectedRpm(s), 0.5);
    ASSERT_EQ(speeds.size(), result.Cycles.size());
    EXPECT_EQ(result.CycleRpm, speeds);
    for (std::size_t c = 0; c < speeds.size(); ++c) {
        EXPECT_GE(speeds[c], s.RpmStart - 1);
        EXPECT_LE(speeds[c], s.RpmEnd + 1);
        EXPECT_TRUE(c == 0 || s.RpmEnd == s.RpmStart || speeds[c] > speeds[c - 1]);
    }

    const auto top = std::max_element(result.Mean.begin(), result.Mean.end()) - result.Mean.begin();
    EXPECT_NEAR(static_cast<double>(top) / 2, row.Peak, 0.5);
    const double shift = row.Phase == 1 ? s.FiringShift : s.FiringShift - 360;
    for (std::size_t k = 0; k < result.Mean.size(); ++k) {
        const double expected = Pressure(std::fmod(k / 2.0 + shift + 720, 720));
        ASSERT_NEAR(result.Mean[k], expected, 0.01 * 41) << "at " << k / 2.0 << "°";
    }
    EXPECT_DOUBLE_EQ(*std::max_element(result.Signal.begin(), result.Signal.end()), 1.0);

    ShowEncoderResult(result, m_boxes, m_signal);
    EXPECT_EQ(m_boxes.Infos, std::vector<std::string>{"Cykly / Otáčky [RPM]: " + std::to_string(row.Cycles) +
                                                      " / " + std::to_string(std::lround(ExpectedRpm(s)))});
    EXPECT_EQ(m_signal, result.Signal);
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, EncoderCycleTest,
    ::testing::Values(
        TCycleRow{"SemicolonComma", [](TSynthetic&, TEncoderOptions&) {}, 1, 10, 372},
        TCycleRow{"TabPointWithTimeColumn",
                  [](TSynthetic& s, TEncoderOptions&) {
                      s.Separator = "\t";
                      s.Decimal = '.';
                      s.TimeColumn = true;
                  },
                  1, 10, 372},
        TCycleRow{"SpacesColumnsByName",
                  [](TSynthetic& s, TEncoderOptions& o) {
                      s.Separator = "   ";
                      o.EncoderColumn = "encoder";
                      o.ValueColumn = "pressure";
                  },
                  1, 10, 372},
        TCycleRow{"ReferenceAngle90", [](TSynthetic& s, TEncoderOptions&) { s.ReferenceAngle = 90; }, 1, 10,
                  372},
        TCycleRow{"SecondRevolutionFires", [](TSynthetic& s, TEncoderOptions&) { s.FiringShift = 360; }, 2, 9,
                  372},
        TCycleRow{"PhaseGiven", [](TSynthetic&, TEncoderOptions& o) { o.Phase = 2; }, 2, 9, 12},
        TCycleRow{"NoisyEncoder", [](TSynthetic& s, TEncoderOptions&) { s.Noise = 0.15; }, 1, 10, 372},
        TCycleRow{"SpeedDrift",
                  [](TSynthetic& s, TEncoderOptions&) {
                      s.RpmStart = 2500;
                      s.RpmEnd = 3500;
                  },
                  1, 10, 372},
        TCycleRow{"Wheel36Minus1",
                  [](TSynthetic& s, TEncoderOptions&) {
                      s.Teeth = 36;
                      s.Missing = 1;
                  },
                  1, 10, 372},
        TCycleRow{"Wheel60Minus3", [](TSynthetic& s, TEncoderOptions&) { s.Missing = 3; }, 1, 10, 372},
        TCycleRow{"Wheel360Minus0WithIndex",
                  [](TSynthetic& s, TEncoderOptions&) {
                      s.Teeth = 360;
                      s.Missing = 0;
                      s.IndexColumn = true;
                      s.RpmStart = s.RpmEnd = 600;
                      s.Revolutions = 4;
                  },
                  1, 2, 372},
        TCycleRow{"HeaderInTheMiddle", [](TSynthetic& s, TEncoderOptions&) { s.HeaderInTheMiddle = true; }, 1,
                  10, 372}),
    TRowName());

struct TFaultRow {
    std::string Name;
    std::function<void(TSynthetic&)> Recording;
    std::function<void(std::vector<std::string>&, TEncoderOptions&)> Afterwards;
    std::string Message;
};

class EncoderFaultTest : public EncoderImportTest, public ::testing::WithParamInterface<TFaultRow> {};

// Each fault names what is wrong, shows nothing and leaves the signal as it was.
TEST_P(EncoderFaultTest, FailsWithoutChangingTheSignal) {
    TSynthetic s;
    s.Revolutions = 4;
    GetParam().Recording(s);
    std::vector<std::string> lines = RecordingLines(s);
    TEncoderOptions o;
    GetParam().Afterwards(lines, o);
    const TWheel wheel = o.Wheel;
    o = options(s, lines);
    o.Wheel = wheel;
    const TSignalTable previous = testing::PreviousSignal();
    m_signal = previous;
    ExpectFailure<EImportError>([&] { ImportEncoderSignal(o, m_boxes, m_signal); }, GetParam().Message);
    EXPECT_TRUE(m_boxes.Infos.empty());
    EXPECT_EQ(m_signal, previous);
}

void Unchanged(TSynthetic&) {}
void AsRecorded(std::vector<std::string>&, TEncoderOptions&) {}

INSTANTIATE_TEST_SUITE_P(
    Faults, EncoderFaultTest,
    ::testing::Values(
        TFaultRow{"ToothMissing", [](TSynthetic& s) { s.DroppedToothRevolution = 3; }, AsRecorded,
                  "Otáčka 3: nalezeno hran 57, kolo jich má 58"},
        TFaultRow{"WrongWheel", [](TSynthetic& s) { s.Missing = 3; },
                  [](std::vector<std::string>&, TEncoderOptions& o) { o.Wheel = ParseWheel("60-2"); },
                  "Otáčka 1: nalezeno hran 57, kolo jich má 58"},
        TFaultRow{"LessThanOneCycle", [](TSynthetic& s) { s.Revolutions = 1; }, AsRecorded,
                  "Záznam nemá ani jeden úplný cyklus (úplných otáček: 1, fáze 1)"},
        TFaultRow{"NoReferenceMark", [](TSynthetic& s) { s.Missing = 0; },
                  [](std::vector<std::string>&, TEncoderOptions& o) { o.Wheel = ParseWheel("60-2"); },
                  "Záznam nemá ani jednu úplnou otáčku (referenčních značek: 0)"},
        TFaultRow{"UnreadableField", Unchanged,
                  [](std::vector<std::string>& lines, TEncoderOptions&) { lines[6] = "1,0;x"; },
                  "Řádek 7 '1,0;x': sloupec 2 není číslo"},
        TFaultRow{"MissingField", Unchanged,
                  [](std::vector<std::string>& lines, TEncoderOptions&) { lines[9] = "1,0"; },
                  "Řádek 10 '1,0': chybí sloupec 2"},
        TFaultRow{"BothDecimalMarks", Unchanged,
                  [](std::vector<std::string>& lines, TEncoderOptions&) { lines[2] = "1.5;2,5"; },
                  "Soubor používá desetinnou čárku i tečku"}),
    TRowName());

struct TThreadsRow {
    std::string Name;
    bool TimeColumn;
    std::vector<std::pair<std::size_t, std::string>> Lines;  // 0-based line, its new text
    std::string Message;                                     // empty: the import succeeds
};

class EncoderThreadsTest : public EncoderImportTest, public ::testing::WithParamInterface<TThreadsRow> {};

// Read on a thread of its own, the recording gives the same result to the bit,
// or the same first failure, as read and analysed row by row: a reading error
// many blocks of rows after an analysis error does not overtake it.
TEST_P(EncoderThreadsTest, SameResultOrFirstFailureOnEitherThreadCount) {
    TSynthetic s;
    s.TimeColumn = GetParam().TimeColumn;
    std::vector<std::string> lines = RecordingLines(s);
    for (const auto& [at, text] : GetParam().Lines) {
        lines.at(at) = text;
    }
    std::vector<TEncoderResult> results;
    for (const unsigned threads : {1U, 2U}) {
        TEncoderOptions o = options(s, lines);
        o.Threads = threads;
        if (GetParam().Message.empty()) {
            results.push_back(ImportEncoderRecording(o));
        } else {
            ExpectFailure<EImportError>([&] { ImportEncoderRecording(o); }, GetParam().Message);
        }
    }
    if (results.size() == 2) {
        EXPECT_EQ(results[0].Mean, results[1].Mean);
        EXPECT_EQ(results[0].Cycles, results[1].Cycles);
        EXPECT_EQ(results[0].CycleRpm, results[1].CycleRpm);
        EXPECT_EQ(results[0].Rpm, results[1].Rpm);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Threads, EncoderThreadsTest,
    ::testing::Values(TThreadsRow{"FixedRate", false, {}, ""}, TThreadsRow{"TimeColumn", true, {}, ""},
                      TThreadsRow{
                          "AnalysisErrorBeforeReadingError",
                          false,
                          {{15000, "99;1"}, {38000, "x;1"}},
                          "Řádek 15001: kanál snímače otáček opouští rozsah prvních otáček (od 0 do 1)"},
                      TThreadsRow{"ReadingErrorBeforeAnalysisError",
                                  false,
                                  {{9000, "1;x"}, {15000, "99;1"}},
                                  "Řádek 9001 '1;x': sloupec 2 není číslo"},
                      TThreadsRow{"TimeStandsStill",
                                  true,
                                  {{20000, "1;1;0"}},
                                  "Řádek 20001 '1;1;0': čas ve sloupci času musí stále růst"}),
    TRowName());

// A pipe is read once and its columns held; the result is the file's.
TEST_F(EncoderImportTest, PipeGivesWhatTheFileGives) {
    TSynthetic s;
    s.Revolutions = 4;
    TEncoderOptions o = options(s, RecordingLines(s));
    const TEncoderResult fromFile = ImportEncoderRecording(o);
    std::string content;
    for (const std::string& line : RecordingLines(s)) {
        content += line + "\n";
    }
    TEncoderResult fromPipe;
    testing::ReadFromPipe(content, [&](const std::string& path) {
        o.Path = path;
        fromPipe = ImportEncoderRecording(o);
    });
    EXPECT_EQ(fromPipe.Mean, fromFile.Mean);
    EXPECT_EQ(fromPipe.Cycles, fromFile.Cycles);
    EXPECT_EQ(fromPipe.Rpm, fromFile.Rpm);
}

// At 20 kHz the default band (to 20 kHz) does not fit: knock nobody asked for
// is left out with a note, with a time column as at a fixed rate; a band the
// user chose still fails.
TEST_F(EncoderImportTest, DefaultKnockBandThatDoesNotFitIsLeftOut) {
    const std::string note =
        "Klepání se nepočítá: horní mez výchozího pásma klepání (20000 Hz) není menší než polovina "
        "vzorkovací frekvence (10000 Hz)";
    for (const bool timeColumn : {false, true}) {
        SCOPED_TRACE(timeColumn);
        TSynthetic s;
        s.Revolutions = 4;
        s.Rate = 20000;
        s.TimeColumn = timeColumn;
        TEncoderOptions o = options(s, RecordingLines(s));
        o.PressureScale = 1;
        o.Knock = TKnockSettings{};
        o.KnockIfBandFits = true;
        const TEncoderResult result = ImportEncoderRecording(o);
        EXPECT_TRUE(result.Mapo.empty());
        EXPECT_NEAR(result.Rpm, 3000, 1);
        ShowEncoderResult(result, m_boxes, m_signal);
        ASSERT_EQ(m_boxes.Infos.size(), 2U);
        // A time column's rate is measured, the half of 20 kHz within rounding.
        const std::size_t exact = timeColumn ? note.find("(10000") : note.size();
        EXPECT_EQ(m_boxes.Infos[1].substr(0, exact), note.substr(0, exact));
        m_boxes.Infos.clear();

        o.KnockIfBandFits = false;
        EXPECT_EQ(
            testing::MessageOf<EInputError>([&] {
                ImportEncoderRecording(o);
            }).rfind("Horní mez pásma klepání [Hz] musí být menší než polovina vzorkovací frekvence", 0),
            0U);
    }
}

// 1E308 bar per unit of 20 would be no number at all: the line is named.
TEST_F(EncoderImportTest, ScaledValueBeyondAnyNumberNamesItsLine) {
    TSynthetic s;
    s.Revolutions = 4;
    std::vector<std::string> lines = RecordingLines(s);
    lines[6] = lines[6].substr(0, lines[6].find(';')) + ";1E308";
    TEncoderOptions o = options(s, lines);
    o.PressureScale = 20;
    ExpectFailure<EImportError>([&] { ImportEncoderRecording(o); },
                                "Řádek 7: hodnota 1E308 krát citlivost snímače přesahuje rozsah čísel");
}

TEST(EncoderWheel, ParsesOnlyTheToothCountFormWithinItsRange) {
    EXPECT_EQ(ParseWheel("36-1").Teeth, 36);
    EXPECT_EQ(ParseWheel("36-1").Missing, 1);
    for (const char* text : {"60", "60-", "-2", "60-2x", "6O-2"}) {
        ExpectFailure<EImportError>([&] { ParseWheel(text); },
                                    "Kolo '" + std::string(text) + "' není ve tvaru T-M (například 60-2)");
    }
    // The form is right, the numbers are not: the message says the range.
    for (const char* text : {"60-31", "1-0", "60-60", "100000-1"}) {
        ExpectFailure<EImportError>([&] { ParseWheel(text); },
                                    "Kolo '" + std::string(text) +
                                        "': počet pozic T musí být od 2 do 3600 a chybějících M od 0 do T/2");
    }
}

// The bench recording: 57 rising edges a revolution (a 60-position wheel whose
// gap spans four positions), 100 kHz, no time column.
// The command changes the session only when the whole import succeeded.
TEST_F(EncoderImportTest, CommandFillsSignalCycleAndPathOnlyOnSuccess) {
    TSynthetic s;
    s.Revolutions = 4;
    TEncoderOptions o = options(s, RecordingLines(s));
    int redraws = 0;
    RunEncoderImportCommand(o, m_boxes, target(), [&] { ++redraws; });
    EXPECT_EQ(redraws, 1);
    ASSERT_NE(m_session.PressureCycle, nullptr);
    EXPECT_EQ(m_session.PressureCycle->Cycles.size(), 2u);
    EXPECT_EQ(m_session.PressureCycle->Source, o.Path);
    EXPECT_EQ(m_lastImportFile, o.Path);

    const TSignalTable before = m_signal;
    const std::string cycleSource = m_session.PressureCycle->Source;
    o.Wheel = ParseWheel("36-1");
    o.Path = writeFile("other.csv", testing::RecordingText(RecordingLines(s)));
    EXPECT_THROW(RunEncoderImportCommand(o, m_boxes, target(), [&] { ++redraws; }), EImportError);
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(m_signal, before);
    EXPECT_EQ(m_session.PressureCycle->Source, cycleSource);
    EXPECT_EQ(m_lastImportFile, cycleSource);
}

// The dialog's texts: what is typed becomes the options, or a clear failure.
TEST(EncoderSettings, TextsBecomeOptionsOrFail) {
    TEncoderTexts texts;
    texts.Path = " /data/run.csv ";
    texts.ReferenceAngle = "107,5";
    texts.Phase = 2;
    const TEncoderOptions options = EncoderOptionsOf(texts, kDecimalComma);
    EXPECT_EQ(options.Path, "/data/run.csv");
    EXPECT_EQ(options.Wheel.Teeth, 60);
    EXPECT_EQ(options.Wheel.Missing, 2);
    EXPECT_EQ(options.ReferenceAngle, 107.5);
    EXPECT_EQ(options.SampleRate, 100000);
    EXPECT_EQ(options.Phase, 2);
    // Without a scale the value is no pressure, so no knock either.
    EXPECT_FALSE(options.PressureScale);
    EXPECT_FALSE(options.Knock);

    TEncoderTexts scaled = texts;
    scaled.PressureScale = "2,5";
    scaled.KnockBand = "5000;12000,5";
    scaled.KnockThreshold = "0,5";
    const TEncoderOptions pressure = EncoderOptionsOf(scaled, kDecimalComma);
    EXPECT_EQ(pressure.PressureScale, 2.5);
    ASSERT_TRUE(pressure.Knock);
    EXPECT_EQ(pressure.Knock->Low, 5000);
    EXPECT_EQ(pressure.Knock->High, 12000.5);
    EXPECT_EQ(pressure.Knock->Threshold, 0.5);
    scaled.KnockBand = " ";
    EXPECT_FALSE(EncoderOptionsOf(scaled, kDecimalComma).Knock);

    struct TRow {
        std::function<void(TEncoderTexts&)> Change;
        std::string Message;
    };
    const TRow rows[] = {
        {[](TEncoderTexts& t) { t.Path = " "; }, "Soubor musí být zadán"},
        {[](TEncoderTexts& t) { t.ReferenceAngle = "360"; },
         "Úhel referenční hrany [°] musí být od 0 do méně než 360"},
        {[](TEncoderTexts& t) { t.ReferenceAngle = "1.5"; }, "'1.5' is not a valid floating point value"},
        {[](TEncoderTexts& t) { t.SampleRate = "0"; }, "Vzorkovací frekvence [Hz] musí být větší než 0"},
        {[](TEncoderTexts& t) { t.Wheel = "60"; }, "Kolo '60' není ve tvaru T-M (například 60-2)"},
        {[](TEncoderTexts& t) { t.PressureScale = "0"; },
         "Citlivost snímače [bar/jednotka] musí být větší než 0"},
        {[](TEncoderTexts& t) { t.PressureScale = "-2"; },
         "Citlivost snímače [bar/jednotka] musí být větší než 0"},
        {[](TEncoderTexts& t) { t.PressureScale = "x"; }, "'x' is not a valid floating point value"},
        {[](TEncoderTexts& t) {
             t.PressureScale = "1";
             t.KnockBand = "4000";
         },
         "Pásmo klepání [Hz] musí být zadáno jako dolní a horní mez, např. 4000,20000"},
        {[](TEncoderTexts& t) {
             t.PressureScale = "1";
             t.SampleRate = "30000";
         },
         "Horní mez pásma klepání [Hz] musí být menší než polovina vzorkovací frekvence (15000)"},
    };
    for (const TRow& row : rows) {
        TEncoderTexts bad = texts;
        row.Change(bad);
        try {
            EncoderOptionsOf(bad, kDecimalComma);
            ADD_FAILURE() << "no failure for " << row.Message;
        } catch (const EMorvaneError& failure) {
            EXPECT_EQ(failure.what(), row.Message);
        }
    }
    // With a time column the sample rate is not read.
    texts.TimeColumn = "3";
    texts.SampleRate = "";
    EXPECT_EQ(EncoderOptionsOf(texts, kDecimalComma).TimeColumn, "3");
}

// Its own ctest entry (encoderimport_test_real_data), listed as skipped when
// the recording is absent.
class EncoderRealDataTest : public EncoderImportTest {};

TEST_F(EncoderRealDataTest, BenchRecordingGivesElevenCyclesNear2900Rpm) {
    const std::string path = testing::SharedDataFile("bench-engine-angle.csv");
    if (const std::string missing = testing::MissingSharedData(path); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    TEncoderOptions o;
    o.Path = path;
    o.Wheel = ParseWheel("60-3");
    o.SampleRate = 100000;
    const TEncoderResult result = ImportEncoderRecording(o);
    EXPECT_EQ(result.Cycles.size(), 11u);
    EXPECT_EQ(result.Revolutions, 23);
    EXPECT_NEAR(result.Rpm, 2937, 1);
    o.Wheel = ParseWheel("60-2");
    ExpectFailure<EImportError>([&] { ImportEncoderRecording(o); },
                                "Otáčka 1: nalezeno hran 57, kolo jich má 58");
}

}  // namespace
}  // namespace morvane
