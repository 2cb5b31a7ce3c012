// The figures against answers worked out apart from the code: closed-form
// cycles, a heat release integrated from a Wiebe function, and the shared
// engine's measured cycles.

#include "signal/pressure/CombustionFigures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>

#include "../support/MessageOf.h"
#include "signal/pressure/CycleFigures.h"
#include "signal/pressure/EngineGeometry.h"
#include "signal/pressure/PressureCycle.h"
#include "util/errors.h"
#include "util/numtext.h"

namespace morvane {
namespace {

// The single-cylinder diesel engine of the shared cycles.
const TEngineGeometry kDiesel{86, 75, 118, 21.2};

// The mean's figures as the page and the batch tool get them, unreferenced.
TCombustionFigures MeanFigures(const TPressureCycle& cycle, const TEngineGeometry& geometry,
                               const TCombustionSettings& settings) {
    return AnalysePressureCycle(cycle, geometry, settings, {}).Mean;
}

double AngleOf(std::size_t k) {
    return static_cast<double>(k) / 2;
}

// Gas exchange at p1; compression and expansion between the bottom dead
// centres follow p·V^γ = const, the expansion from pressureAtTop.
TPressureCycle IsentropicCycle(double gamma, double p1, double ratioAtTop) {
    const double vMax = ClearanceVolume(kDiesel) + DisplacedVolume(kDiesel);
    const double vMin = ClearanceVolume(kDiesel);
    const double expansionStart = ratioAtTop * p1 * std::pow(vMax / vMin, gamma);
    TPressureCycle cycle;
    for (std::size_t k = 0; k < cycle.Mean.size(); ++k) {
        const double angle = AngleOf(k);
        const double v = CylinderVolume(kDiesel, angle);
        if (angle <= 180 || angle > 540) {
            cycle.Mean[k] = p1;
        } else if (angle < 360) {
            cycle.Mean[k] = p1 * std::pow(vMax / v, gamma);
        } else {
            cycle.Mean[k] = expansionStart * std::pow(vMin / v, gamma);
        }
    }
    return cycle;
}

TEST(CombustionFiguresTest, IdealOttoCycle) {
    const double gamma = 1.4;
    const double p1 = 1;
    const double alpha = 3;
    const double e = kDiesel.CompressionRatio;
    const double expected =
        p1 * std::pow(e, gamma) * (alpha - 1) * (1 - std::pow(e, 1 - gamma)) / ((gamma - 1) * (e - 1));
    const TCombustionFigures figures =
        MeanFigures(IsentropicCycle(gamma, p1, alpha), kDiesel, {gamma, 340, 460});
    EXPECT_NEAR(figures.NetImep, expected, 2e-4 * expected);
    EXPECT_NEAR(figures.GrossImep, expected, 2e-4 * expected);
    EXPECT_NEAR(figures.PeakPressure, alpha * p1 * std::pow(e, gamma), 1e-9);
    EXPECT_EQ(figures.PeakAngle, 360);
}

TEST(CombustionFiguresTest, MotoredIsentropicTrace) {
    const TCombustionFigures figures = MeanFigures(IsentropicCycle(1.35, 1, 1), kDiesel, {});
    EXPECT_NEAR(figures.NetImep, 0, 1e-9);
    EXPECT_EQ(figures.PeakAngle, 360);
    EXPECT_EQ(figures.LossAngle, 0);
    EXPECT_FALSE(figures.Burn.has_value());
    EXPECT_FALSE(figures.CovImep.has_value());
}

// dV/dθ of the slider crank, m³ per degree.
double VolumeSlope(double angle) {
    const double r = kDiesel.Stroke / 2000;
    const double l = kDiesel.Rod / 1000;
    const double area = std::numbers::pi * std::pow(kDiesel.Bore / 1000, 2) / 4;
    const double phi = (angle - 360) * std::numbers::pi / 180;
    const double s = std::sin(phi);
    return area * (r * s + r * r * s * std::cos(phi) / std::sqrt(l * l - r * r * s * s)) * std::numbers::pi /
           180;
}

// A burn after Wiebe, x = 1 − exp(−a·((θ − θ0)/Δθ)^(m+1)), turned into pressure
// by the single-zone balance dp/dθ = ((γ − 1)·dQ/dθ − γ·p·dV/dθ)/V,
// integrated by fourth-order Runge–Kutta in steps of 0,01°.
TEST(CombustionFiguresTest, WiebeBurnAngles) {
    const double a = 5, m = 2, start = 348, duration = 40, gamma = 1.35, heat = 800;
    const auto heatSlope = [&](double angle) {
        if (angle <= start) {
            return 0.0;
        }
        const double y = (angle - start) / duration;
        return heat * a * (m + 1) / duration * std::pow(y, m) * std::exp(-a * std::pow(y, m + 1));
    };
    const auto slope = [&](double angle, double p) {
        return ((gamma - 1) * heatSlope(angle) / 1e5 - gamma * p * VolumeSlope(angle)) /
               CylinderVolume(kDiesel, angle);
    };
    TPressureCycle cycle;
    cycle.Mean.fill(1);
    double p = 1;
    const int substeps = 50;
    const double h = 0.5 / substeps;
    for (std::size_t k = 360; k < 1080; ++k) {
        for (int s = 0; s < substeps; ++s) {
            const double t = AngleOf(k) + s * h;
            const double k1 = slope(t, p);
            const double k2 = slope(t + h / 2, p + h / 2 * k1);
            const double k3 = slope(t + h / 2, p + h / 2 * k2);
            const double k4 = slope(t + h, p + h * k3);
            p += h / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
        }
        cycle.Mean[k + 1] = p;
    }

    const TCombustionFigures figures = MeanFigures(cycle, kDiesel, {gamma, 340, 460});
    ASSERT_TRUE(figures.Burn.has_value());
    const auto wiebeAngle = [&](double x) { return start + duration * std::cbrt(-std::log(1 - x) / a); };
    EXPECT_NEAR(figures.Burn->Mfb10, wiebeAngle(0.1), 0.25);
    EXPECT_NEAR(figures.Burn->Mfb50, wiebeAngle(0.5), 0.25);
    EXPECT_NEAR(figures.Burn->Mfb90, wiebeAngle(0.9), 0.25);
}

TEST(CombustionFiguresTest, VariationOverCycles) {
    const TPressureCycle otto = IsentropicCycle(1.4, 1, 3);
    TPressureCycle cycle = otto;
    // IMEP is linear in the pressure: scaled cycles scale it, so the
    // coefficient of variation is that of the scales (0,1 / 1).
    for (const double scale : {0.9, 1.0, 1.1}) {
        TSignalTable scaled = otto.Mean;
        for (double& value : scaled) {
            value *= scale;
        }
        cycle.Cycles.push_back(scaled);
    }
    EXPECT_NEAR(MeanFigures(cycle, kDiesel, {}).CovImep.value_or(-1), 10, 1e-9);
    cycle.Cycles.resize(1);
    EXPECT_FALSE(MeanFigures(cycle, kDiesel, {}).CovImep.has_value());
}

TEST(CombustionFiguresTest, GeometryVolumes) {
    const double vd = std::numbers::pi * 0.086 * 0.086 / 4 * 0.075;
    EXPECT_NEAR(DisplacedVolume(kDiesel), vd, 1e-18);
    EXPECT_NEAR(CylinderVolume(kDiesel, 360), vd / 20.2, 1e-18);
    EXPECT_NEAR(CylinderVolume(kDiesel, 0), vd / 20.2, 1e-18);
    EXPECT_NEAR(CylinderVolume(kDiesel, 540), vd * 21.2 / 20.2, 1e-18);
    // At 90° after top dead centre the piston has travelled r + l − √(l² − r²).
    const double travel = 37.5 + 118 - std::sqrt(118.0 * 118 - 37.5 * 37.5);
    EXPECT_NEAR(CylinderVolume(kDiesel, 450), vd / 20.2 + vd * travel / 75, 1e-15);
}

TEST(CombustionFiguresTest, BadInputsNameTheValue) {
    struct TRow {
        TEngineGeometry Geometry;
        TCombustionSettings Settings;
        const char* Message;
    };
    const char* const badWindow = "Okno [°] musí být v rozsahu 0 až 720 a zahrnout alespoň dva body cyklu";
    const TRow rows[] = {
        {{0, 75, 118, 21.2}, {}, "Vrtání [mm] musí být od 0,1 do 10000"},
        {{86, -75, 118, 21.2}, {}, "Zdvih [mm] musí být od 0,1 do 10000"},
        {{86, 75, 1e300, 21.2}, {}, "Ojnice [mm] musí být od 0,1 do 10000"},
        {{1e-160, 75, 118, 21.2}, {}, "Vrtání [mm] musí být od 0,1 do 10000"},
        {{86, 75, 37.5, 21.2}, {}, "Ojnice [mm] musí být delší než polovina zdvihu"},
        {{86, 75, 118, 1}, {}, "Kompresní poměr [1] musí být větší než 1 a nejvýše 1000"},
        {kDiesel, {1, 340, 460}, "γ [1] musí být větší než 1 a nejvýše 10"},
        {kDiesel, {1.35, 460, 340}, badWindow},
        {kDiesel, {1.35, 340.1, 340.4}, badWindow},
        {kDiesel, {1.35, 700, 800}, badWindow},
    };
    const TPressureCycle cycle = IsentropicCycle(1.35, 1, 1);
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Message);
        EXPECT_EQ(testing::MessageOf<EInputError>([&] { MeanFigures(cycle, row.Geometry, row.Settings); }),
                  row.Message);
    }
}

// Traces no cylinder gives: refused when their level is not above 0, no burn
// angles when they were never compressed.
TEST(CombustionFiguresTest, NonPhysicalTraces) {
    const auto flat = [](double value) {
        TPressureCycle cycle;
        cycle.Mean.fill(value);
        return cycle;
    };
    TPressureCycle noisy = IsentropicCycle(1.35, 1, 3);
    noisy.Mean[425] = -0.5;  // one sample of sensor noise
    TPressureCycle dropout = noisy;
    dropout.Cycles = {noisy.Mean, flat(0).Mean};
    const char* const relative =
        " [bar] musí být větší než 0 (absolutní tlak; je-li tlak relativní, zvolte vztažení tlaku)";
    struct TRow {
        const char* Name;
        TPressureCycle Cycle;
        const char* Message;  // nullptr: figures, without burn angles when burned is false
        bool Burned;
    };
    const TRow rows[] = {
        {"flat", flat(5), nullptr, false},
        {"motored", IsentropicCycle(1.35, 1, 1), nullptr, false},
        {"noisy", noisy, nullptr, true},
        {"zero", flat(0), "Tlak při 0°", false},
        {"negative", flat(-3), "Tlak při 0°", false},
        {"zero cycle", dropout, "Tlak cyklu 2 při 0°", false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        if (row.Message == nullptr) {
            EXPECT_EQ(MeanFigures(row.Cycle, kDiesel, {}).Burn.has_value(), row.Burned);
        } else {
            EXPECT_EQ(testing::MessageOf<EInputError>([&] { MeanFigures(row.Cycle, kDiesel, {}); }),
                      std::string(row.Message) + relative);
        }
    }
}

// The shared engine's mean cycles, as measured on the bench.
TEST(CombustionFiguresTest, SharedEngineCycles) {
    const std::string folder = std::string(MORVANE_TEST_DATA_DIR) + "/combustion/";
    const TCombustionFigures fired =
        MeanFigures(ReadPressureCycle(folder + "fired_mean.csv", kDecimalComma), kDiesel, {});
    EXPECT_NEAR(fired.NetImep, 4.767, 0.001);
    EXPECT_NEAR(fired.GrossImep, 4.849, 0.001);
    EXPECT_EQ(fired.PeakAngle, 368.5);
    ASSERT_TRUE(fired.Burn.has_value());
    EXPECT_NEAR(fired.Burn->Mfb10, 364.35, 0.01);
    EXPECT_NEAR(fired.Burn->Mfb50, 374.85, 0.01);
    EXPECT_NEAR(fired.Burn->Mfb90, 407.29, 0.01);

    TPressureCycle three;
    for (const char* name : {"fired_cycle1.csv", "fired_cycle2.csv", "fired_cycle3.csv"}) {
        three.Cycles.push_back(ReadPressureCycle(folder + name, kDecimalComma).Mean);
    }
    three.Mean = three.Cycles[0];  // an all-zero mean would be refused as non-physical
    EXPECT_NEAR(MeanFigures(three, kDiesel, {}).CovImep.value_or(-1), 1.371, 0.001);

    const TCombustionFigures motored =
        MeanFigures(ReadPressureCycle(folder + "motored_mean_deg.csv", kDecimalComma), kDiesel, {});
    EXPECT_EQ(motored.LossAngle, -2.5);
    EXPECT_FALSE(motored.Burn.has_value());
}

}  // namespace
}  // namespace morvane
