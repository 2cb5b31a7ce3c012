#pragma once

// A test day's recordings at once: "combustion FILE..." prints one table, a
// row per file in the order given, the files analysed in parallel (each its
// own import and figures; nothing is shared between them but the options).

#include <ostream>
#include <string>

#include "cli/Arguments.h"
#include "cli/CombustionCommand.h"

namespace morvane {

inline constexpr const char* kRecordingTableHeader =
    "Soubor;Cykly;Otáčky [RPM];IMEP [bar];CoV IMEP [%];pmax [bar];MFB50 [°];MAPO max [bar];Klepající "
    "cykly;Vynechané cykly";

// The file's row ('\n' ended, its cells quoted as SemicolonCell quotes them):
// path, then the figures rounded as the figure lines; a figure the file does
// not have (a pressure file's cycles, an unburned mean's MFB50, MAPO without
// knock settings) is an empty cell.
std::string RecordingTableRow(const std::string& path, const TFileAnalysis& file);

// The row of a file that failed: path, then the error box's text on one line.
std::string FailedTableRow(const std::string& path, const std::string& error);

// Writes the header (unless only rows are asked for) at once, then each file's
// row as soon as it and every row before it are known, on options.Jobs threads
// (0: one per core). A file not done within options.Timeout gets a row that
// says so. True when every file succeeded.
bool WriteRecordingTable(const TCombustionOptions& options, std::ostream& out);

}  // namespace morvane
