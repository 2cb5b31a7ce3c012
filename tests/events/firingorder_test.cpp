#include "events/FiringOrder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "events/MainControls.h"
#include "tests/support/MessageOf.h"
#include "util/errors.h"
#include "util/numtext.h"

namespace morvane {
namespace {

using TTexts = std::vector<std::string>;

class FiringOrderTest : public ::testing::Test {
protected:
};

TEST_F(FiringOrderTest, OffsetsOfEvenAndUnevenOrders) {
    struct TRow {
        const char* Order;
        const char* Intervals;
        int Count;
        TTexts Offsets;  // of cylinders 1..Count
    };
    const TRow rows[] = {
        {"1", "", 1, {"0"}},
        {"1-3-4-2", "", 4, {"0", "540", "180", "360"}},
        {" 1 - 2 - 4 - 3 ", "", 4, {"0", "180", "540", "360"}},
        {"1-5-3-6-2-4", "", 6, {"0", "480", "240", "600", "120", "360"}},
        {"1-7-5-11-3-9-6-12-2-8-4-10",
         "",
         12,
         {"0", "480", "240", "600", "120", "360", "60", "540", "300", "660", "180", "420"}},
        {"1-2-3-4-5-6-7",
         "",
         7,
         {"0", "102,857142857143", "205,714285714286", "308,571428571429", "411,428571428571",
          "514,285714285714", "617,142857142857"}},
        {"1-2", "270,450", 2, {"0", "270"}},
        {"2-1", " 270 , 450 ", 2, {"270", "0"}},
        {"1-2-3", "90,5;359,5;270", 3, {"0", "90,5", "450"}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Order);
        EXPECT_EQ(FiringOrderOffsets(row.Order, row.Intervals, row.Count, kDecimalComma), row.Offsets);
    }
}

TEST_F(FiringOrderTest, BadInputNamesItsProblemAndWritesNoCell) {
    struct TRow {
        const char* Count;
        const char* Order;
        const char* Intervals;
        std::string Message;
    };
    const TRow rows[] = {
        {"4", "1-3-4", "", "Pořadí zapalování '1-3-4': chybí válec 2"},
        {"4", "1-3-3-2", "", "Pořadí zapalování '1-3-3-2': válec 3 je uveden dvakrát"},
        {"4", "1-5-3-2", "", "Pořadí zapalování '1-5-3-2': válec 5 není od 1 do 4"},
        {"4", "1-0-3-2", "", "Pořadí zapalování '1-0-3-2': válec 0 není od 1 do 4"},
        {"4", "1-3-4-2-", "", "Pořadí zapalování '1-3-4-2-': '' není číslo válce"},
        {"4", "1,3,4,2", "", "Pořadí zapalování '1,3,4,2': '1,3,4,2' není číslo válce"},
        {"4", "", "", "Pořadí zapalování '': '' není číslo válce"},
        {"2", "1-2", "270,440", "Intervaly zapalování '270,440': součet je 710°, má být 720°"},
        {"2", "1-2", "720", "Intervaly zapalování '720': počet intervalů nesouhlasí (zadáno 1, válců je 2)"},
        {"2", "1-2", "-90,810", "Intervaly zapalování '-90,810': interval -90° není kladný"},
        {"2", "1-2", "270;abc", "'abc' is not a valid floating point value"},
        {"1,5", "1", "", "'1,5' is not a valid integer value"},
        {"0", "1", "", "Počet válců 0 není od 1 do 12"},
        {"13", "1", "", "Počet válců 13 není od 1 do 12"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Order + std::string(" ") + row.Intervals);
        TMemoryMainControls window;
        FillDefaultCylinderTable(window.CylinderTable);
        window.CylinderTable.setCellText(OffsetColumn, 1, "15");
        window.MainParameters.setValue(kCylinderCountRow, row.Count);
        EXPECT_EQ(testing::MessageOf<EMorvaneError>([&] {
                      ApplyFiringOrder(window.MainParameters, window.CylinderTable, row.Order, row.Intervals,
                                       kDecimalComma);
                  }),
                  row.Message);
        EXPECT_EQ(window.CylinderTable.cellText(OffsetColumn, 1), "15");
        EXPECT_EQ(window.CylinderTable.cellText(OffsetColumn, 2), "0");
    }
}

TEST_F(FiringOrderTest, WritesOnlyTheOffsetsOfCylindersOneToN) {
    TMemoryMainControls window;
    FillDefaultCylinderTable(window.CylinderTable);
    window.CylinderTable.setCellText(IgnitionColumn, 2, "abc");
    window.MainParameters.setValue(kCylinderCountRow, "4");
    ApplyFiringOrder(window.MainParameters, window.CylinderTable, "1-3-4-2", "", kDecimalComma);
    TTexts offsets;
    for (int row = 1; row <= 5; ++row) {
        offsets.push_back(window.CylinderTable.cellText(OffsetColumn, row));
    }
    EXPECT_EQ(offsets, (TTexts{"0", "540", "180", "360", "0"}));
    EXPECT_EQ(window.CylinderTable.cellText(IgnitionColumn, 2), "abc");
}

}  // namespace
}  // namespace morvane
