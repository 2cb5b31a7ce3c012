#pragma once

// Whether a cycle knocks: one rule for the toothed-wheel import, which judges
// each cycle as it closes, and for the page "Spalování", which judges the
// recorded cycles again when its threshold changes after the import.

#include <string_view>

#include "signal/pressure/PressureCycle.h"
#include "util/numtext.h"

namespace morvane {

// A cycle knocks when its MAPO exceeds the threshold.
bool KnocksAt(double mapo, double threshold);

// Raises EInputError for a threshold below 0 or not finite.
void CheckKnockThreshold(double threshold);

// The cycle with each recorded cycle's knock flag judged anew at the threshold
// typed; a cycle without MAPO never knocks. The text is read (and checked)
// only when the cycle has knock figures: a threshold half typed must not stop
// the figures of a cycle that has none.
TPressureCycle JudgeKnock(const TPressureCycle& cycle, std::string_view thresholdText, TNumberFormat format);

}  // namespace morvane
