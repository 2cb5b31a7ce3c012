#include "cli/RecordingTable.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "cli/BatchCommands.h"
#include "signal/CombustionInputs.h"
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

struct TFileRow {
    std::string Text;
    bool Succeeded = false;
};

TFileRow FileRow(const TCombustionOptions& options, const std::string& path) {
    TRowBoxes boxes;
    std::string row;
    const bool succeeded = RunGuarded(boxes, [&] {
        const TFileAnalysis file = AnalysePressureFile(options, path, boxes);
        // The row of the one FILE --cycles takes tells whether its table was written.
        WriteCyclesFile(options, file);
        row = RecordingTableRow(path, file);
    });
    return {succeeded ? row : FailedTableRow(path, boxes.Error), succeeded};
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
        out << kRecordingTableHeader << '\n';
    }
    const std::vector<std::string>& paths = options.Paths;
    std::vector<std::optional<TFileRow>> rows(paths.size());
    std::mutex guard;
    std::condition_variable finished;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t at = next++; at < paths.size(); at = next++) {
            TFileRow row = FileRow(options, paths[at]);
            {
                const std::lock_guard<std::mutex> lock(guard);
                rows[at] = std::move(row);
            }
            finished.notify_all();
        }
    };
    std::vector<std::thread> workers;
    const unsigned jobs = JobCount(options, paths.size());
    for (unsigned i = 0; i < jobs; ++i) {
        workers.emplace_back(work);
    }
    bool allSucceeded = true;
    for (std::size_t at = 0; at < rows.size(); ++at) {
        std::unique_lock<std::mutex> lock(guard);
        finished.wait(lock, [&] { return rows[at].has_value(); });
        lock.unlock();  // a written row is never touched again
        out << rows[at]->Text << std::flush;
        allSucceeded = allSucceeded && rows[at]->Succeeded;
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    return allSucceeded;
}

}  // namespace morvane
