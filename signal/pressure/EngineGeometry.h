#pragma once

// The slider-crank geometry of one cylinder and its volume over the cycle.
// Lengths are given in millimetres; volumes come out in cubic metres.

#include "signal/Signal.h"

namespace morvane {

struct TEngineGeometry {
    double Bore = 0;              // mm
    double Stroke = 0;            // mm
    double Rod = 0;               // connecting-rod length, centre to centre, mm
    double CompressionRatio = 0;  // ε = (Vd + Vc) / Vc
};

// Lengths outside these are taken as a typing mistake (0,1 mm, 10 m); they
// also keep every volume far inside the double range (a bore of 1e-160 mm
// would underflow the piston area).
constexpr double kMinEngineLength = 0.1;
constexpr double kMaxEngineLength = 10000;
constexpr double kMaxCompressionRatio = 1000;

// Raises EInputError for a bore, stroke or rod outside kMinEngineLength ..
// kMaxEngineLength, a rod not longer than the crank radius stroke / 2, or a
// compression ratio not above 1 (or above kMaxCompressionRatio).
void CheckEngineGeometry(const TEngineGeometry& geometry);

// Vd = A·stroke with A = π·bore²/4, in m³.
double DisplacedVolume(const TEngineGeometry& geometry);
// Vc = Vd / (ε − 1), in m³.
double ClearanceVolume(const TEngineGeometry& geometry);

// V(θ) = Vc + A·(r + l − r·cos φ − √(l² − r²·sin² φ)) with φ = θ − 360°, r the
// crank radius and l the rod, in m³: Vc at 360° (and 0°, 720°), Vc + Vd at
// 180° and 540°. The geometry must have passed CheckEngineGeometry.
double CylinderVolume(const TEngineGeometry& geometry, double angle);

// CylinderVolume at the 1441 half-degree points; checks the geometry first.
TSignalTable CylinderVolumes(const TEngineGeometry& geometry);

}  // namespace morvane
