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
TTextLines LinesOf(const std::string& content) {
    std::vector<char> buffer(content.begin(), content.end());
    auto lines = SplitTextLines(std::string_view(buffer.data(), buffer.size()));
    return TTextLines(std::move(buffer), std::move(lines));
}

// A header and this many data lines of zeros.
std::string TableFile(int dataLines) {
    std::string content = "header\n";
    for (int i = 1; i <= dataLines; ++i) {
        content += "0;0;0;0;0;0;0\n";
    }
    return content;
}

class CylinderTableFileTest : public ::testing::Test {
protected:
    CylinderTableFileTest() { FillDefaultCylinderTable(m_table); }

    std::vector<std::string> row(int r) const {
        std::vector<std::string> cells;
        for (int column = 0; column < 7; ++column) {
            cells.push_back(m_table.cellText(column, r));
        }
        return cells;
    }

    TMemoryGrid m_table{7, 13};
};

TEST_F(CylinderTableFileTest, DefaultsAreTheWindowsStartUpTable) {
    EXPECT_EQ(row(0), (std::vector<std::string>{"Válec č.", "Přesazení", "Zapalování", "SV otvírá",
                                                "SV zavírá", "VV otvírá", "VV zavírá"}));
    EXPECT_EQ(row(1), (std::vector<std::string>{"1", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(row(12), (std::vector<std::string>{"12", "0", "0", "0", "0", "0", "0"}));
}

TEST_F(CylinderTableFileTest, CellsAreTrimmedFieldsAndTheRowNumberStays) {
    const int lines =
        FillCylinderTable(LinesOf("a;b;c\n 9 ; 30 ;\t5 ;10;200;480;20;extra\n7;1,5;x\n"), m_table);
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(row(0)[1], "Přesazení");  // the header line is never used
    EXPECT_EQ(row(1), (std::vector<std::string>{"1", "30", "5", "10", "200", "480", "20"}));
    EXPECT_EQ(row(2), (std::vector<std::string>{"2", "1,5", "x", "", "", "", ""}));
    EXPECT_EQ(row(3), (std::vector<std::string>{"3", "0", "0", "0", "0", "0", "0"}));
}

TEST_F(CylinderTableFileTest, LineCounts) {
    struct TRow {
        const char* Name;
        std::string Content;
        int DataLines;
    };
    const TRow rows[] = {
        {"empty file", "", 0},
        {"header only", "header\n", 0},
        {"an empty data line", "header\n\n", 1},
        {"twelve", TableFile(12), 12},
        {"no final line break", "header\n0;0;0;0;0;0;0", 1},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.Name);
        EXPECT_EQ(FillCylinderTable(LinesOf(r.Content), m_table), r.DataLines);
    }
}

TEST_F(CylinderTableFileTest, MoreLinesThanRowsAreRefusedAndWriteNothing) {
    try {
        FillCylinderTable(LinesOf(TableFile(13)), m_table);
        FAIL() << "no failure";
    } catch (const ECylinderTableError& failure) {
        EXPECT_STREQ(failure.what(), "the cylinder table has 12 rows, the file gives 13");
    }
    EXPECT_EQ(row(1), (std::vector<std::string>{"1", "0", "0", "0", "0", "0", "0"}));
}

// What is written reads back into the same cells, header and row numbers included.
TEST_F(CylinderTableFileTest, WrittenTableReadsBackCellForCell) {
    FillCylinderTable(LinesOf("h\n1;-31;345,5;-31;243;463;749\n2;360;x;;1e3;0;0\n"), m_table);
    const std::string path = ::testing::TempDir() + "morvane_cylinder_table.csv";
    WriteCylinderTableFile(path, m_table, 2);
    EXPECT_EQ(CylinderTableText(m_table, 2),
              "Válec č.;Přesazení;Zapalování;SV otvírá;SV zavírá;VV otvírá;VV zavírá\n"
              "1;-31;345,5;-31;243;463;749\n2;360;x;;1e3;0;0\n");

    TMemoryGrid again{7, 13};
    FillDefaultCylinderTable(again);
    EXPECT_EQ(ReadCylinderTableFile(path, again), 2);
    for (int r = 0; r <= 12; ++r) {
        for (int column = 0; column < 7; ++column) {
            EXPECT_EQ(again.cellText(column, r), m_table.cellText(column, r)) << column << "," << r;
        }
    }
    std::remove(path.c_str());
}

}  // namespace
}  // namespace morvane
