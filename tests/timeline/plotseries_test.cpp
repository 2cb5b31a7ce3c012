#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "signal/pressure/CycleFigures.h"
#include "timeline/PlotSeries.h"

namespace morvane {
namespace {

const TEngineGeometry kGeometry{85, 88, 140, 10};

// Three motored-like cycles of different heights: a compression hump at 360°.
TPressureCycle ThreeCycles() {
    TPressureCycle cycle;
    for (const double height : {20.0, 30.0, 25.0}) {
        TSignalTable trace{};
        for (std::size_t point = 0; point < trace.size(); ++point) {
            const double angle = static_cast<double>(point) / 2;
            trace[point] = 1 + height * std::exp(-std::pow((angle - 360) / 40, 2));
        }
        cycle.Cycles.push_back(trace);
    }
    cycle.Mean = cycle.Cycles[2];
    return cycle;
}

TPressureReference ShiftedAndPegged() {
    TPressureReference reference;
    reference.TdcShift = 1.5;
    reference.PegMethod = TPegMethod::Point;
    reference.PegPressure = 1.2;
    return reference;
}

TEST(PlotSeriesTest, BandHoldsEveryReferencedCycleAndTouchesIt) {
    const TPressureCycle cycle = ThreeCycles();
    const TPressureReference reference = ShiftedAndPegged();
    const TPressureAnalysis analysis = AnalysePressureCycle(cycle, kGeometry, {}, reference);
    const TPressureBand band = PressureBand(cycle, analysis, reference);
    ASSERT_EQ(band.Low.Values.size(), std::size_t(SignalPoints));
    EXPECT_DOUBLE_EQ(band.High.Keys.back(), 720);
    for (int number = 1; number <= 3; ++number) {
        const TSeries one = CyclePressureSeries(cycle, analysis, reference, number);
        // The same trace the figures were computed from.
        const TReferencedTrace referenced =
            ReferenceTrace(cycle.Cycles[number - 1], analysis.Volumes, reference);
        EXPECT_DOUBLE_EQ(one.Values[720], referenced.Pressure[720]);
        EXPECT_LE(band.Low.Values[720], one.Values[720]);
        EXPECT_GE(band.High.Values[720], one.Values[720]);
    }
    EXPECT_DOUBLE_EQ(band.High.Values[720], CyclePressureSeries(cycle, analysis, reference, 2).Values[720]);
    EXPECT_DOUBLE_EQ(band.Low.Values[720], CyclePressureSeries(cycle, analysis, reference, 1).Values[720]);
    EXPECT_TRUE(CyclePressureSeries(cycle, analysis, reference, 4).Values.empty());
    // The picked cycle's release is the one its figures came from.
    const std::optional<TCycleCurves> second = CycleCurves(cycle, analysis, reference, kGeometry, {}, 2);
    ASSERT_TRUE(second);
    EXPECT_DOUBLE_EQ(ReleasedHeat(second->Release), analysis.Cycles[1].Heat);
    EXPECT_FALSE(CycleCurves(cycle, analysis, reference, kGeometry, {}, 0));
    EXPECT_TRUE(PressureBand(TPressureCycle{}, analysis, reference).Low.Values.empty());
}

TEST(PlotSeriesTest, NearestCycleByValueAtTheAngle) {
    const TPressureCycle cycle = ThreeCycles();
    const TPressureReference reference;
    const TPressureAnalysis analysis = AnalysePressureCycle(cycle, kGeometry, {}, reference);
    struct TRow {
        double Angle, Value;
        int Cycle;
    };
    const TRow rows[] = {{360, 31, 2}, {360, 21, 1}, {360.2, 26, 3}, {-50, 1, 1}, {900, 1, 1}};
    for (const TRow& row : rows) {
        EXPECT_EQ(NearestCycle(cycle, analysis, reference, row.Angle, row.Value), row.Cycle) << row.Angle;
    }
    EXPECT_FALSE(NearestCycle(TPressureCycle{}, analysis, reference, 360, 1));
}

TEST(PlotSeriesTest, SmoothingIsACentredMeanShortenedAtTheEnds) {
    THeatRelease release;
    release.FirstPoint = 700;
    // Q rising by 0, 0, 6, 0, 0 J per half degree: a rate of 0, 6, 6, 0 J/° in between.
    release.Heat = {0, 0, 0, 6, 6, 6};
    const TSeries plain = HeatRateSeries(release);
    EXPECT_EQ(plain.Values, (std::vector<double>{0, 0, 6, 6, 0, 0}));
    EXPECT_DOUBLE_EQ(plain.Keys.front(), 350);
    EXPECT_EQ(HeatRateSeries(release, 3).Values, (std::vector<double>{0, 2, 4, 4, 2, 0}));
    EXPECT_EQ(HeatRateSeries(release, 2).Values, (std::vector<double>{0, 3, 6, 3, 0, 0}));
}

TEST(PlotSeriesTest, CycleSeriesMarkMisfiresAndKnocks) {
    std::vector<TCycleFigures> cycles(3);
    cycles[0].NetImep = 8;
    cycles[0].Burn = TBurnAngles{360, 370, 380};
    cycles[1].Mapo = 0.4;
    cycles[2].Burn = TBurnAngles{361, 372, 381};
    cycles[2].Mapo = 2.5;
    cycles[2].Knocking = true;
    const TCycleSeries series = CycleSeries(cycles);
    EXPECT_EQ(series.NetImep.Keys, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(series.Mfb50.Keys, (std::vector<double>{1, 3}));
    EXPECT_EQ(series.Mfb50.Values, (std::vector<double>{370, 372}));
    EXPECT_EQ(series.Mapo.Keys, (std::vector<double>{2, 3}));
    EXPECT_EQ(series.Misfires, (std::vector<int>{2}));
    EXPECT_EQ(series.Knocking, (std::vector<int>{3}));
}

TEST(PlotSeriesTest, MarkersOfCylinderOne) {
    const TEventList events = {{"Zapalování 2", ekIgnition, 0, 100},
                               {"Píst 1 - VV otvírá", ekExhaustValve, 0, 130},
                               {"Zapalování 1", ekIgnition, 0, 340}};
    const std::vector<TAngleMarker> markers = CylinderOneMarkers(events);
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers[0].Label, "Zapalování");
    EXPECT_DOUBLE_EQ(markers[0].Angle, 340);
    EXPECT_EQ(markers[1].Label, "VV otvírá");
}

}  // namespace
}  // namespace morvane
