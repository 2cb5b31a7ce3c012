#pragma once

// The heat-transfer entries as typed on the page "Spalování" (tab "Přestup
// tepla") and kept in a set-up: the model and γ's model by the batch tool's
// names ("none", "woschni", "hohenberg"; "constant", "brunt"), shown and
// written in the page's words, and the two temperatures as texts.

#include <span>
#include <string>
#include <string_view>

#include "signal/pressure/HeatTransfer.h"
#include "util/numtext.h"

namespace morvane {

// A choice by its batch tool's name and the page's word for it.
struct TNamedChoice {
    std::string_view Name;
    std::string_view Title;
};

// In the order of THeatModel and TGammaModel.
inline constexpr TNamedChoice kHeatModelChoices[] = {
    {"none", "Žádný"}, {"woschni", "Woschni"}, {"hohenberg", "Hohenberg"}};
inline constexpr TNamedChoice kGammaModelChoices[] = {{"constant", "Konstantní"}, {"brunt", "Brunt"}};

// The index of the choice named by name or title; -1 for another text.
int ChoiceIndex(std::span<const TNamedChoice> choices, std::string_view text);

// A cylinder table's angle brought into the cycle, 0 .. 720° (720 itself is 0).
double WrappedCycleAngle(double angle);

struct THeatTransferTexts {
    std::string Model = "none";
    std::string Gamma = "constant";
    std::string WallTemperature = "450";    // K
    std::string IntakeTemperature = "320";  // K

    bool operator==(const THeatTransferTexts& other) const = default;
};

// The settings without the cylinder's angles, which the caller adds; the
// numbers through ParseFieldNumber, their ranges judged by the analysis.
// exponent: n of the motored pressure (the polytropic pegging's).
THeatTransferSettings ParseHeatTransferTexts(const THeatTransferTexts& texts, double exponent,
                                             TNumberFormat format);

}  // namespace morvane
