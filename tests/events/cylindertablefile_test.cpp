#include "events/CylinderTableFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "events/MainControls.h"
#include "util/errors.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"
#include "util/replacefile.h"

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
    // The cells are checked as numbers the way event creation reads them.
};

TEST_F(CylinderTableFileTest, DefaultsAreTheWindowsStartUpTable) {
    EXPECT_EQ(row(0), (std::vector<std::string>{"Válec č.", "Přesazení", "Zapalování", "SV otvírá",
                                                "SV zavírá", "VV otvírá", "VV zavírá"}));
    EXPECT_EQ(row(1), (std::vector<std::string>{"1", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(row(12), (std::vector<std::string>{"12", "0", "0", "0", "0", "0", "0"}));
}

TEST_F(CylinderTableFileTest, CellsAreTrimmedFieldsAndTheRowNumberStays) {
    const int lines = FillCylinderTable(
        LinesOf("a;b;c\n 9 ; 30 ;\t5 ;10;200;480;20;extra\n7;1,5;2;3;4;5;6\n"), m_table, kDecimalComma);
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(row(0)[1], "Přesazení");  // the header line is never used
    EXPECT_EQ(row(1), (std::vector<std::string>{"1", "30", "5", "10", "200", "480", "20"}));
    EXPECT_EQ(row(2), (std::vector<std::string>{"2", "1,5", "2", "3", "4", "5", "6"}));
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
        {"blank lines at the end are no rows", "header\n\n", 0},
        {"two rows and blank lines", TableFile(2) + "\n \r\n", 2},
        {"twelve", TableFile(12), 12},
        {"no final line break", "header\n0;0;0;0;0;0;0", 1},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.Name);
        EXPECT_EQ(FillCylinderTable(LinesOf(r.Content), m_table, kDecimalComma), r.DataLines);
    }
}

TEST_F(CylinderTableFileTest, MoreLinesThanRowsAreRefusedAndWriteNothing) {
    try {
        FillCylinderTable(LinesOf(TableFile(13)), m_table, kDecimalComma);
        FAIL() << "no failure";
    } catch (const ECylinderTableError& failure) {
        EXPECT_STREQ(failure.what(), "the cylinder table has 12 rows, the file gives 13");
    }
    EXPECT_EQ(row(1), (std::vector<std::string>{"1", "0", "0", "0", "0", "0", "0"}));
}

TEST_F(CylinderTableFileTest, BadCellsNameLineAndColumnAndWriteNothing) {
    const struct {
        const char* Content;
        const char* Message;
    } rows[] = {
        {"h\n0;0;0;0;0;0;0\n\n0;0;0;0;0;0;0\n", "řádek 3, sloupec 2: chybí hodnota"},
        {"h\n1;2;3\n", "řádek 2, sloupec 4: chybí hodnota"},
        {"h\n1;2; ;4;5;6;7\n", "řádek 2, sloupec 3: chybí hodnota"},
        {"h\n1;2;x;4;5;6;7\n", "řádek 2, sloupec 3: 'x' není číslo"},
        {"h\n1;2;3;4;5;6;1e999\n", "řádek 2, sloupec 7: '1e999' je mimo rozsah čísel"},
    };
    for (const auto& r : rows) {
        try {
            FillCylinderTable(LinesOf(r.Content), m_table, kDecimalComma);
            ADD_FAILURE() << "no failure: " << r.Content;
        } catch (const EImportError& failure) {
            EXPECT_EQ(failure.what(), std::string("Tabulka válců, ") + r.Message);
        }
        EXPECT_EQ(row(1), (std::vector<std::string>{"1", "0", "0", "0", "0", "0", "0"}));
    }
}

// A file far longer than the table is refused after its first lines; one with
// a byte-order mark reads as without it.
TEST_F(CylinderTableFileTest, ReadingStopsWhenTheFileIsTooLong) {
    const std::string path = ::testing::TempDir() + "morvane_cylinder_table_long.csv";
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs(("\xEF\xBB\xBF" + TableFile(100000)).c_str(), file);
    std::fclose(file);
    try {
        ReadCylinderTableFile(path, m_table, kDecimalComma);
        ADD_FAILURE() << "no failure";
    } catch (const ECylinderTableError& failure) {
        EXPECT_STREQ(failure.what(), "the cylinder table has 12 rows, the file gives more than 13");
    }
    WriteFileReplacing(path, "\xEF\xBB\xBF" + TableFile(1));
    EXPECT_EQ(ReadCylinderTableFile(path, m_table, kDecimalComma), 1);
    std::remove(path.c_str());
}

// What is written reads back into the same cells, header and row numbers included.
TEST_F(CylinderTableFileTest, WrittenTableReadsBackCellForCell) {
    FillCylinderTable(LinesOf("h\n1;-31;345,5;-31;243;463;749\n2;360;7;-1;1e3;0;0\n"), m_table,
                      kDecimalComma);
    const std::string path = ::testing::TempDir() + "morvane_cylinder_table.csv";
    WriteCylinderTableFile(path, m_table, 2);
    EXPECT_EQ(CylinderTableText(m_table, 2),
              "Válec č.;Přesazení;Zapalování;SV otvírá;SV zavírá;VV otvírá;VV zavírá\n"
              "1;-31;345,5;-31;243;463;749\n2;360;7;-1;1e3;0;0\n");

    TMemoryGrid again{7, 13};
    FillDefaultCylinderTable(again);
    EXPECT_EQ(ReadCylinderTableFile(path, again, kDecimalComma), 2);
    for (int r = 0; r <= 12; ++r) {
        for (int column = 0; column < 7; ++column) {
            EXPECT_EQ(again.cellText(column, r), m_table.cellText(column, r)) << column << "," << r;
        }
    }
    std::remove(path.c_str());
}

}  // namespace
}  // namespace morvane
