#include "util/cellblock.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct TSplitCase {
    const char* Name;
    std::string_view Text;
    TCellBlock Block;
};

class SplitCellBlockTest : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(SplitCellBlockTest, SplitsRowsAndCells) {
    EXPECT_EQ(SplitCellBlock(GetParam().Text), GetParam().Block);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, SplitCellBlockTest,
    ::testing::Values(TSplitCase{"empty", "", {}}, TSplitCase{"oneValue", "12,5", {{"12,5"}}},
                      TSplitCase{"spreadsheetCell", "12,5\r\n", {{"12,5"}}},
                      TSplitCase{
                          "rowsOfBothBreaks", "1\t2\r\n3\t4\n5\t6\r", {{"1", "2"}, {"3", "4"}, {"5", "6"}}},
                      TSplitCase{"emptyCellsKept", "\t1\t\n\n", {{"", "1", ""}, {""}}},
                      TSplitCase{"pointsUnchanged", "1.5\t-2.25", {{"1.5", "-2.25"}}},
                      TSplitCase{"ragged", "1\n2\t3\t4", {{"1"}, {"2", "3", "4"}}}),
    [](const ::testing::TestParamInfo<TSplitCase>& row) { return std::string(row.param.Name); });

TEST(FormatCellBlockTest, EndsEveryRowAndSplitsBackToTheSameBlock) {
    const TCellBlock block{{"ID", "Úhel", "Popis"}, {"00", "12,5", ""}};
    EXPECT_EQ(FormatCellBlock(block), "ID\tÚhel\tPopis\n00\t12,5\t\n");
    EXPECT_EQ(SplitCellBlock(FormatCellBlock(block)), block);
    EXPECT_EQ(FormatCellBlock({}), "");
}

}  // namespace
}  // namespace morvane
