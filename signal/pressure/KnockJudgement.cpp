#include "signal/pressure/KnockJudgement.h"

#include <cmath>

#include "util/errors.h"

namespace morvane {

bool KnocksAt(double mapo, double threshold) {
    return mapo > threshold;
}

void CheckKnockThreshold(double threshold) {
    if (!(threshold >= 0 && std::isfinite(threshold))) {
        RaiseInputError("Práh klepání [bar]", "od 0 výše");
    }
}

TPressureCycle JudgeKnock(const TPressureCycle& cycle, std::string_view thresholdText, TNumberFormat format) {
    TPressureCycle judged = cycle;
    if (judged.Knock.empty()) {
        return judged;
    }
    const double threshold = ParseFloat(thresholdText, format);
    CheckKnockThreshold(threshold);
    for (TCycleKnock& knock : judged.Knock) {
        knock.Knocking = knock.Mapo && KnocksAt(*knock.Mapo, threshold);
    }
    return judged;
}

}  // namespace morvane
