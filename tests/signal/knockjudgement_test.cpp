// The knock flags judged again at the page's threshold.

#include "signal/pressure/KnockJudgement.h"

#include <gtest/gtest.h>

#include <vector>

#include "../support/MessageOf.h"
#include "util/errors.h"
#include "util/numtext.h"

namespace morvane {
namespace {

std::vector<bool> Flags(const TPressureCycle& cycle) {
    std::vector<bool> flags;
    for (const TCycleKnock& knock : cycle.Knock) {
        flags.push_back(knock.Knocking);
    }
    return flags;
}

TEST(KnockJudgementTest, AMapoAboveTheThresholdKnocks) {
    TPressureCycle cycle;
    cycle.Knock = {{0.5, true}, {1.0, false}, {1.5, false}, {std::nullopt, true}};
    struct TRow {
        const char* Threshold;
        std::vector<bool> Flags;
    };
    const TRow rows[] = {
        {"0", {true, true, true, false}},
        {"1", {false, false, true, false}},
        {"1,5", {false, false, false, false}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Threshold);
        EXPECT_EQ(Flags(JudgeKnock(cycle, row.Threshold, kDecimalComma)), row.Flags);
    }
    EXPECT_EQ(testing::MessageOf<EInputError>([&] { JudgeKnock(cycle, "-0,1", kDecimalComma); }),
              "Práh klepání [bar] musí být od 0 výše");
    // Without knock figures the threshold is not read.
    EXPECT_TRUE(JudgeKnock(TPressureCycle{}, "x", kDecimalComma).Knock.empty());
}

}  // namespace
}  // namespace morvane
