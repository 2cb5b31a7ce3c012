#pragma once

// What the window's analysis plots show, as plain series taken from the same
// analysis the figures come from, so that a plot and the figures table never
// disagree:
// - pressure on the crank angle: the referenced mean, each referenced cycle
//   (the recorded trace moved by the shift, plus the pegging offset its
//   figures were computed with) and, for many cycles, their band: at each
//   point the lowest and the highest referenced pressure over the cycles;
// - p–V: the referenced mean over the cylinder volume in cm³;
// - mass fraction burned in % over the heat-release window;
// - heat-release rate in J/°, shown smoothed over N points if asked: the mean
//   of the N points centred on each ((N−1)/2 before, the rest after), fewer
//   at the window's ends; the figures never see the smoothing;
// - every cycle's net IMEP, MFB50 (a cycle that did not burn has none) and
//   MAPO (when the recording gave it) over its number, with the misfires and
//   knocking cycles;
// - cylinder 1's ignition, intake closing and exhaust opening from the event
//   list, as angle markers on the cycle's 0 .. 720° scale.

#include <optional>
#include <string>
#include <vector>

#include "events/EngineEvent.h"
#include "signal/pressure/CycleFigures.h"
#include "signal/pressure/PressureCycle.h"
#include "signal/pressure/PressureReference.h"

namespace morvane {

struct TSeries {
    std::vector<double> Keys;
    std::vector<double> Values;
};

struct TPressureBand {
    TSeries Low;
    TSeries High;
};

struct TAngleMarker {
    double Angle = 0;   // degrees of the cycle
    std::string Label;  // e.g. "Zapalování"

    bool operator==(const TAngleMarker&) const = default;
};

struct TCycleSeries {
    TSeries NetImep;            // bar, over the cycle number
    TSeries Mfb50;              // degrees, burned cycles only
    TSeries Mapo;               // bar, cycles with MAPO only
    std::vector<int> Misfires;  // cycle numbers, from 1
    std::vector<int> Knocking;  // cycle numbers, from 1
};

// A pressure trace on the cycle's points (the referenced mean, a picked
// cycle's), bar over degrees.
TSeries PressureSeries(const TSignalTable& trace);

// Cycle number (from 1) of the recording, referenced as the analysis did.
// The analysis must be the cycle's (one entry of Cycles for each trace).
TSeries CyclePressureSeries(const TPressureCycle& cycle, const TPressureAnalysis& analysis,
                            const TPressureReference& reference, int number);

// One cycle's own curves, for the cycle picked in the table: its referenced
// pressure and its net heat release, measured as the analysis measured it
// (geometry and settings as given to it; a heat-transfer model at the speed
// the cycle holds: its own, else the cycle's Rpm); nothing for a number without a cycle.
struct TCycleCurves {
    TSignalTable Pressure{};
    THeatRelease Release;
    std::optional<THeatRelease> Gross;  // with a heat-transfer model
};
std::optional<TCycleCurves> CycleCurves(const TPressureCycle& cycle, const TPressureAnalysis& analysis,
                                        const TPressureReference& reference, const TEngineGeometry& geometry,
                                        const TCombustionSettings& settings, int number);

// The band of the referenced cycles; empty series without cycles.
TPressureBand PressureBand(const TPressureCycle& cycle, const TPressureAnalysis& analysis,
                           const TPressureReference& reference);

// The cycle (from 1) whose referenced pressure at the angle's nearest point
// lies nearest to the value; nothing without cycles.
std::optional<int> NearestCycle(const TPressureCycle& cycle, const TPressureAnalysis& analysis,
                                const TPressureReference& reference, double angle, double value);

// Pressure (bar) over the cylinder volume (cm³).
TSeries PvSeries(const TSignalTable& pressure, const TSignalTable& volumes);

// Mass fraction burned (%) over the window's angles.
TSeries BurnSeries(const THeatRelease& release);

// The heat-release rate (J/°) over the window's angles, smoothed over points
// (1 or less: as computed).
TSeries HeatRateSeries(const THeatRelease& release, int points = 1);

TCycleSeries CycleSeries(const std::vector<TCycleFigures>& cycles);

// Cylinder 1's ignition, intake closing and exhaust opening, those the list holds.
std::vector<TAngleMarker> CylinderOneMarkers(const TEventList& events);

// The same of a cylinder (from 1) on its own angle: the list's angle less
// shift (its offset less cylinder 1's), within 0 .. 720°.
std::vector<TAngleMarker> CylinderMarkers(const TEventList& events, int cylinder, double shift);

}  // namespace morvane
