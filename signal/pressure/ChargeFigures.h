#pragma once

// What a single-zone analysis tells of the charge of one trace (referenced:
// after the top-dead-centre shift and pegging): its trapped mass, its mean
// temperature over the cycle and the peak of it between IVC and EVO, and with a
// heat-transfer model the coefficient and the wall heat from the heat-release
// window's start (see GasTemperature.h and HeatTransfer.h for the rules).

#include <vector>

#include "signal/Signal.h"
#include "signal/pressure/HeatTransfer.h"
#include "util/numtext.h"

namespace morvane {

// What the model needs of the engine besides its volumes.
struct TRunningEngine {
    double Bore = 0;       // mm
    double Stroke = 0;     // mm
    double Displaced = 0;  // m³
    double Rpm = 0;        // of this trace; needed by a heat-transfer model only
};

struct TChargeFigures {
    double TrappedMass = 0;            // kg
    double PeakTemperature = 0;        // K, the largest between IVC and EVO
    double PeakTemperatureAngle = 0;   // degrees, its point (the first of equals)
    std::vector<double> Temperatures;  // T at each of the 1441 points, K
    int FirstPoint = 0;                // the first point at or after IVC
    int LastPoint = 0;                 // the last point at or before EVO
    // h at each point FirstPoint .. LastPoint, W/(m²·K); empty without a model.
    std::vector<double> Coefficients;
    // Qw at each point of the window, from 0 at its first, J; empty without a model.
    std::vector<double> WallHeat;
};

// The charge of the trace; settings checked by CheckHeatTransferSettings.
// Raises EInputError naming the cycle (from 1; 0 for the mean) for a pressure
// at IVC not above 0, and for a speed not above 0 when a model needs it.
// windowFirst .. windowLast are the heat-release window's points.
TChargeFigures FollowCharge(const TSignalTable& pressure, const TSignalTable& volumes,
                            const THeatTransferSettings& settings, const TRunningEngine& engine,
                            int windowFirst, int windowLast, int cycleNumber, TNumberFormat format);

}  // namespace morvane
