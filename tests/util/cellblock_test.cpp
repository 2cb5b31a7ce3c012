#include "util/cellblock.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct SplitCase {
    const char* name;
    std::string_view text;
    TCellBlock block;
};

class SplitCellBlockTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCellBlockTest, SplitsRowsAndCells) {
    EXPECT_EQ(SplitCellBlock(GetParam().text), GetParam().block);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, SplitCellBlockTest,
    ::testing::Values(SplitCase{"empty", "", {}}, SplitCase{"oneValue", "12,5", {{"12,5"}}},
                      SplitCase{"spreadsheetCell", "12,5\r\n", {{"12,5"}}},
                      SplitCase{
                          "rowsOfBothBreaks", "1\t2\r\n3\t4\n5\t6\r", {{"1", "2"}, {"3", "4"}, {"5", "6"}}},
                      SplitCase{"emptyCellsKept", "\t1\t\n\n", {{"", "1", ""}, {""}}},
                      SplitCase{"pointsUnchanged", "1.5\t-2.25", {{"1.5", "-2.25"}}},
                      SplitCase{"ragged", "1\n2\t3\t4", {{"1"}, {"2", "3", "4"}}}),
    [](const ::testing::TestParamInfo<SplitCase>& row) { return std::string(row.param.name); });

TEST(FormatCellBlockTest, EndsEveryRowAndSplitsBackToTheSameBlock) {
    const TCellBlock block{{"ID", "Úhel", "Popis"}, {"00", "12,5", ""}};
    EXPECT_EQ(FormatCellBlock(block), "ID\tÚhel\tPopis\n00\t12,5\t\n");
    EXPECT_EQ(SplitCellBlock(FormatCellBlock(block)), block);
    EXPECT_EQ(FormatCellBlock({}), "");
}

}  // namespace
}  // namespace morvane
