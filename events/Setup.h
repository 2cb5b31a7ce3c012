#pragma once

// An engine set-up: everything the user typed or chose in the window, each
// text exactly as it stands in its control (an unfinished cell, "12.5" with a
// point), so that saving and opening it gives every control its text back.
// The values start as the window starts; events/SetupFile.h reads and writes
// the set-up file, events/SetupControls.h fills the controls from it.

#include <array>
#include <string>
#include <vector>

#include "events/EngineEvent.h"
#include "events/EventGeneration.h"
#include "signal/import/EncoderSettings.h"
#include "signal/pressure/CombustionInputs.h"
#include "signal/pressure/HeatTransferTexts.h"
#include "signal/pressure/TdcProposal.h"

namespace morvane {

// The typed cells of one cylinder-table row, columns OffsetColumn ..
// ExhaustClosesColumn (the row number is the table's own).
using TCylinderRowTexts = std::array<std::string, kCylinderColumns - 1>;

// One row of the correction list: the event's name (with its place among the
// events of that name) finds the event again after the list was rebuilt.
struct TCorrectionText {
    std::string Event;
    std::string Text;

    bool operator==(const TCorrectionText&) const = default;
};

// The page "Rozvod".
struct TValveTimingTexts {
    std::string FiringOrder;
    std::string Intervals;
    std::string IntakeDuration;
    std::string ExhaustDuration;
    std::string IntakeCentreline;
    std::string ExhaustCentreline;
    int SelectedCylinder = 1;  // the summary's selected row

    bool operator==(const TValveTimingTexts&) const = default;
};

// The page "Spalování": the entries it has and those its pressure reference
// adds. Its knock band and threshold are the encoder import's, so they live
// in TSignalImportTexts::Encoder with the sensor scale.
struct TCombustionSetupTexts {
    TCombustionTexts Geometry;
    std::string TdcShift = "0";
    std::string LossAngle = kDefaultLossAngleText;  // what the shift's proposal assumes
    std::string PegMethod = "none";  // as the batch tool's --peg takes it: none, point, polytropic
    std::string PegRange;            // "FROM,TO" as typed; empty: the method's own default range
    std::string PegPressure = "1,013";
    std::string PegExponent = "1,32";
    std::string CyclePath;  // the pressure-cycle file loaded on the page; empty: none or the import's
    THeatTransferTexts HeatTransfer;
    std::string Cylinder = "1";  // the cylinder shown, of a recording of several

    bool operator==(const TCombustionSetupTexts& other) const;
};

enum class TSignalImportKind { None, Angle, Time, Encoder };

// The last signal import: its kind and file, and the encoder dialog's entries
// (kept even when the last import was another kind, as the dialog keeps them),
// among them the sensor scale "Citlivost snímače [bar/jednotka]" and the knock
// band and threshold typed on the page "Spalování".
struct TSignalImportTexts {
    TSignalImportKind Kind = TSignalImportKind::None;
    std::string Path;
    TEncoderTexts Encoder;

    bool operator==(const TSignalImportTexts& other) const;
};

struct TSetup {
    TSetup();

    // "Hlavní parametry", rows kCylinderCountRow, 2 and kSpeedRow.
    std::string Cylinders = "1";
    std::string Strokes = "4";
    std::string Speed = "1000";
    // Rows 1 .. kCylinderRows of the cylinder table.
    std::array<TCylinderRowTexts, kCylinderRows> CylinderTable;
    // The correction list as it stands, in its order.
    std::vector<TCorrectionText> Corrections{{"", ""}};

    // The page "Časová osa".
    std::string GlobalCorrection = "0";
    int CrankAngle = 0;  // the sliders' positions
    int Filter = 0;
    int Gain = 10;
    std::array<bool, kEventKindCount> KindsShown{true, true, true, true};

    TValveTimingTexts ValveTiming;
    TCombustionSetupTexts Combustion;
    TSignalImportTexts SignalImport;

    bool operator==(const TSetup& other) const;
};

// True when the correction list holds events, that is when "Vytvořit události"
// had been run: opening the set-up then creates them again.
bool SetupHasEvents(const TSetup& setup);

}  // namespace morvane
