// The proposal of the page and of the batch tool: what it pegs, what it
// reads of the engine, and which of the typed values it judges.

#include "signal/pressure/TdcProposal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "../support/MessageOf.h"
#include "signal/pressure/EngineGeometry.h"
#include "signal/pressure/TopDeadCentre.h"
#include "util/errors.h"
#include "util/numtext.h"

namespace morvane {
namespace {

// The shared motored cycle, drift bar off, as a sensor without its zero gives it.
TPressureCycle MotoredCycle(double drift, bool inBar = true) {
    TPressureCycle cycle = ReadPressureCycle(
        std::string(MORVANE_TEST_DATA_DIR) + "/combustion/motored_mean_deg.csv", kDecimalComma);
    for (double& pressure : cycle.Mean) {
        pressure += drift;
    }
    cycle.InBar = inBar;
    return cycle;
}

TEST(TdcProposalTest, PegsATraceInBarOnly) {
    const TPressureCycle drifted = MotoredCycle(15);
    const double unpegged = ProposeTdcShift(drifted.Mean, 0);
    TPressureReference point;
    point.PegMethod = TPegMethod::Point;
    point.TdcShift = 999;  // what the proposal replaces: never judged
    // Pegging takes the drift out: the proposal of the true pressure.
    const double pegged = ProposeCycleTdcShift(MotoredCycle(0), point, {}, 0, kDecimalComma);
    ASSERT_GT(std::fabs(pegged - unpegged), 0.01);
    struct TRow {
        const char* Name;
        TPressureCycle Cycle;
        TPressureReference Reference;
        double LossAngle;
        double Shift;
    };
    const TRow rows[] = {
        {"not pegged", drifted, {}, 0, unpegged},
        {"loss angle", drifted, {}, 0.8, unpegged + 0.8},
        {"not in bar", MotoredCycle(15, false), point, 0, unpegged},
        {"in bar", drifted, point, 0, pegged},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_NEAR(ProposeCycleTdcShift(row.Cycle, row.Reference, {}, row.LossAngle, kDecimalComma),
                    row.Shift, 1e-9);
    }
}

TEST(TdcProposalTest, JudgesTheLossAngleAndThePegging) {
    const TPressureCycle cycle = MotoredCycle(0);
    TPressureReference outside;
    outside.PegMethod = TPegMethod::Point;
    outside.PegRange = TAngleRange{800, 900};
    struct TRow {
        TPressureReference Reference;
        double LossAngle;
        const char* Message;
    };
    const TRow rows[] = {
        {{}, 10.5, "Úhel ztráty [°] musí být v rozsahu -10 až 10"},
        {{}, -10.5, "Úhel ztráty [°] musí být v rozsahu -10 až 10"},
        {outside, 0,
         "Rozsah vztažení [°] musí být od menšího k většímu v rozsahu 0 až 720 a zahrnout alespoň dva body "
         "cyklu"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Message);
        EXPECT_EQ(testing::MessageOf<EInputError>(
                      [&] { ProposeCycleTdcShift(cycle, row.Reference, {}, row.LossAngle, kDecimalComma); }),
                  row.Message);
    }
}

// Only polytropic pegging reads the engine, so a mistake there stops nothing else.
TEST(TdcProposalTest, ReadsTheEngineForPolytropicPeggingOnly) {
    TCombustionTexts engine;
    engine.Rod = "30";
    TPressureReference reference;
    for (const TPegMethod method : {TPegMethod::None, TPegMethod::Point}) {
        reference.PegMethod = method;
        EXPECT_EQ(PeggingVolumes(reference, engine, kDecimalComma), TSignalTable{});
    }
    reference.PegMethod = TPegMethod::Polytropic;
    EXPECT_EQ(testing::MessageOf<EInputError>([&] { PeggingVolumes(reference, engine, kDecimalComma); }),
              "Ojnice [mm] musí být delší než polovina zdvihu");
    EXPECT_EQ(PeggingVolumes(reference, TCombustionTexts{}, kDecimalComma),
              CylinderVolumes(ParseCombustionTexts(TCombustionTexts{}, kDecimalComma).Geometry));
}

}  // namespace
}  // namespace morvane
