#pragma once

// The batch tool's "combustion" and "tdc": the figures of the page
// "Spalování" for a pressure cycle or a recording, one "name;value" line each,
// and the top-dead-centre shift a motored cycle proposes.

#include <cstdint>
#include <optional>
#include <string>

#include "cli/Arguments.h"
#include "signal/pressure/CycleFigures.h"
#include "signal/pressure/HeatTransfer.h"
#include "util/messages.h"

namespace morvane {

// The heat-transfer settings of the cylinder (from 0), the exponent of the
// motored pressure being the pegging's: the options' angles, else those of
// the cylinder's row of --engine's table. Raises EUsageError as
// HeatTransferSettingsOf does.
THeatTransferSettings HeatTransferOf(const TCombustionOptions& options, const TPressureReference& reference,
                                     std::size_t cylinder = 0);

// The reference and the knock settings as typed into options, judged once
// before any file is read: a mistake in them raises EUsageError.
void ReadPressureOptions(TCliCommand command, TCombustionOptions& options);

// One file's cycle referenced and measured, with what its import told.
struct TFileAnalysis {
    TPressureAnalysis Analysis;
    std::optional<std::int64_t> CycleCount;  // a recording's complete cycles
    std::optional<double> Rpm;               // a recording's mean speed
};

// Reads the file at path (a recording with the encoder options, showing the
// import's summary in boxes) and analyses it with the options' engine and
// reference. Failures propagate to the caller's guard.
TFileAnalysis AnalysePressureFile(const TCombustionOptions& options, const std::string& path,
                                  IMessageBoxes& boxes);

// Writes the cycle table of the file to --cycles when it is given.
void WriteCyclesFile(const TCombustionOptions& options, const TFileAnalysis& file);

// The figure lines of the first FILE (the cylinders' table of a recording
// with several pressure columns); writes the cycle table to --cycles when
// given (whole or not at all).
std::string CombustionReport(const TCombustionOptions& options, IMessageBoxes& boxes);

// CombustionReport within options.Timeout when it is given: a file that
// stalls longer fails with RaiseFileTimeoutError.
std::string CombustionReportWithin(const TCombustionOptions& options, IMessageBoxes& boxes);

// "Posun HÚ [°];<shift>" of the FILE's mean cycle, to 0,01°.
std::string TdcReport(const TCombustionOptions& options, IMessageBoxes& boxes);

}  // namespace morvane
