#pragma once

// The command line of the batch tool: which command to run and with what.
// Parsing checks only the form of the arguments (the rows of
// cli/OptionTable.cpp say how); the texts meant for the window's controls
// (count, speed, corrections) are passed on unread, so the core judges them
// exactly as it judges what a user types.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/HeatTransferOptions.h"
#include "cli/OptionRules.h"
#include "events/EngineEvent.h"
#include "events/Setup.h"
#include "signal/import/EncoderImport.h"
#include "signal/pressure/CombustionInputs.h"
#include "signal/pressure/PressureReference.h"

namespace morvane {

enum class TCliCommand { None, Events, Signal, Render, Combustion, Valves, Tdc, Channels };
enum class TCliAction { Run, Help, Version };
using TSignalFileKind = TSignalImportKind;  // one kind of import for the set-up and the command line
// combustion: the figure lines for one FILE and the table for several, or the
// table (with its header, or only its rows, to gather rows from several hosts).
enum class TRecordingTableForm { Automatic, Whole, Rows };

// What the window's page "Editace" and the global-correction box would hold.
struct TEventsOptions {
    std::optional<std::string> TablePath;  // cylinder table or set-up file; the window's defaults without it
    std::optional<std::string> Cylinders;  // "Počet válců [1]"; by default from the table
    std::string Rpm = "1000";              // "Otáčky motoru [RPM]"
    std::string Global = "0";              // the global-correction box
    std::optional<std::string> CorrectionsPath;  // one correction text per line
    std::optional<std::string> FiringOrder;      // "1-3-4-2": sets the offsets before anything runs
    std::optional<std::string> FiringIntervals;  // "270,450": uneven intervals of that order
    // Whether --rpm and --global were given: only then do they override a set-up file.
    bool RpmGiven = false;
    bool GlobalGiven = false;
};

// The page "Rozvod": the summary of every cylinder and one cylinder's diagram.
struct TValvesOptions {
    std::optional<std::string> DiagramPath;
    int Cylinder = 1;
    int Width = 360;
    int Height = 360;
};

struct TSignalFile {
    TSignalFileKind Kind = TSignalFileKind::None;
    std::string Path;
    TEncoderOptions Encoder;  // for Encoder; its Path is Path
};

// The sliders, the kind list and the picture's size, at the window's start-up values.
struct TRenderOptions {
    int Cursor = 0;
    int Filter = 0;
    int Gain = 10;
    std::array<bool, kEventKindCount> Kinds{true, true, true, true};
    int Width = 663;
    int Height = 300;
    std::string OutputPath;
    // Whether each was given: only then does it override a set-up file.
    bool CursorGiven = false;
    bool FilterGiven = false;
    bool GainGiven = false;
    bool KindsGiven = false;
};

// The pressure-cycle file and the page "Spalování"'s entries as typed.
struct TCombustionOptions {
    std::string CyclePath;
    TCombustionTexts Texts;
    // With the encoder options the file is a recording: its cycles are
    // averaged as "signal --encoder" does, and their variation is known.
    bool FromRecording = false;
    TEncoderOptions Recording;
    // Every FILE in the order given; more than one prints one table row each.
    std::vector<std::string> Paths;
    TReferenceTexts Reference;
    std::optional<std::string> CyclesPath;  // the table of every cycle
    // The knock band-pass of a recording in bar; Knock* hold the texts as typed.
    std::string KnockLow = "4000";
    std::string KnockHigh = "20000";
    std::string KnockFrom = "360";
    std::string KnockTo = "420";
    double KnockThreshold = 1.0;
    bool KnockGiven = false;  // a knock option was given: a band the rate cannot take is a mistake
    int Jobs = 0;             // files at once; 0: one per core
    // Seconds a file may take to be read and analysed before its row gives up on it; none: no limit.
    std::optional<double> Timeout;
    TRecordingTableForm Table = TRecordingTableForm::Automatic;
    double LossAngle = 0;  // tdc: how far the motored peak lies before top dead centre
    THeatTransferOptions HeatTransfer;
    // The rows of --engine's cylinder table, one per pressure channel, whose
    // angles a heat-transfer model takes where the options give none.
    std::vector<TValveAngles> CylinderAngles;
    // Several pressure channels, one per cylinder (--pressure-columns); empty: --value-column alone.
    std::vector<std::string> PressureColumns;
    std::vector<double> PressureScales;      // --pressure-scale as listed: one for all, or one per channel
    std::string PressureScaleText;           // as typed
    std::optional<std::string> EnginePath;   // --engine: the cylinders' offsets
    std::optional<std::string> FiringOrder;  // --firing-order, --intervals: the offsets instead
    std::optional<std::string> FiringIntervals;
    std::optional<std::string> PicturePath;  // --pressure-picture
    int PictureCylinder = 1;                 // whose events it marks
};

struct TCliArguments {
    TCliCommand Command = TCliCommand::None;
    TCliAction Action = TCliAction::Run;
    TEventsOptions Events;
    TSignalFile SignalFile;
    TRenderOptions Render;
    TCombustionOptions Combustion;
    TValvesOptions Valves;
    std::string ChannelsPath;  // channels: the recording to list
};

// The arguments after the program name. Raises EUsageError with a one-line
// reason; --help and --version anywhere win over everything else.
TCliArguments ParseArguments(const std::vector<std::string>& arguments);

// Short usage of one command, or of the whole tool for None.
std::string UsageText(TCliCommand command);

// The full help of one command, or of the whole tool for None.
std::string HelpText(TCliCommand command);

// "morvane-cli " and the project's version.
std::string VersionText();

// The first word of the command line that names a command, for usage texts
// after a failed parse; None when there is none.
TCliCommand CommandNamed(std::string_view word);

}  // namespace morvane
