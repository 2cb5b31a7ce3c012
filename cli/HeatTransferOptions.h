#pragma once

// The heat-transfer options of "combustion" as given, and the settings of the
// core they make. The angles are the cylinder's own (0 = gas-exchange top dead
// centre): given one by one, or taken from the cylinder's row of a cylinder
// table (TakeCylinderAngles) before the settings are made.

#include <optional>

#include "events/ValveTiming.h"
#include "signal/pressure/HeatTransfer.h"

namespace morvane {

struct THeatTransferOptions {
    THeatModel Model = THeatModel::None;
    TGammaModel Gamma = TGammaModel::Constant;
    double WallTemperature = 450;    // K
    double IntakeTemperature = 320;  // K
    std::optional<double> Rpm;       // a pressure file's speed; a recording gives each cycle's own
    std::optional<double> Ivc;       // degrees
    std::optional<double> Evo;
    std::optional<double> Ignition;
};

// Fills each angle not given from the cylinder's row ("SV zavírá", "VV
// otvírá", "Zapalování"), brought into 0 .. 720°: an option wins over the table.
void TakeCylinderAngles(const TValveAngles& row, THeatTransferOptions& options);

// The core's settings; n is the polytropic exponent of the motored pressure.
// Raises EUsageError naming what a chosen model lacks: the angles missing,
// the speed of a pressure file, or a speed given for a recording.
THeatTransferSettings HeatTransferSettingsOf(const THeatTransferOptions& options, double exponent,
                                             bool fromRecording);

}  // namespace morvane
