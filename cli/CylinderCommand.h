#pragma once

// The batch tool's "combustion" of a recording with one pressure channel per
// cylinder: the cylinders' offsets from --engine or --firing-order, the
// balance table, every cylinder's cycles and the pressure picture.

#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "signal/import/CylinderRecording.h"
#include "util/messages.h"

namespace morvane {

// Several pressure columns: fills options.Recording.Channels from the
// columns, the scales and the engine's offsets. One column: it is the value
// column. A mistake in them (a scale count, no offsets, an offset that is no
// number, more columns than cylinders) raises EUsageError.
void ReadCylinderOptions(TCombustionOptions& options);

// With a heat-transfer model or Brunt's γ and --engine: the angles of each
// channel's cylinder from the engine's table (options.CylinderAngles).
// Raises EMorvaneError for a table that does not read.
void ReadEngineAngles(TCombustionOptions& options);

// True when the options read several pressure channels.
bool HasCylinders(const TCombustionOptions& options);

// Reads and analyses the recording at path, showing the import's summary.
TCylinderRecording AnalyseCylinderFile(const TCombustionOptions& options, const std::string& path,
                                       IMessageBoxes& boxes);

// The balance table of the first FILE; writes --cycles and --pressure-picture when given.
std::string CylinderReport(const TCombustionOptions& options, IMessageBoxes& boxes);

// The header of several files' table: "Soubor;Válec;…".
std::string CylinderTableHeader();

// A file's rows of that table: its path before each balance row.
std::string CylinderTableRows(const std::string& path, const TCylinderRecording& recording);

}  // namespace morvane
