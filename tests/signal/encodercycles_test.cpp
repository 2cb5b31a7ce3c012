#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "signal/import/EncoderImport.h"
#include "signal/pressure/KnockFilter.h"
#include "signal_test_support.h"
#include "tests/support/MessageOf.h"
#include "tests/support/SyntheticRecording.h"
#include "util/errors.h"

namespace morvane {
namespace {

using testing::Pressure;
using testing::RecordingLines;
using testing::TSynthetic;

class EncoderStreamTest : public testing::SignalImportTest {
protected:
    TEncoderOptions options(const TSynthetic& s) {
        TEncoderOptions o;
        o.Path = writeFile("recording.csv", testing::RecordingText(RecordingLines(s)));
        o.Wheel = TWheel{s.Teeth, s.Missing};
        o.ReferenceAngle = s.ReferenceAngle;
        o.TimeColumn = s.TimeColumn ? "3" : "";
        o.SampleRate = s.Rate;
        return o;
    }
};

// Each cycle carries its own offset, so a cycle mixing two of them shows.
struct TTrueCycleRow {
    double ReferenceAngle;
    double FiringShift;
    std::size_t Cycles;
    int FirstCycle;  // the recorded cycle that is the first complete one
};

TEST_F(EncoderStreamTest, EveryCycleIsMadeOfItsOwnSamples) {
    const TTrueCycleRow rows[] = {{0, 0, 3, 0}, {90, 0, 3, 0}, {300, 0, 2, 1}, {0, 360, 2, 1}};
    for (const TTrueCycleRow& row : rows) {
        SCOPED_TRACE("reference " + std::to_string(row.ReferenceAngle));
        TSynthetic s;
        s.Revolutions = 6;
        s.ReferenceAngle = row.ReferenceAngle;
        s.FiringShift = row.FiringShift;
        s.Added = [](int cycle, double, double) { return 10.0 * cycle; };
        const TEncoderResult result = ImportEncoderRecording(options(s));
        ASSERT_EQ(result.Cycles.size(), row.Cycles);
        for (std::size_t c = 0; c < result.Cycles.size(); ++c) {
            const double offset = 10.0 * (row.FirstCycle + static_cast<int>(c));
            // The two ends lie on the step between two cycles' offsets.
            for (std::size_t k = 1; k + 1 < SignalPoints; ++k) {
                ASSERT_NEAR(result.Cycles[c][k], Pressure(k / 2.0) + offset, 0.01)
                    << "cycle " << c << " at " << k / 2.0;
            }
        }
        EXPECT_NEAR(result.Mean[700], (result.Cycles.front()[700] + result.Cycles.back()[700]) / 2, 1e-9);
    }
}

// |H| of the band-pass at f from its analogue prototype, to which the
// pre-warped bilinear transform maps tan(pi f / fs) exactly.
double BandGain(double f, double low, double high, double rate) {
    const auto warped = [rate](double x) { return std::tan(std::numbers::pi * x / rate); };
    const double h = std::pow(warped(f) / warped(low), 2);
    const double l = std::pow(warped(f) / warped(high), 2);
    return h / std::sqrt(1 + h * h) / std::sqrt(1 + l * l);
}

struct TKnockCycle {
    double Frequency;  // 0: a clean cycle
    double Amplitude;  // bar
};

// A knock oscillation that swells and dies within the window: sin² over 365 .. 405°.
double Oscillation(const TKnockCycle& knock, double cycleAngle, double t) {
    if (knock.Frequency == 0 || cycleAngle < 365 || cycleAngle > 405) {
        return 0;
    }
    const double swell = std::sin(std::numbers::pi * (cycleAngle - 365) / 40);
    return knock.Amplitude * swell * swell * std::sin(2 * std::numbers::pi * knock.Frequency * t);
}

TEST_F(EncoderStreamTest, KnockOfEachCycleIsTheBandPassedPeakInTheWindow) {
    const std::vector<TKnockCycle> cycles = {{0, 0}, {8000, 2.0}, {3000, 1.0}, {15000, 1.5}, {0, 0}};
    for (const bool timeColumn : {false, true}) {
        TSynthetic s;
        s.Revolutions = 10;
        s.Scale = 2.5;
        s.TimeColumn = timeColumn;
        s.Decimal = '.';
        // A gentle motored trace: the 2nd-order high-pass lets through less than 0,01 bar of it.
        s.Added = [&](int cycle, double angle, double t) {
            const double x = (angle - 360) / 60;
            const double motored = 1 + 20 * std::exp(-x * x) - Pressure(angle);
            return motored + (cycle >= 0 && cycle < 5
                                  ? Oscillation(cycles[static_cast<std::size_t>(cycle)], angle, t)
                                  : 0);
        };
        TEncoderOptions o = options(s);
        o.PressureScale = 2.5;
        o.Knock = TKnockSettings{};
        o.KeepCycles = false;
        std::vector<TEncoderCycle> sunk;
        o.CycleSink = [&](const TEncoderCycle& cycle) { sunk.push_back(cycle); };
        const TEncoderResult result = ImportEncoderRecording(o);

        EXPECT_TRUE(result.InBar);
        EXPECT_TRUE(result.Cycles.empty());
        EXPECT_NEAR(result.KnockSampleRate, 100000, timeColumn ? 1 : 0);
        EXPECT_NEAR(result.Mean[720], 21, 1e-4);  // in bar
        ASSERT_EQ(result.Mapo.size(), cycles.size());
        ASSERT_EQ(sunk.size(), cycles.size());
        for (std::size_t c = 0; c < cycles.size(); ++c) {
            const double expected =
                cycles[c].Amplitude *
                (cycles[c].Frequency > 0 ? BandGain(cycles[c].Frequency, 4000, 20000, 100000) : 0);
            EXPECT_NEAR(result.Mapo[c], expected, 0.03 * cycles[c].Amplitude + 0.01) << "cycle " << c;
            EXPECT_EQ(result.Knocks[c], expected > 1.0) << "cycle " << c;
            EXPECT_EQ(sunk[c].Number, static_cast<std::int64_t>(c + 1));
            EXPECT_EQ(sunk[c].Mapo, result.Mapo[c]);
            EXPECT_NEAR(sunk[c].Points[720], 21, 0.1);
        }
    }
}

TEST(KnockSettings, MistakesNameTheFieldAndItsRange) {
    struct TRow {
        std::function<void(TKnockSettings&)> Change;
        std::string Message;
    };
    const TRow rows[] = {
        {[](TKnockSettings& k) { k.Low = 0; }, "Dolní mez pásma klepání [Hz] musí být větší než 0"},
        {[](TKnockSettings& k) { k.Low = std::nan(""); },
         "Dolní mez pásma klepání [Hz] musí být větší než 0"},
        {[](TKnockSettings& k) { k.High = 4000; },
         "Horní mez pásma klepání [Hz] musí být větší než dolní mez (4000)"},
        {[](TKnockSettings& k) { k.High = 50000; },
         "Horní mez pásma klepání [Hz] musí být menší než polovina vzorkovací frekvence (50000)"},
        {[](TKnockSettings& k) { k.From = 430; },
         "Okno klepání [°] musí být od 0 do 720, začátek nejvýše na konci"},
        {[](TKnockSettings& k) { k.To = 721; },
         "Okno klepání [°] musí být od 0 do 720, začátek nejvýše na konci"},
        {[](TKnockSettings& k) { k.Threshold = -1; }, "Práh klepání [bar] musí být od 0 výše"},
    };
    for (const TRow& row : rows) {
        TKnockSettings knock;
        row.Change(knock);
        EXPECT_EQ(testing::MessageOf<EInputError>([&] { CheckKnockSettings(knock, 100000, kDecimalComma); }),
                  row.Message);
    }
    TEncoderOptions o;
    o.SampleRate = 100000;
    o.Knock = TKnockSettings{};
    EXPECT_EQ(testing::MessageOf<EInputError>([&] { ImportEncoderRecording(o); }),
              "Citlivost snímače [bar/jednotka] musí být zadána, má-li se počítat klepání");
}

// Recordings that once gave a wrong speed or dropped lines without a word.
struct THostileRow {
    std::string Name;
    std::function<void(std::vector<std::string>&, TEncoderOptions&)> Change;
    std::string Problem;  // the message after "Řádek <n>"
};

class EncoderHostileTest : public EncoderStreamTest, public ::testing::WithParamInterface<THostileRow> {};

std::string WithTimeShifted(const std::string& line, double seconds) {
    const std::size_t last = line.rfind(';');
    std::string time = line.substr(last + 1);
    std::replace(time.begin(), time.end(), ',', '.');
    return line.substr(0, last + 1) + testing::Number(std::stod(time) + seconds, ',');
}

TEST_P(EncoderHostileTest, FailsNamingTheLine) {
    TSynthetic s;
    s.Revolutions = 8;
    s.TimeColumn = true;
    std::vector<std::string> lines = RecordingLines(s);
    TEncoderOptions o = options(s);
    GetParam().Change(lines, o);
    o.Path = writeFile("hostile.csv", testing::RecordingText(lines));
    const std::string message = testing::MessageOf<EImportError>([&] { ImportEncoderRecording(o); });
    EXPECT_EQ(message.rfind("Řádek ", 0), 0u) << message;
    EXPECT_NE(message.find(GetParam().Problem), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, EncoderHostileTest,
    ::testing::Values(THostileRow{"HugeSampleRate",
                                  [](std::vector<std::string>&, TEncoderOptions& o) {
                                      o.TimeColumn.clear();
                                      o.SampleRate = 1e300;
                                  },
                                  "s; otáčky musí být od 1 do 1000000 RPM"},
                      THostileRow{"SampleRateNamesItsField",
                                  [](std::vector<std::string>&, TEncoderOptions& o) {
                                      o.TimeColumn.clear();
                                      o.SampleRate = 1e300;
                                  },
                                  "RPM; zkontrolujte Vzorkovací frekvence [Hz]"},
                      THostileRow{"TinySampleRate",
                                  [](std::vector<std::string>&, TEncoderOptions& o) {
                                      o.TimeColumn.clear();
                                      o.SampleRate = 10;
                                  },
                                  "s; otáčky musí být od 1 do 1000000 RPM"},
                      THostileRow{"TimeJumps",
                                  [](std::vector<std::string>& lines, TEncoderOptions&) {
                                      for (std::size_t k = 9000; k < lines.size(); ++k) {
                                          lines[k] = WithTimeShifted(lines[k], 1000);
                                      }
                                  },
                                  "s; otáčky musí být od 1 do 1000000 RPM"},
                      THostileRow{"TimeStands",
                                  [](std::vector<std::string>& lines, TEncoderOptions&) {
                                      lines[99] = WithTimeShifted(lines[98], 0);
                                  },
                                  "': čas ve sloupci času musí stále růst"},
                      THostileRow{"EncoderLeavesItsRange",
                                  [](std::vector<std::string>& lines, TEncoderOptions&) {
                                      lines[8999] = "5,0;1,0;0,09";
                                  },
                                  "9000: kanál snímače otáček opouští rozsah prvních otáček (od 0 do 1)"}),
    testing::TRowName());

}  // namespace
}  // namespace morvane
