#include "signal/import/AngleImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "signal/Signal.h"
#include "signal_test_support.h"
#include "util/errors.h"

namespace morvane {
namespace {

using testing::AllFinite;
using testing::AllZero;
using testing::ExpectFailure;
using testing::PreviousSignal;

class AngleImportTest : public testing::SignalImportTest {};

TEST_F(AngleImportTest, WorkedExampleBinsAtPeaksAndNormalises) {
    const std::string path = writeFile("a.csv", "Kanal A;Kanal B\n1;1\n0;2\n1;3\n0;4\n1;5\n");
    ImportAngleSignal(path, m_boxes, m_signal, kDecimalComma);

    EXPECT_EQ(m_boxes.Infos, std::vector<std::string>{"Řádky / Vrcholy: 6 / 2"});
    EXPECT_DOUBLE_EQ(m_signal[0], 0.2);
    EXPECT_EQ(m_signal[1], 1.0);
    for (std::size_t k = 2; k < m_signal.size(); ++k) {
        ASSERT_EQ(m_signal[k], 0.0) << "entry " << k;
    }
}

// Files that import: the summary, the raw bins as the summary box sees them,
// and the normalised signal afterwards.
struct TBinCase {
    const char* Name;
    std::string Content;
    std::string Summary;
    std::vector<double> Bins;
};

class AngleBinTest : public testing::SignalImportTest, public ::testing::WithParamInterface<TBinCase> {};

TEST_P(AngleBinTest, ImportsBins) {
    const TBinCase& row = GetParam();
    ImportAngleSignal(writeFile("a.csv", row.Content), m_boxes, m_signal, kDecimalComma);

    ASSERT_EQ(m_boxes.Infos, std::vector<std::string>{"Řádky / Vrcholy: " + row.Summary});
    const TSignalTable& raw = m_boxes.SignalAtInfo.front();
    double largest = 0;
    for (std::size_t k = 0; k < raw.size(); ++k) {
        const double expected = k < row.Bins.size() ? row.Bins[k] : 0.0;
        ASSERT_EQ(raw[k], expected) << "bin " << k;
        largest = std::max(largest, std::fabs(expected));
    }
    for (std::size_t k = 0; k < m_signal.size(); ++k) {
        ASSERT_EQ(m_signal[k], raw[k] / largest) << "entry " << k;
    }
    EXPECT_TRUE(m_boxes.Errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, AngleBinTest,
    ::testing::Values(
        TBinCase{"FirstLineAboveHeaderZeroIsPeak", "h\n2;7\n1;1\n", "3 / 1", {7}},
        TBinCase{"FirstLineAtZeroIsNoPeak", "h\n0;7\n-1;1\n1;2\n0;0\n", "5 / 1", {10}},
        TBinCase{"FlatTopIsNoPeak", "h\n0;1\n1;1\n1;1\n0;1\n2;3\n0;0\n", "7 / 1", {7}},
        TBinCase{"BlanksAroundParts", "h\n \t1 ; 2,5\t\n0;0,5\n1 ;\t1\n0;0\n", "5 / 2", {2.5, 1.5}},
        TBinCase{"NegativeBinSetsScale", "h\n1;-8\n0;1\n1;1\n0;0\n", "5 / 2", {-8, 2}},
        TBinCase{"ExponentForm", "h\n3,423876E+0;1,5E+0\n2,9E+0;0\n", "3 / 1", {1.5}},
        TBinCase{"CarriageReturnsOnly", "h\r1;1\r0;2\r1;3\r0;4\r1;5", "6 / 2", {1, 5}},
        TBinCase{"MixedLineEnds", "h\r\n1;1\n0;2\r1;3\r\n0;4\n1;5\r\n", "6 / 2", {1, 5}},
        TBinCase{"NulByteEndsText", std::string("h\n1;1\n0;2\n1;3\n0;4\0x;y\n", 22), "5 / 2", {1, 5}},
        TBinCase{"ByteOrderMarkInHeader", "\xEF\xBB\xBFTrigger;Wert\n1;1\n0;0\n", "3 / 1", {1}},
        TBinCase{"AnyHeaderText", "1.5;;;x\n1;1\n0;0\n", "3 / 1", {1}}),
    testing::TRowName());

// Lines that do not parse: the first bad line is named, and the signal, cleared
// before parsing, stays all zero without a summary.
struct TBadCase {
    const char* Name;
    std::string Content;
    std::string Message;
};

class AngleBadLineTest : public testing::SignalImportTest, public ::testing::WithParamInterface<TBadCase> {};

TEST_P(AngleBadLineTest, FailsNamingTheTextWithAllZeroSignal) {
    m_signal = PreviousSignal();
    const std::string path = writeFile("a.csv", GetParam().Content);
    ExpectFailure<EConvertError>([&] { ImportAngleSignal(path, m_boxes, m_signal, kDecimalComma); },
                                 GetParam().Message);
    EXPECT_TRUE(m_boxes.Infos.empty());
    EXPECT_TRUE(AllZero(m_signal));
}

INSTANTIATE_TEST_SUITE_P(
    Files, AngleBadLineTest,
    ::testing::Values(
        TBadCase{"DecimalPoint", "h\n1.5;1\n", "'1.5' is not a valid floating point value"},
        TBadCase{"DecimalPointInValue", "h\n1;0.5\n", "'0.5' is not a valid floating point value"},
        TBadCase{"EmptyLine", "h\n1;1\n\n0;0\n", "'' is not a valid floating point value"},
        TBadCase{"NumberWithoutSeparator", "h\n1;1\n5\n", "'' is not a valid floating point value"},
        TBadCase{"TextWithoutSeparatorUntrimmed", "h\n  abc\t\n",
                 "'  abc\t' is not a valid floating point value"},
        TBadCase{"HeaderTextOnSecondLine", "h\nKanal A;Kanal B\n",
                 "'Kanal A' is not a valid floating point value"},
        TBadCase{"SecondSeparatorStaysInValue", "h\n1;2;3\n", "'2;3' is not a valid floating point value"},
        TBadCase{"FirstBadLineIsNamed", "h\n1;1\n0;a\n1;b\n", "'a' is not a valid floating point value"},
        TBadCase{"BadLastLineAfterPeaks", "h\n1;1\n0;1\n1;1\n0;1\n1;x",
                 "'x' is not a valid floating point value"}),
    testing::TRowName());

// Files without a bin still count their lines, every byte of the file passed
// on as the time import passes it: a byte-order mark alone is the header line.
TEST_F(AngleImportTest, FilesWithoutABinCountTheirLines) {
    const std::pair<std::string, std::string> rows[] = {
        {"", "0 / 0"}, {"h", "1 / 0"}, {"\xEF\xBB\xBF", "1 / 0"}, {"\xEF\xBB\xBF\n", "1 / 0"}};
    for (const auto& [content, counts] : rows) {
        SCOPED_TRACE(content);
        m_boxes.Infos.clear();
        const std::string path = writeFile("a.csv", content);
        EXPECT_THROW(ImportAngleSignal(path, m_boxes, m_signal, kDecimalComma), EInvalidOp);
        ASSERT_EQ(m_boxes.Infos.size(), 1U);
        EXPECT_EQ(m_boxes.Infos.front(), "Řádky / Vrcholy: " + counts);
    }
}

TEST_F(AngleImportTest, SumBeyondDoubleRangeIsOverflowWithAllZeroSignal) {
    m_signal = PreviousSignal();
    const std::string path = writeFile("a.csv", "h\n1;1\n0;1E308\n0;1E308\n1;0\n0;0\n");
    ExpectFailure<EOverflow>([&] { ImportAngleSignal(path, m_boxes, m_signal, kDecimalComma); },
                             "Floating point overflow");
    EXPECT_TRUE(m_boxes.Infos.empty());
    EXPECT_TRUE(AllZero(m_signal));
}

TEST_F(AngleImportTest, ValueBeyondDoubleRangeIsOverflow) {
    const std::string path = writeFile("a.csv", "h\n1;1E309\n0;0\n");
    ExpectFailure<EOverflow>([&] { ImportAngleSignal(path, m_boxes, m_signal, kDecimalComma); },
                             "Floating point overflow");
    EXPECT_TRUE(AllZero(m_signal));
}

TEST_F(AngleImportTest, StopsAfter1440PeaksIgnoringLaterLines) {
    // Peak p closes bin p = p + 1; after the 1440th peak the values would
    // overflow any sum, so they must never be added.
    std::string content = "Trigger;Wert\n";
    for (int p = 0; p < 1500; ++p) {
        const std::string value = p < 1440 ? std::to_string(p + 1) : "1E308";
        content += "1;" + value + "\n0;" + (p < 1440 ? "0" : "1E308") + "\n";
    }
    ImportAngleSignal(writeFile("a.csv", content), m_boxes, m_signal, kDecimalComma);

    EXPECT_EQ(m_boxes.Infos, std::vector<std::string>{"Řádky / Vrcholy: 3001 / 1440"});
    for (int k = 0; k < 1440; ++k) {
        ASSERT_EQ(m_signal[k], (k + 1) / 1440.0) << "entry " << k;
    }
    EXPECT_EQ(m_signal[1439], 1.0);
    EXPECT_EQ(m_signal[1440], 0.0);
}

TEST_F(AngleImportTest, BadLineAfter1440PeaksStillFails) {
    std::string content = "h\n";
    for (int p = 0; p < 1441; ++p) {
        content += "1;1\n0;0\n";
    }
    content += "1,0.5;1\n";
    ExpectFailure<EConvertError>(
        [&] { ImportAngleSignal(writeFile("a.csv", content), m_boxes, m_signal, kDecimalComma); },
        "'1,0.5' is not a valid floating point value");
    EXPECT_TRUE(AllZero(m_signal));
}

}  // namespace
}  // namespace morvane
