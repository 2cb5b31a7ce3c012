// The heat-transfer models against values worked out by hand, their balance
// on a motored trace, the shared engine's fired cycle, and the inputs refused.

#include "signal/pressure/HeatTransfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

#include "../support/MessageOf.h"
#include "signal/pressure/CombustionFigures.h"
#include "signal/pressure/CycleFigures.h"
#include "signal/pressure/EngineGeometry.h"
#include "signal/pressure/GasTemperature.h"
#include "signal/pressure/PressureCycle.h"
#include "util/errors.h"

namespace morvane {
namespace {

// The single-cylinder diesel engine of the shared cycles, at 1800 rpm: S̄p = 4,5 m/s.
const TEngineGeometry kDiesel{86, 75, 118, 21.2};
constexpr double kRpm = 1800;

THeatTransferSettings Woschni(double wallTemperature = 450) {
    THeatTransferSettings settings;
    settings.Model = THeatModel::Woschni;
    settings.WallTemperature = wallTemperature;
    settings.Ivc = 200;
    settings.Ignition = 350;
    settings.Evo = 500;
    return settings;
}

// h = 3,26·B^−0,2·p^0,8·T^−0,55·w^0,8 and 130·V^−0,06·p^0,8·T^−0,4·(S̄p + 1,4)^0,8
// evaluated apart (B = 0,086 m, S̄p = 4,5 m/s); the combustion state's
// w = 2,28·4,5 + 3,24e-3·(Vd·320)/(1,05·4,4e-4)·(60 − 45) = 24,9253 m/s.
TEST(HeatTransferTest, CoefficientsAtHandComputedStates) {
    struct TState {
        const char* Name;
        TWoschniPhase Phase;
        double Volume, Pressure, Temperature, Woschni, Hohenberg;
    };
    const TState states[] = {
        {"gas exchange", TWoschniPhase::GasExchange, 4.5e-4, 1, 330, 124.880904, 83.951147},
        {"compression", TWoschniPhase::Compression, 5e-5, 40, 900, 619.512982, 1226.415839},
        {"combustion", TWoschniPhase::Combustion, 3e-5, 60, 1500, 1316.138753, 1425.877392},
    };
    EXPECT_DOUBLE_EQ(MeanPistonSpeed(75, kRpm), 4.5);
    for (const TState& s : states) {
        SCOPED_TRACE(s.Name);
        TWoschniState woschni;
        woschni.Phase = s.Phase;
        woschni.Bore = 0.086;
        woschni.MeanPistonSpeed = 4.5;
        woschni.Pressure = s.Pressure;
        woschni.Temperature = s.Temperature;
        woschni.MotoredPressure = 45;
        woschni.Displaced = DisplacedVolume(kDiesel);
        woschni.IntakeTemperature = 320;
        woschni.IvcPressure = 1.05;
        woschni.IvcVolume = 4.4e-4;
        EXPECT_NEAR(WoschniCoefficient(woschni), s.Woschni, 1e-6);
        EXPECT_NEAR(HohenbergCoefficient({s.Volume, s.Pressure, s.Temperature, 4.5}), s.Hohenberg, 1e-6);
    }
}

// Compression and expansion p·V^γ = const through firing top dead centre,
// gas exchange at 1 bar: no heat is released, only the walls take and give.
TPressureCycle MotoredTrace(double gamma) {
    const double vMax = ClearanceVolume(kDiesel) + DisplacedVolume(kDiesel);
    TPressureCycle cycle;
    for (std::size_t k = 0; k < cycle.Mean.size(); ++k) {
        const double angle = static_cast<double>(k) / 2;
        const bool closed = angle > 180 && angle <= 540;
        cycle.Mean[k] = closed ? std::pow(vMax / CylinderVolume(kDiesel, angle), gamma) : 1.0;
    }
    return cycle;
}

TCombustionFigures MeanWith(const TPressureCycle& cycle, const THeatTransferSettings& heat,
                            double start = 340, double end = 460) {
    TCombustionSettings settings{1.35, start, end, kDecimalComma, heat};
    return AnalysePressureCycle(cycle, kDiesel, settings, {}, kRpm).Mean;
}

TEST(HeatTransferTest, MotoredTraceWithWallsAtTheMeanGasTemperature) {
    const TPressureCycle motored = MotoredTrace(1.35);
    const TChargeFigures first = *MeanWith(motored, Woschni(), 200, 500).Charge;
    const auto begin = first.Temperatures.begin();
    const double mean = std::accumulate(begin + first.FirstPoint, begin + first.LastPoint + 1, 0.0) /
                        (first.LastPoint - first.FirstPoint + 1);
    const TCombustionFigures figures = MeanWith(motored, Woschni(mean), 200, 500);
    const TChargeFigures& charge = *figures.Charge;
    const THeatCurves curves = HeatCurvesOf(figures);
    const auto [lowest, highest] = std::minmax_element(curves.GrossRate.begin(), curves.GrossRate.end());
    EXPECT_LT(*lowest, 0);   // early compression and late expansion: the walls give
    EXPECT_GT(*highest, 0);  // around top dead centre: they take
    EXPECT_NEAR(figures.Release.Heat.back(), 0, 0.05);
    EXPECT_NEAR(figures.Gross->Heat.back(), charge.WallHeat.back(), 0.05);
    // Gross ≈ net: what the walls keep is far below what counts as a burn.
    const double burnShare = kMinBurnShare * figures.PeakPressure * 1e5 * DisplacedVolume(kDiesel);
    EXPECT_LT(std::fabs(charge.WallHeat.back()), burnShare);
    EXPECT_FALSE(figures.Gross->Burned);
    EXPECT_FALSE(figures.Burn.has_value());
    EXPECT_EQ(charge.PeakTemperatureAngle, 360);
}

TEST(HeatTransferTest, SharedFiredCycleWithWoschni) {
    const std::string folder = std::string(MORVANE_TEST_DATA_DIR) + "/combustion/";
    const TPressureCycle fired = ReadPressureCycle(folder + "fired_mean.csv", kDecimalComma);
    const TCombustionFigures net = MeanWith(fired, {});
    const TCombustionFigures gross = MeanWith(fired, Woschni());
    ASSERT_TRUE(net.Burn && gross.Burn && gross.Gross && gross.Charge);
    EXPECT_EQ(ReleasedHeat(gross.Release), ReleasedHeat(net.Release));  // Teplo [J] stays the net heat
    EXPECT_GT(ReleasedHeat(*gross.Gross), ReleasedHeat(net.Release));
    // The walls take most of their heat after the burn's middle, so on this
    // trace the gross MFB50 lies a little later than the net one, not earlier.
    EXPECT_NEAR(gross.Burn->Mfb50 - net.Burn->Mfb50, 0.94, 0.01);
    const TPressureCycle motored = ReadPressureCycle(folder + "motored_mean_deg.csv", kDecimalComma);
    EXPECT_GT(gross.Charge->PeakTemperature, MeanWith(motored, Woschni()).Charge->PeakTemperature);
}

TEST(HeatTransferTest, BruntGammaFallsWithTemperature) {
    EXPECT_DOUBLE_EQ(BruntGamma(300), 1.338 - 0.018 + 0.0009);
    EXPECT_DOUBLE_EQ(BruntGamma(2000), 1.338 - 0.12 + 0.04);
}

// Compression and expansion with no heat and γ(T) of Brunt's fit, integrated
// finely from intake closing at 200° (1 bar, 320 K): Brunt's release sees no
// heat, a constant γ sees the change of γ as heat.
TEST(HeatTransferTest, BruntReleaseOfAnAdiabaticTraceWithTemperatureDependentGamma) {
    TPressureCycle cycle;
    cycle.Mean.fill(1.0);
    const double ivcVolume = CylinderVolume(kDiesel, 200);
    double p = 1;
    constexpr int kSteps = 200;
    for (int k = 400; k < 1080; ++k) {
        for (int step = 0; step < kSteps; ++step) {
            const double from = (k + static_cast<double>(step) / kSteps) / 2;
            const double v0 = CylinderVolume(kDiesel, from);
            const double v1 = CylinderVolume(kDiesel, from + 0.5 / kSteps);
            const double gamma = BruntGamma(320 * p * (v0 + v1) / 2 / ivcVolume);
            p *= std::pow(v0 / v1, gamma);
        }
        cycle.Mean[static_cast<std::size_t>(k) + 1] = p;
    }
    THeatTransferSettings brunt;
    brunt.Gamma = TGammaModel::Brunt;
    brunt.Ivc = 200;
    EXPECT_NEAR(MeanWith(cycle, brunt).Release.Heat.back(), 0, 0.5);
    EXPECT_GT(std::fabs(MeanWith(cycle, {}).Release.Heat.back()), 10);
}

TEST(HeatTransferTest, RefusedInputsNameTheirField) {
    struct TCase {
        const char* Name;
        void (*Change)(THeatTransferSettings&);
        const char* Message;
    };
    const TCase cases[] = {
        {"cold walls", [](THeatTransferSettings& s) { s.WallTemperature = 0; },
         "Teplota stěn [K] musí být konečné číslo větší než 0"},
        {"infinite walls", [](THeatTransferSettings& s) { s.WallTemperature = INFINITY; },
         "Teplota stěn [K] musí být konečné číslo větší než 0"},
        {"negative intake", [](THeatTransferSettings& s) { s.IntakeTemperature = -1; },
         "Teplota nasávání [K] musí být konečné číslo větší než 0"},
        {"intake not a number", [](THeatTransferSettings& s) { s.IntakeTemperature = NAN; },
         "Teplota nasávání [K] musí být konečné číslo větší než 0"},
        {"IVC at ignition", [](THeatTransferSettings& s) { s.Ivc = 350; },
         "SV zavírá [°] musí být před zapalováním (Zapalování)"},
        {"ignition after EVO", [](THeatTransferSettings& s) { s.Ignition = 510; },
         "Zapalování [°] musí být před otevřením výfukového ventilu (VV otvírá)"},
        {"EVO beyond the cycle", [](THeatTransferSettings& s) { s.Evo = 721; },
         "VV otvírá [°] musí být v rozsahu 0 až 720 (0 = HÚ výměny náplně)"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        THeatTransferSettings settings = Woschni();
        c.Change(settings);
        EXPECT_EQ(testing::MessageOf<EInputError>([&] { CheckHeatTransferSettings(settings); }), c.Message);
    }
    EXPECT_EQ(testing::MessageOf<EInputError>([] { CheckEngineSpeed(0); }),
              "Otáčky [RPM] musí být konečné číslo větší než 0");
    const TPressureCycle motored = MotoredTrace(1.35);
    TCombustionSettings settings{1.35, 340, 460, kDecimalComma, Woschni()};
    EXPECT_EQ(
        testing::MessageOf<EInputError>([&] { AnalysePressureCycle(motored, kDiesel, settings, {}, 0); }),
        "Otáčky [RPM] musí být konečné číslo větší než 0");
    TPressureCycle flat = motored;
    flat.Mean[400] = -0.99;  // one noisy point at IVC, the level stays positive
    EXPECT_EQ(
        testing::MessageOf<EInputError>([&] { AnalysePressureCycle(flat, kDiesel, settings, {}, kRpm); }),
        "Tlak při zavření SV (200°) [bar] musí být větší než 0, aby byla známa náplň válce");
}

}  // namespace
}  // namespace morvane
