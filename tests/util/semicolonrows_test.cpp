#include "util/semicolonrows.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane {
namespace {

// A cell is quoted only when it holds ';', '"', CR or LF, as CSV quotes them;
// every other cell is written byte for byte.
TEST(SemicolonRowsTest, CellsAreQuotedOnlyWhenTheyWouldBreakTheRow) {
    const struct {
        std::string Cell;
        std::string Written;
    } rows[] = {
        {"", ""},
        {"Úhel pmax [°]", "Úhel pmax [°]"},
        {"4,767", "4,767"},
        {" a, b ", " a, b "},
        {"a;b.csv", "\"a;b.csv\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"hi\" said", "\"\"\"hi\"\" said\""},
        {"\"", "\"\"\"\""},
        {"a \"b;c\"", "\"a \"\"b;c\"\"\""},
        {"line\nbreak", "\"line\nbreak\""},
        {"cr\r", "\"cr\r\""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Cell);
        EXPECT_EQ(SemicolonCell(row.Cell), row.Written);
    }
    EXPECT_EQ(SemicolonLine({"a;b.csv", "", "3000"}), "\"a;b.csv\";;3000\n");
}

}  // namespace
}  // namespace morvane
