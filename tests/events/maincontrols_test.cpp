#include "events/MainControls.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane {
namespace {

TEST(MainControlsTest, StartsAsTheWindowDoes) {
    const TMemoryMainControls window;
    ASSERT_EQ(window.MainParameters.rowCount(), 3);
    EXPECT_EQ(window.MainParameters.key(1), "Počet válců [1]");
    EXPECT_EQ(window.MainParameters.value(1), "1");
    EXPECT_EQ(window.MainParameters.key(2), "Taktnost [-]");
    EXPECT_EQ(window.MainParameters.value(2), "4");
    EXPECT_EQ(window.MainParameters.key(kSpeedRow), "Otáčky motoru [RPM]");
    EXPECT_EQ(window.MainParameters.value(kSpeedRow), "1000");
    EXPECT_EQ(window.ComputedParameters.key(kCycleTimeRow), "Doba cyklu [ms]");
    EXPECT_EQ(window.ComputedParameters.value(kCycleTimeRow), "0");
    ASSERT_EQ(window.CorrectionList.rowCount(), 1);
    EXPECT_EQ(window.CorrectionList.key(1), "");

    const char* const headers[] = {"Válec č.",  "Přesazení", "Zapalování", "SV otvírá",
                                   "SV zavírá", "VV otvírá", "VV zavírá"};
    for (int column = 0; column < kCylinderColumns; ++column) {
        EXPECT_EQ(window.CylinderTable.cellText(column, 0), headers[column]);
    }
    for (int row = 1; row <= kCylinderRows; ++row) {
        EXPECT_EQ(window.CylinderTable.cellText(NumberColumn, row), std::to_string(row));
        for (int column = OffsetColumn; column < kCylinderColumns; ++column) {
            EXPECT_EQ(window.CylinderTable.cellText(column, row), "0") << column << "," << row;
        }
    }
    EXPECT_EQ(window.Recalc.MainParameters, &window.MainParameters);
    EXPECT_EQ(window.Recalc.EventGrid, &window.EventGrid);
}

TEST(MainControlsTest, CrankAngleCaption) {
    EXPECT_EQ(CrankAngleCaption(0), "Úhel kliky: 0°");
    EXPECT_EQ(CrankAngleCaption(90), "Úhel kliky: 90°");
    EXPECT_EQ(CrankAngleCaption(720), "Úhel kliky: 720°");
}

}  // namespace
}  // namespace morvane
