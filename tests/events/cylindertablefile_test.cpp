#include "events/CylinderTableFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "events/MainControls.h"
#include "util/errors.h"
#include "util/memorycontrols.h"

namespace morvane {
namespace {

// The lines of a file with this content, as ReadTextLines gives them.
TTextLines linesOf(const std::string& content) {
    std::vector<char> buffer(content.begin(), content.end());
    auto lines = SplitTextLines(std::string_view(buffer.data(), buffer.size()));
    return TTextLines(std::move(buffer), std::move(lines));
}

// A header and this many data lines of zeros.
std::string tableFile(int dataLines) {
    std::string content = "header\n";
    for (int i = 1; i <= dataLines; ++i) {
        content += "0;0;0;0;0;0;0\n";
    }
    return content;
}

class CylinderTableFileTest : public ::testing::Test {
protected:
    CylinderTableFileTest() { FillDefaultCylinderTable(table); }

    std::vector<std::string> row(int r) const {
        std::vector<std::string> cells;
        for (int column = 0; column < 7; ++column) {
            cells.push_back(table.cellText(column, r));
        }
        return cells;
    }

    TMemoryGrid table{7, 13};
};

TEST_F(CylinderTableFileTest, DefaultsAreTheWindowsStartUpTable) {
    EXPECT_EQ(row(0), (std::vector<std::string>{"Válec č.", "Přesazení", "Zapalování", "SV otvírá",
                                                "SV zavírá", "VV otvírá", "VV zavírá"}));
    EXPECT_EQ(row(1), (std::vector<std::string>{"1", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(row(12), (std::vector<std::string>{"12", "0", "0", "0", "0", "0", "0"}));
}

TEST_F(CylinderTableFileTest, CellsAreTrimmedFieldsAndTheRowNumberStays) {
    const int lines =
        FillCylinderTable(linesOf("a;b;c\n 9 ; 30 ;\t5 ;10;200;480;20;extra\n7;1,5;x\n"), table);
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(row(0)[1], "Přesazení");  // the header line is never used
    EXPECT_EQ(row(1), (std::vector<std::string>{"1", "30", "5", "10", "200", "480", "20"}));
    EXPECT_EQ(row(2), (std::vector<std::string>{"2", "1,5", "x", "", "", "", ""}));
    EXPECT_EQ(row(3), (std::vector<std::string>{"3", "0", "0", "0", "0", "0", "0"}));
}

TEST_F(CylinderTableFileTest, LineCounts) {
    struct Row {
        const char* name;
        std::string content;
        int dataLines;
    };
    const Row rows[] = {
        {"empty file", "", 0},
        {"header only", "header\n", 0},
        {"an empty data line", "header\n\n", 1},
        {"twelve", tableFile(12), 12},
        {"no final line break", "header\n0;0;0;0;0;0;0", 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(FillCylinderTable(linesOf(r.content), table), r.dataLines);
    }
}

TEST_F(CylinderTableFileTest, MoreLinesThanRowsAreRefusedAndWriteNothing) {
    try {
        FillCylinderTable(linesOf(tableFile(13)), table);
        FAIL() << "no failure";
    } catch (const ECylinderTableError& failure) {
        EXPECT_STREQ(failure.what(), "the cylinder table has 12 rows, the file gives 13");
    }
    EXPECT_EQ(row(1), (std::vector<std::string>{"1", "0", "0", "0", "0", "0", "0"}));
}

// What is written reads back into the same cells, header and row numbers included.
TEST_F(CylinderTableFileTest, WrittenTableReadsBackCellForCell) {
    FillCylinderTable(linesOf("h\n1;-31;345,5;-31;243;463;749\n2;360;x;;1e3;0;0\n"), table);
    const std::string path = ::testing::TempDir() + "morvane_cylinder_table.csv";
    WriteCylinderTableFile(path, table, 2);
    EXPECT_EQ(CylinderTableText(table, 2),
              "Válec č.;Přesazení;Zapalování;SV otvírá;SV zavírá;VV otvírá;VV zavírá\n"
              "1;-31;345,5;-31;243;463;749\n2;360;x;;1e3;0;0\n");

    TMemoryGrid again{7, 13};
    FillDefaultCylinderTable(again);
    EXPECT_EQ(ReadCylinderTableFile(path, again), 2);
    for (int r = 0; r <= 12; ++r) {
        for (int column = 0; column < 7; ++column) {
            EXPECT_EQ(again.cellText(column, r), table.cellText(column, r)) << column << "," << r;
        }
    }
    std::remove(path.c_str());
}

}  // namespace
}  // namespace morvane
