#include "signal/pressure/EngineGeometry.h"

#include <cmath>
#include <numbers>

#include "util/errors.h"

namespace morvane {

namespace {

constexpr double kMetresPerMillimetre = 1e-3;

void CheckLength(const char* quantity, double millimetres) {
    if (!(millimetres >= kMinEngineLength) || millimetres > kMaxEngineLength) {
        RaiseInputError(quantity, "od 0,1 do 10000");
    }
}

double PistonArea(const TEngineGeometry& geometry) {
    const double bore = geometry.Bore * kMetresPerMillimetre;
    return std::numbers::pi * bore * bore / 4;
}

}  // namespace

void CheckEngineGeometry(const TEngineGeometry& geometry) {
    CheckLength("Vrtání [mm]", geometry.Bore);
    CheckLength("Zdvih [mm]", geometry.Stroke);
    CheckLength("Ojnice [mm]", geometry.Rod);
    if (!(geometry.Rod > geometry.Stroke / 2)) {
        RaiseInputError("Ojnice [mm]", "delší než polovina zdvihu");
    }
    if (!(geometry.CompressionRatio > 1) || geometry.CompressionRatio > kMaxCompressionRatio) {
        RaiseInputError("Kompresní poměr [1]", "větší než 1 a nejvýše 1000");
    }
}

double DisplacedVolume(const TEngineGeometry& geometry) {
    return PistonArea(geometry) * geometry.Stroke * kMetresPerMillimetre;
}

double ClearanceVolume(const TEngineGeometry& geometry) {
    return DisplacedVolume(geometry) / (geometry.CompressionRatio - 1);
}

double CylinderVolume(const TEngineGeometry& geometry, double angle) {
    const double r = geometry.Stroke / 2 * kMetresPerMillimetre;
    const double l = geometry.Rod * kMetresPerMillimetre;
    const double phi = (angle - 360) * std::numbers::pi / 180;
    const double s = std::sin(phi);
    // Piston travel from top dead centre.
    const double travel = r + l - r * std::cos(phi) - std::sqrt(l * l - r * r * s * s);
    return ClearanceVolume(geometry) + PistonArea(geometry) * travel;
}

TSignalTable CylinderVolumes(const TEngineGeometry& geometry) {
    CheckEngineGeometry(geometry);
    TSignalTable volumes{};
    for (std::size_t k = 0; k < volumes.size(); ++k) {
        volumes[k] = CylinderVolume(geometry, static_cast<double>(k) / 2.0);
    }
    return volumes;
}

}  // namespace morvane
