#include "signal/import/TimeImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "signal/Signal.h"
#include "signal/import/LineCheckpoints.h"
#include "signal_test_support.h"
#include "util/errors.h"

namespace morvane {
namespace {

using testing::AllFinite;
using testing::AllZero;
using testing::ExpectFailure;
using testing::PreviousSignal;

// Files that import: the summary, chosen points before normalisation (as the
// summary box sees them), and the same points after it.
struct TPoint {
    std::size_t Index;
    double Raw;
    double Normalised;
};

struct TTimeCase {
    const char* Name;
    std::string Content;
    std::string Summary;
    std::vector<TPoint> Points;
};

class TimeImportTest : public testing::SignalImportTest, public ::testing::WithParamInterface<TTimeCase> {};

TEST_P(TimeImportTest, StretchesLinesOverTheCycle) {
    const TTimeCase& row = GetParam();
    m_signal = PreviousSignal();
    ImportTimeSignal(writeFile("t.csv", row.Content), m_boxes, m_signal, kDecimalComma);

    ASSERT_EQ(m_boxes.Infos, std::vector<std::string>{"Řádky / Vrcholy: " + row.Summary});
    for (const TPoint& point : row.Points) {
        EXPECT_EQ(m_boxes.SignalAtInfo.front()[point.Index], point.Raw) << "raw entry " << point.Index;
        EXPECT_EQ(m_signal[point.Index], point.Normalised) << "entry " << point.Index;
    }
    EXPECT_TRUE(m_boxes.Errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, TimeImportTest,
    ::testing::Values(
        TTimeCase{"ZeroTwoFour", "0\n2\n4\n", "3 / 1440", {{0, 0, 0}, {720, 2, 0.5}, {1440, 4, 1}}},
        TTimeCase{"OneMinusFour", "1\n-4\n", "2 / 1440", {{0, 1, 0.25}, {1440, -4, -1}}},
        TTimeCase{"SingleFive", "5\n", "1 / 1440", {{0, 5, 1}, {1, 5, 1}, {720, 5, 1}, {1440, 5, 1}}},
        TTimeCase{"BlanksAroundNumbers", "  1,5  \n 3\n", "2 / 1440", {{0, 1.5, 0.5}, {1440, 3, 1}}},
        TTimeCase{"ExponentForm", "1,5E+0\n-3E+0\n", "2 / 1440", {{0, 1.5, 0.5}, {1440, -3, -1}}},
        TTimeCase{"CarriageReturnsOnly", "0\r2\r4", "3 / 1440", {{720, 2, 0.5}, {1440, 4, 1}}},
        TTimeCase{"MixedLineEnds", "0\r\n2\n4\r", "3 / 1440", {{720, 2, 0.5}, {1440, 4, 1}}},
        TTimeCase{
            "NulByteEndsText", std::string("0\n2\n4\0\n9\n", 9), "3 / 1440", {{720, 2, 0.5}, {1440, 4, 1}}}),
    testing::TRowName());

class TimeImportFileTest : public testing::SignalImportTest {};

TEST_F(TimeImportFileTest, ExactlyOneLinePerPointIsCopied) {
    std::string content;
    for (int k = 0; k < SignalPoints; ++k) {
        content += std::to_string(k - 700) + "\n";
    }
    ImportTimeSignal(writeFile("t.csv", content), m_boxes, m_signal, kDecimalComma);

    EXPECT_EQ(m_boxes.Infos, std::vector<std::string>{"Řádky / Vrcholy: 1441 / 1440"});
    for (int k = 0; k < SignalPoints; ++k) {
        ASSERT_EQ(m_signal[k], (k - 700) / 740.0) << "entry " << k;
    }
}

TEST_F(TimeImportFileTest, MoreLinesAreThinnedWithoutAveraging) {
    // 2881 lines put every point on an even line; the huge odd lines between
    // them must not contribute.
    std::string content;
    for (int line = 0; line <= 2880; ++line) {
        content += (line % 2 == 0 ? std::to_string(line) : "1000000") + "\n";
    }
    ImportTimeSignal(writeFile("t.csv", content), m_boxes, m_signal, kDecimalComma);

    EXPECT_EQ(m_boxes.Infos, std::vector<std::string>{"Řádky / Vrcholy: 2881 / 1440"});
    for (int k = 0; k < SignalPoints; ++k) {
        ASSERT_EQ(m_signal[k], 2 * k / 2880.0) << "entry " << k;
    }
}

// A line of any number is found again from the checkpoints, which thin out as
// the text grows, whatever the breaks; a line past the end is not there.
TEST_F(TimeImportFileTest, CheckpointsFindEveryLineAgain) {
    const std::vector<std::vector<std::string>> kinds = {{"\n"}, {"\r\n"}, {"\r"}, {"\r\n", "\n", "\r"}};
    for (const std::vector<std::string>& breaks : kinds) {
        std::string content;
        for (std::size_t k = 0; k < 5000; ++k) {
            content += std::to_string(k) + breaks[k % breaks.size()];
        }
        const std::string path = writeFile("lines.csv", content + "5000");
        TLineReader reader(path, TByteOrderMark::Keep);
        TLineCheckpoints checkpoints(16);
        std::string_view line;
        for (std::int64_t k = 0; reader.next(line); ++k) {
            checkpoints.passed(k, reader.offsetOf(line));
        }
        TLineCursor cursor(reader);
        std::int64_t jumpedTo = -1;
        for (std::int64_t wanted = 0; wanted <= 5000; wanted += 1 + wanted % 97) {
            const auto [at, offset] = checkpoints.before(wanted);
            if (at > jumpedTo) {
                cursor.jump(at, offset);
                jumpedTo = at;
            }
            ASSERT_TRUE(cursor.lineAt(wanted, line)) << wanted;
            ASSERT_EQ(line, std::to_string(wanted)) << breaks.size();
        }
        EXPECT_FALSE(cursor.lineAt(5001, line));
    }
}

// Lines that do not parse: the line's text is named, no summary is shown and
// the previous signal stays.
struct TBadCase {
    const char* Name;
    std::string Content;
    std::string Message;
};

class TimeBadLineTest : public testing::SignalImportTest, public ::testing::WithParamInterface<TBadCase> {};

TEST_P(TimeBadLineTest, FailsKeepingPreviousSignal) {
    m_signal = PreviousSignal();
    const std::string path = writeFile("t.csv", GetParam().Content);
    ExpectFailure<EConvertError>([&] { ImportTimeSignal(path, m_boxes, m_signal, kDecimalComma); },
                                 GetParam().Message);
    EXPECT_TRUE(m_boxes.Infos.empty());
    EXPECT_EQ(m_signal, PreviousSignal());
}

INSTANTIATE_TEST_SUITE_P(
    Files, TimeBadLineTest,
    ::testing::Values(
        TBadCase{"ColumnTitle", "Tlak [V]\n1\n2\n", "'Tlak [V]' is not a valid floating point value"},
        TBadCase{"EmptyLine", "1\n\n2\n", "'' is not a valid floating point value"},
        TBadCase{"TwoColumns", "1;2\n", "'1;2' is not a valid floating point value"},
        TBadCase{"TabBeforeNumber", "1\n\t2\n", "'\t2' is not a valid floating point value"},
        TBadCase{"DecimalPoint", "1,5\n2.5\n", "'2.5' is not a valid floating point value"},
        TBadCase{"ByteOrderMark",
                 "\xEF\xBB\xBF"
                 "1\n2\n",
                 "'\xEF\xBB\xBF"
                 "1' is not a valid floating point value"},
        TBadCase{"FirstBadLineIsNamed", "1\na\nb\n", "'a' is not a valid floating point value"}),
    testing::TRowName());

TEST_F(TimeImportFileTest, ValueBeyondDoubleRangeIsOverflowKeepingPreviousSignal) {
    m_signal = PreviousSignal();
    const std::string path = writeFile("t.csv", "1\n1E309\n");
    ExpectFailure<EOverflow>([&] { ImportTimeSignal(path, m_boxes, m_signal, kDecimalComma); },
                             "Floating point overflow");
    EXPECT_EQ(m_signal, PreviousSignal());
}

struct TEmptyCase {
    const char* Name;
    std::string Content;
};

class TimeEmptyFileTest : public testing::SignalImportTest,
                          public ::testing::WithParamInterface<TEmptyCase> {};

TEST_P(TimeEmptyFileTest, FailsWithoutSummaryKeepingPreviousSignal) {
    m_signal = PreviousSignal();
    const std::string path = writeFile("t.csv", GetParam().Content);
    ExpectFailure<EImportError>([&] { ImportTimeSignal(path, m_boxes, m_signal, kDecimalComma); },
                                "The file \"" + path + "\" holds no values");
    EXPECT_TRUE(m_boxes.Infos.empty());
    EXPECT_EQ(m_signal, PreviousSignal());
}

INSTANTIATE_TEST_SUITE_P(Files, TimeEmptyFileTest,
                         ::testing::Values(TEmptyCase{"NoBytes", ""},
                                           TEmptyCase{"NulFirst", std::string("\0"
                                                                              "1\n2\n",
                                                                              5)}),
                         testing::TRowName());

}  // namespace
}  // namespace morvane
