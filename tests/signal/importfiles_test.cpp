// What both imports share: a file that cannot be opened keeps the previous
// signal, and a real engine recording comes out normalised.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "signal/Signal.h"
#include "signal/import/AngleImport.h"
#include "signal/import/TimeImport.h"
#include "signal_test_support.h"
#include "util/errors.h"

namespace morvane {
namespace {

using TImporter = void (*)(const std::string&, IMessageBoxes&, TSignalTable&, TNumberFormat);

struct TOpenCase {
    const char* Name;
    TImporter Import;
    bool Directory;
};

class OpenFailureTest : public testing::SignalImportTest, public ::testing::WithParamInterface<TOpenCase> {};

TEST_P(OpenFailureTest, KeepsPreviousSignal) {
    m_signal = testing::PreviousSignal();
    const std::string path = GetParam().Directory ? m_dir.string() : (m_dir / "missing.csv").string();
    try {
        GetParam().Import(path, m_boxes, m_signal, kDecimalComma);
        ADD_FAILURE() << "no failure";
    } catch (const EFOpenError& failure) {
        EXPECT_EQ(std::string(failure.what()).rfind(openMessagePrefix(path), 0), 0u) << failure.what();
    }
    EXPECT_EQ(m_signal, testing::PreviousSignal());
    EXPECT_TRUE(m_boxes.Infos.empty());
}

INSTANTIATE_TEST_SUITE_P(Paths, OpenFailureTest,
                         ::testing::Values(TOpenCase{"AngleMissingFile", ImportAngleSignal, false},
                                           TOpenCase{"AngleDirectory", ImportAngleSignal, true},
                                           TOpenCase{"TimeMissingFile", ImportTimeSignal, false},
                                           TOpenCase{"TimeDirectory", ImportTimeSignal, true}),
                         testing::TRowName());

// Files with no non-zero value: the summary is shown, then the normalisation
// fails, and no NaN is left behind: the signal is all zero.
struct TZeroCase {
    const char* Name;
    TImporter Import;
    std::string Content;
    std::string Summary;
};

class ZeroMagnitudeTest : public testing::SignalImportTest,
                          public ::testing::WithParamInterface<TZeroCase> {};

TEST_P(ZeroMagnitudeTest, ShowsSummaryThenFailsWithAllZeroSignal) {
    m_signal = testing::PreviousSignal();
    const std::string path = writeFile("zero.csv", GetParam().Content);
    testing::ExpectFailure<EInvalidOp>([&] { GetParam().Import(path, m_boxes, m_signal, kDecimalComma); },
                                       "Invalid floating point operation");
    EXPECT_EQ(m_boxes.Infos, std::vector<std::string>{"Řádky / Vrcholy: " + GetParam().Summary});
    EXPECT_TRUE(testing::AllZero(m_signal));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ZeroMagnitudeTest,
    ::testing::Values(TZeroCase{"AngleEmptyFile", ImportAngleSignal, "", "0 / 0"},
                      TZeroCase{"AngleHeaderOnly", ImportAngleSignal, "Trigger;Wert\n", "1 / 0"},
                      TZeroCase{"AngleOneDataLine", ImportAngleSignal, "h\n5;5\n", "2 / 0"},
                      TZeroCase{"AngleRisingOnly", ImportAngleSignal, "h\n1;1\n2;2\n3;3\n", "4 / 0"},
                      TZeroCase{"AngleFlatTopsOnly", ImportAngleSignal, "h\n1;1\n1;1\n0;1\n", "4 / 0"},
                      TZeroCase{"AngleZeroBins", ImportAngleSignal, "h\n1;0\n0;0\n1;-0\n0;0\n", "5 / 2"},
                      TZeroCase{"TimeSingleZero", ImportTimeSignal, "0\n", "1 / 1440"},
                      TZeroCase{"TimeZeros", ImportTimeSignal, "0\n-0\n0,0\n", "3 / 1440"}),
    testing::TRowName());

struct TRecordingCase {
    const char* Name;
    TImporter Import;
    const char* File;
    const char* Summary;  // the angle file's peak count comes from an independent scan
};

class RealRecordingTest : public testing::SignalImportTest,
                          public ::testing::WithParamInterface<TRecordingCase> {};

TEST_P(RealRecordingTest, IsNormalisedToItsLargestMagnitude) {
    const std::string path = testing::SharedDataFile(GetParam().File);
    if (const std::string missing = testing::MissingSharedData(path); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    GetParam().Import(path, m_boxes, m_signal, kDecimalComma);

    EXPECT_EQ(m_boxes.Infos, std::vector<std::string>{GetParam().Summary});
    EXPECT_TRUE(testing::AllFinite(m_signal));
    double largest = 0;
    for (double v : m_signal) {
        ASSERT_LE(std::fabs(v), 1.0);
        largest = std::max(largest, std::fabs(v));
    }
    EXPECT_EQ(largest, 1.0);
}

INSTANTIATE_TEST_SUITE_P(EngineBench, RealRecordingTest,
                         ::testing::Values(TRecordingCase{"Angle", ImportAngleSignal,
                                                          "bench-engine-angle.csv",
                                                          "Řádky / Vrcholy: 50001 / 1417"},
                                           TRecordingCase{"Time", ImportTimeSignal, "bench-engine-time.csv",
                                                          "Řádky / Vrcholy: 50000 / 1440"}),
                         testing::TRowName());

struct TStreamCase {
    const char* Name;
    TImporter Import;
    std::string Content;
};

// Generated files: a trigger with a peak every 7 lines, and 10,007 time samples,
// so that most samples fall between the resampling's positions.
std::string AngleContent() {
    std::string content = "trigger;value\r\n";
    for (int i = 0; i < 12000; ++i) {
        content += std::to_string(i % 7) + ";" + std::to_string(i % 13) + ",25\r\n";
    }
    return content;
}

std::string TimeContent() {
    std::string content;
    for (int i = 0; i < 10007; ++i) {
        content += std::to_string((i * 37) % 101) + "," + std::to_string(i % 10) + "E-1\n";
    }
    return content;
}

// More time samples than the first pass holds (2^21), so the file is read
// again for the points; CR LF and LF alternate, so breaks of both kinds meet
// the reader's buffer ends.
std::string LongTimeContent() {
    std::string content;
    for (int i = 0; i < 2'200'003; ++i) {
        content += std::to_string(i % 9973) + (i % 2 == 0 ? ",5\r\n" : "\n");
    }
    return content;
}

class StreamTest : public testing::SignalImportTest, public ::testing::WithParamInterface<TStreamCase> {
protected:
    // Imports the content from the read end of a pipe, as from /dev/stdin.
    void importFromPipe(const std::string& content) {
        testing::ReadFromPipe(content, [&](const std::string& path) {
            GetParam().Import(path, m_boxes, m_signal, kDecimalComma);
        });
    }
};

// A pipe, read once, gives what the file, read twice, gives.
TEST_P(StreamTest, PipeGivesWhatTheFileGives) {
    GetParam().Import(writeFile("s.csv", GetParam().Content), m_boxes, m_signal, kDecimalComma);
    const TSignalTable fromFile = m_signal;
    m_signal.fill(0.0);
    importFromPipe(GetParam().Content);
    EXPECT_EQ(m_signal, fromFile);
    ASSERT_EQ(m_boxes.Infos.size(), 2u);
    EXPECT_EQ(m_boxes.Infos[0], m_boxes.Infos[1]);
}

// A 10 MB line is quoted by its first 200 characters, not whole.
TEST_P(StreamTest, OverlongLineIsQuotedShort) {
    const std::string path = writeFile("long.csv", "h\n" + std::string(10'000'000, '7') + "x\n");
    const std::string message = "'" + std::string(200, '7') + "…' is not a valid floating point value";
    testing::ExpectFailure<EConvertError>(
        [&] { GetParam().Import(path, m_boxes, m_signal, kDecimalComma); },
        GetParam().Import == ImportTimeSignal ? "'h' is not a valid floating point value" : message);
    const std::string noHeader = writeFile("long.csv", std::string(10'000'000, '7') + "x\n");
    if (GetParam().Import == ImportTimeSignal) {
        testing::ExpectFailure<EConvertError>(
            [&] { GetParam().Import(noHeader, m_boxes, m_signal, kDecimalComma); }, message);
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, StreamTest,
                         ::testing::Values(TStreamCase{"Angle", ImportAngleSignal, AngleContent()},
                                           TStreamCase{"Time", ImportTimeSignal, TimeContent()},
                                           TStreamCase{"LongTime", ImportTimeSignal, LongTimeContent()}),
                         testing::TRowName());

}  // namespace
}  // namespace morvane
