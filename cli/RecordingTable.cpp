#include "cli/RecordingTable.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <thread>
#include <vector>

#include "cli/BatchCommands.h"
#include "cli/CylinderCommand.h"
#include "cli/FileWorkers.h"
#include "cli/TerminalProgress.h"
#include "signal/pressure/CombustionInputs.h"
#include "util/errors.h"
#include "util/messages.h"
#include "util/numtext.h"
#include "util/semicolonrows.h"

namespace morvane {

namespace {

// Keeps the error box's text; the import's summary is left out, the row says it.
class TRowBoxes : public IMessageBoxes {
public:
    void ShowInfo(const std::string&) override {}
    void ShowErrorBox(const std::string& text) override { Error = text; }
    std::string Error;
};

std::string Cell(const std::optional<double>& value, double step) {
    return value ? RoundedFigure(*value, step, kBatchNumbers) : std::string();
}

TFileResult FileRow(const TCombustionOptions& options, const std::string& path) {
    const TFileProgress shown(path);
    TRowBoxes boxes;
    std::string row;
    const bool succeeded = RunGuarded(boxes, [&] {
        if (HasCylinders(options)) {
            row = CylinderTableRows(path, AnalyseCylinderFile(options, path, boxes));
            return;
        }
        const TFileAnalysis file = AnalysePressureFile(options, path, boxes);
        // The row of the one FILE --cycles takes tells whether its table was written.
        WriteCyclesFile(options, file);
        row = RecordingTableRow(path, file);
    });
    return {succeeded ? row : FailedTableRow(path, boxes.Error), succeeded};
}

// The row of a file that was not read and analysed within the timeout.
TFileResult TimedOutRow(const TCombustionOptions& options, const std::string& path) {
    TRowBoxes boxes;
    RunGuarded(boxes,
               [&] { RaiseFileTimeoutError(path, FormatFloatGeneral(*options.Timeout, kBatchNumbers)); });
    return {FailedTableRow(path, boxes.Error), false};
}

unsigned JobCount(const TCombustionOptions& options, std::size_t files) {
    const unsigned wanted = options.Jobs > 0 ? static_cast<unsigned>(options.Jobs)
                                             : std::max(1U, std::thread::hardware_concurrency());
    return static_cast<unsigned>(std::min<std::size_t>(wanted, files));
}

}  // namespace

std::string RecordingTableRow(const std::string& path, const TFileAnalysis& file) {
    const TPressureAnalysis& analysis = file.Analysis;
    const TCombustionFigures& mean = analysis.Mean;
    const TCycleStatistics& statistics = analysis.Statistics;
    const std::vector<std::string> cells = {
        path,
        file.CycleCount ? FormatInteger(*file.CycleCount) : std::string(),
        file.Rpm ? FormatInteger(std::llround(*file.Rpm)) : std::string(),
        RoundedFigure(mean.NetImep, kPressureStep, kBatchNumbers),
        Cell(mean.CovImep, kFineStep),
        RoundedFigure(mean.PeakPressure, kPressureStep, kBatchNumbers),
        Cell(mean.Burn ? std::optional<double>(mean.Burn->Mfb50) : std::nullopt, kFineStep),
        Cell(statistics.MapoMax, kPressureStep),
        statistics.KnockingCycles ? FormatInteger(*statistics.KnockingCycles) : std::string(),
        analysis.Cycles.empty() ? std::string() : FormatInteger(statistics.Misfires),
    };
    return SemicolonLine(cells);
}

std::string FailedTableRow(const std::string& path, const std::string& error) {
    std::string text = error;
    std::replace(text.begin(), text.end(), '\n', ' ');
    return SemicolonLine({path, text});
}

bool WriteRecordingTable(const TCombustionOptions& options, std::ostream& out) {
    if (options.Table != TRecordingTableForm::Rows) {
        // Out at once: a reader sees the table begin even while its first file is read.
        out << (HasCylinders(options) ? CylinderTableHeader() : std::string(kRecordingTableHeader) + '\n')
            << std::flush;
    }
    TFileWork work;
    work.Count = options.Paths.size();
    work.Jobs = JobCount(options, work.Count);
    work.Timeout = options.Timeout;
    work.Job = [options](std::size_t at) { return FileRow(options, options.Paths[at]); };
    work.GiveUp = [&options](std::size_t at) { return TimedOutRow(options, options.Paths[at]); };
    bool allSucceeded = true;
    RunFileWork(work, [&](const TFileResult& row) {
        const auto paused = TTerminalProgress::standard().pause();
        out << row.Text << std::flush;
        allSucceeded = allSucceeded && row.Succeeded;
    });
    return allSucceeded;
}

}  // namespace morvane
