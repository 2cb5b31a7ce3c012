#include "signal/EncoderImport.h"

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
#include "tests/support/SharedData.h"
#include "util/errors.h"

namespace morvane {
namespace {

using testing::ExpectFailure;
using testing::RowName;

// A synthetic engine-bench recording: a toothed wheel turning at a known speed
// past its sensor, sampled beside a known pressure shape over the cycle.
struct TSynthetic {
    int Teeth = 60;
    int Missing = 2;
    double RpmStart = 3000;
    double RpmEnd = 3000;
    double Rate = 100000;
    int Revolutions = 20;       // complete ones, between the first and the last reference edge
    double ReferenceAngle = 0;  // cycle angle of the reference edge
    double FiringShift = 0;     // 360: the second complete revolution opens the firing cycle
    std::string Separator = ";";
    char Decimal = ',';
    bool TimeColumn = false;
    bool IndexColumn = false;
    double Noise = 0;  // encoder noise, a share of its swing
    int DroppedToothRevolution = 0;
    bool HeaderInTheMiddle = false;
};

constexpr double kStartAngle = -100;  // the recording starts within a revolution

double Pressure(double cycleAngle) {
    const double x = (cycleAngle - 372) / 15;
    return 1 + 40 * std::exp(-x * x);
}

// Moment at which the crank, accelerating evenly, reaches angle (degrees from the first reference edge).
double MomentOf(const TSynthetic& s, double angle, double duration) {
    const double a = 6 * (s.RpmEnd - s.RpmStart) / (2 * duration);
    const double b = 6 * s.RpmStart;
    const double c = kStartAngle - angle;
    return a == 0 ? -c / b : (-b + std::sqrt(b * b - 4 * a * c)) / (2 * a);
}

double ExpectedRpm(const TSynthetic& s) {
    const double duration = (360.0 * s.Revolutions - 2 * kStartAngle) / (3 * (s.RpmStart + s.RpmEnd));
    return 60.0 * s.Revolutions / (MomentOf(s, 360.0 * s.Revolutions, duration) - MomentOf(s, 0, duration));
}

// The encoder's level at a crank angle: ramps of 1° (less on fine wheels)
// centred on each tooth's rising and falling flank.
double EncoderLevel(const TSynthetic& s, double angle) {
    const double pitch = 360.0 / s.Teeth;
    const double ramp = std::min(1.0, pitch / 6);
    const int revolution = static_cast<int>(std::floor(angle / 360)) + 1;
    const double position = angle - 360.0 * (revolution - 1);
    const auto present = [&](int tooth) {
        tooth %= s.Teeth;
        return tooth < s.Teeth - s.Missing && !(revolution == s.DroppedToothRevolution && tooth == 10);
    };
    const int tooth = static_cast<int>(position / pitch);
    const double f = position / pitch - tooth;
    if (f < 0.25) {
        return present(tooth) ? std::clamp(0.5 + f * pitch / ramp, 0.0, 1.0) : 0;
    }
    if (f < 0.75) {
        return present(tooth) ? std::clamp(0.5 - (f - 0.5) * pitch / ramp, 0.0, 1.0) : 0;
    }
    return present(tooth + 1) ? std::clamp(0.5 + (f - 1) * pitch / ramp, 0.0, 1.0) : 0;
}

std::string Number(double value, char decimal) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    std::string number = text;
    std::replace(number.begin(), number.end(), '.', decimal);
    return number;
}

std::vector<std::string> RecordingLines(const TSynthetic& s) {
    const double duration = (360.0 * s.Revolutions - 2 * kStartAngle) / (3 * (s.RpmStart + s.RpmEnd));
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-s.Noise, s.Noise);
    std::vector<std::string> lines;
    std::string header = "encoder" + s.Separator + "pressure";
    header += s.TimeColumn ? s.Separator + "time" : "";
    header += s.IndexColumn ? s.Separator + "index" : "";
    lines.push_back(header);
    const auto samples = static_cast<long>(duration * s.Rate);
    for (long i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / s.Rate;
        const double angle =
            kStartAngle + 6 * (s.RpmStart * t + (s.RpmEnd - s.RpmStart) * t * t / (2 * duration));
        const double cycleAngle = std::fmod(s.ReferenceAngle + s.FiringShift + angle + 1440, 720);
        std::string line = Number(EncoderLevel(s, angle) + noise(random), s.Decimal) + s.Separator +
                           Number(Pressure(cycleAngle), s.Decimal);
        line += s.TimeColumn ? s.Separator + Number(t, s.Decimal) : "";
        const double position = std::fmod(angle + 720, 360);
        line += s.IndexColumn ? s.Separator + (position >= 359.3 && position < 359.8 ? "1" : "0") : "";
        lines.push_back(line);
        if (s.HeaderInTheMiddle && i == samples / 2) {
            lines.push_back(header);
        }
    }
    return lines;
}

class EncoderImportTest : public testing::SignalImportTest {
protected:
    TEncoderOptions options(const TSynthetic& s, const std::vector<std::string>& lines) {
        std::string content;
        for (const std::string& line : lines) {
            content += line + "\r\n";
        }
        TEncoderOptions o;
        o.Path = writeFile("recording.csv", content);
        o.Wheel = TWheel{s.Teeth, s.Missing};
        o.ReferenceAngle = s.ReferenceAngle;
        o.TimeColumn = s.TimeColumn ? "3" : "";
        o.SampleRate = s.TimeColumn ? 0 : s.Rate;
        o.IndexColumn = s.IndexColumn ? (s.TimeColumn ? "4" : "3") : "";
        return o;
    }
};

struct TCycleRow {
    std::string name;
    std::function<void(TSynthetic&, TEncoderOptions&)> change;
    int phase;
    int cycles;
    double peak;  // degrees
};

class EncoderCycleTest : public EncoderImportTest, public ::testing::WithParamInterface<TCycleRow> {};

// The averaged cycle has the recorded shape where the reference angle puts it,
// with the exact cycle count and speed.
TEST_P(EncoderCycleTest, AveragesTheShapeOntoTheCycle) {
    const TCycleRow& row = GetParam();
    TSynthetic s;
    TEncoderOptions o;
    row.change(s, o);
    const TEncoderOptions given = o;
    o = options(s, RecordingLines(s));
    o.Phase = given.Phase;
    if (given.ValueColumn != "2") {
        o.EncoderColumn = given.EncoderColumn;
        o.ValueColumn = given.ValueColumn;
    }
    const TEncoderResult result = ImportEncoderRecording(o);
    EXPECT_EQ(result.Phase, row.phase);
    ASSERT_EQ(static_cast<int>(result.Cycles.size()), row.cycles);
    EXPECT_NEAR(result.Rpm, ExpectedRpm(s), 0.5);

    const auto top = std::max_element(result.Mean.begin(), result.Mean.end()) - result.Mean.begin();
    EXPECT_NEAR(static_cast<double>(top) / 2, row.peak, 0.5);
    const double shift = row.phase == 1 ? s.FiringShift : s.FiringShift - 360;
    for (std::size_t k = 0; k < result.Mean.size(); ++k) {
        const double expected = Pressure(std::fmod(k / 2.0 + shift + 720, 720));
        ASSERT_NEAR(result.Mean[k], expected, 0.01 * 41) << "at " << k / 2.0 << "°";
    }
    EXPECT_DOUBLE_EQ(*std::max_element(result.Signal.begin(), result.Signal.end()), 1.0);

    ShowEncoderResult(result, m_boxes, Signal);
    EXPECT_EQ(m_boxes.infos, std::vector<std::string>{"Cykly / Otáčky [RPM]: " + std::to_string(row.cycles) +
                                                      " / " + std::to_string(std::lround(ExpectedRpm(s)))});
    EXPECT_EQ(Signal, result.Signal);
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
    RowName());

struct TFaultRow {
    std::string name;
    std::function<void(TSynthetic&)> recording;
    std::function<void(std::vector<std::string>&, TEncoderOptions&)> afterwards;
    std::string message;
};

class EncoderFaultTest : public EncoderImportTest, public ::testing::WithParamInterface<TFaultRow> {};

// Each fault names what is wrong, shows nothing and leaves the signal as it was.
TEST_P(EncoderFaultTest, FailsWithoutChangingTheSignal) {
    TSynthetic s;
    s.Revolutions = 4;
    GetParam().recording(s);
    std::vector<std::string> lines = RecordingLines(s);
    TEncoderOptions o;
    GetParam().afterwards(lines, o);
    const TWheel wheel = o.Wheel;
    o = options(s, lines);
    o.Wheel = wheel;
    const TSignalTable previous = testing::PreviousSignal();
    Signal = previous;
    ExpectFailure<EImportError>([&] { ImportEncoderSignal(o, m_boxes, Signal); }, GetParam().message);
    EXPECT_TRUE(m_boxes.infos.empty());
    EXPECT_EQ(Signal, previous);
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
    RowName());

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
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::thread writer([&] {
        for (std::size_t done = 0; done < content.size();) {
            const ssize_t wrote = ::write(fds[1], content.data() + done, content.size() - done);
            ASSERT_GT(wrote, 0);
            done += static_cast<std::size_t>(wrote);
        }
        ::close(fds[1]);
    });
    o.Path = "/dev/fd/" + std::to_string(fds[0]);
    const TEncoderResult fromPipe = ImportEncoderRecording(o);
    writer.join();
    ::close(fds[0]);
    EXPECT_EQ(fromPipe.Mean, fromFile.Mean);
    EXPECT_EQ(fromPipe.Cycles, fromFile.Cycles);
    EXPECT_EQ(fromPipe.Rpm, fromFile.Rpm);
}

TEST(EncoderWheel, ParsesOnlyTheToothCountForm) {
    EXPECT_EQ(ParseWheel("36-1").Teeth, 36);
    EXPECT_EQ(ParseWheel("36-1").Missing, 1);
    for (const char* text : {"60", "60-", "-2", "60-31", "1-0", "60-2x", "6O-2"}) {
        ExpectFailure<EImportError>([&] { ParseWheel(text); },
                                    "Kolo '" + std::string(text) + "' není ve tvaru T-M (například 60-2)");
    }
}

// The bench recording: 57 rising edges a revolution (a 60-position wheel whose
// gap spans four positions), 100 kHz, no time column.
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
