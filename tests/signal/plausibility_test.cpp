// The doubts about the figures, on the shared engine's measured fired cycle.

#include "signal/pressure/Plausibility.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "signal/pressure/CycleFigures.h"
#include "signal/pressure/EngineGeometry.h"
#include "signal/pressure/PressureCycle.h"
#include "signal_test_support.h"
#include "util/numtext.h"

namespace morvane {
namespace {

const TEngineGeometry kDiesel{86, 75, 118, 21.2};

struct TPlausibilityRow {
    const char* Name;
    TEngineGeometry Geometry;
    double WindowStart;
    double WindowEnd;
    std::vector<std::string> Fields;  // the fields doubted, in order
};

class PlausibilityTest : public ::testing::TestWithParam<TPlausibilityRow> {};

TEST_P(PlausibilityTest, NamesTheDoubtedFields) {
    const TPlausibilityRow& row = GetParam();
    const TPressureCycle fired =
        ReadPressureCycle(std::string(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv", kDecimalComma);
    TCombustionSettings settings;
    settings.WindowStart = row.WindowStart;
    settings.WindowEnd = row.WindowEnd;
    std::vector<std::string> fields;
    for (const TDoubt& doubt :
         JudgePlausibility(settings, AnalysePressureCycle(fired, row.Geometry, settings, {}).Mean)) {
        fields.push_back(doubt.Field);
        EXPECT_NE(doubt.Text.find(doubt.Field), std::string::npos) << doubt.Text;
        EXPECT_EQ(doubt.Figures,
                  (std::vector<std::string>{"MFB10 [°]", "MFB50 [°]", "MFB90 [°]", "Teplo [J]"}));
    }
    EXPECT_EQ(fields, row.Fields);
}

INSTANTIATE_TEST_SUITE_P(
    Doubts, PlausibilityTest,
    ::testing::Values(TPlausibilityRow{"DefaultWindow", kDiesel, 340, 460, {}},
                      TPlausibilityRow{"ClosedValves", kDiesel, 180, 540, {}},
                      TPlausibilityRow{"WholeCycle", kDiesel, 0, 720, {"Okno od [°]", "Okno do [°]"}},
                      TPlausibilityRow{"IntoIntake", kDiesel, 179.5, 460, {"Okno od [°]"}},
                      TPlausibilityRow{"IntoExhaust", kDiesel, 340, 540.5, {"Okno do [°]"}},
                      TPlausibilityRow{
                          "WrongCompression", {86, 75, 118, 10}, 340, 460, {"Kompresní poměr [1]"}}),
    testing::TRowName());

}  // namespace
}  // namespace morvane
