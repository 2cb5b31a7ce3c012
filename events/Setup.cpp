#include "events/Setup.h"

#include <tuple>

namespace morvane {

namespace {

auto Fields(const TCombustionTexts& t) {
    return std::tie(t.Bore, t.Stroke, t.Rod, t.Compression, t.Gamma, t.WindowStart, t.WindowEnd);
}

auto Fields(const TEncoderTexts& t) {
    return std::tie(t.Path, t.Wheel, t.ReferenceAngle, t.EncoderColumn, t.ValueColumn, t.TimeColumn,
                    t.SampleRate, t.IndexColumn, t.Phase, t.PressureScale, t.KnockBand, t.KnockThreshold,
                    t.PressureColumns);
}

auto Fields(const TCombustionSetupTexts& t) {
    return std::tie(t.TdcShift, t.LossAngle, t.PegMethod, t.PegRange, t.PegPressure, t.PegExponent,
                    t.CyclePath, t.Cylinder);
}

auto Fields(const TSignalImportTexts& t) {
    return std::tie(t.Kind, t.Path);
}

auto Fields(const TSetup& t) {
    return std::tie(t.Cylinders, t.Strokes, t.Speed, t.CylinderTable, t.Corrections, t.GlobalCorrection,
                    t.CrankAngle, t.Filter, t.Gain, t.KindsShown, t.ValveTiming, t.Combustion,
                    t.SignalImport);
}

}  // namespace

bool TCombustionSetupTexts::operator==(const TCombustionSetupTexts& other) const {
    return Fields(Geometry) == Fields(other.Geometry) && Fields(*this) == Fields(other) &&
           HeatTransfer == other.HeatTransfer;
}

bool TSignalImportTexts::operator==(const TSignalImportTexts& other) const {
    return Fields(Encoder) == Fields(other.Encoder) && Fields(*this) == Fields(other);
}

TSetup::TSetup() {
    for (TCylinderRowTexts& row : CylinderTable) {
        row.fill("0");
    }
}

bool TSetup::operator==(const TSetup& other) const {
    return Fields(*this) == Fields(other);
}

bool SetupHasEvents(const TSetup& setup) {
    for (const TCorrectionText& row : setup.Corrections) {
        if (!row.Event.empty()) {
            return true;
        }
    }
    return false;
}

}  // namespace morvane
