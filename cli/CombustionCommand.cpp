#include "cli/CombustionCommand.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "cli/BatchCommands.h"
#include "cli/CylinderCommand.h"
#include "cli/FileWorkers.h"
#include "cli/TerminalProgress.h"
#include "signal/import/EncoderImport.h"
#include "signal/pressure/CombustionFigures.h"
#include "signal/pressure/CombustionInputs.h"
#include "signal/pressure/CycleTable.h"
#include "signal/pressure/PressureCycle.h"
#include "signal/pressure/TdcProposal.h"
#include "util/errors.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"
#include "util/replacefile.h"
#include "util/semicolonrows.h"

namespace morvane {

namespace {

struct TLoadedCycle {
    TPressureCycle Cycle;
    std::optional<std::int64_t> CycleCount;
    std::optional<double> Rpm;
};

// The mean cycle of the file: a recording's cycles are not kept.
TLoadedCycle LoadCycle(const TCombustionOptions& options, const std::string& path, IMessageBoxes& boxes) {
    if (!options.FromRecording) {
        return {ReadPressureCycle(path, kBatchNumbers), std::nullopt, std::nullopt};
    }
    TEncoderOptions recording = options.Recording;
    recording.Path = path;
    recording.KeepCycles = false;
    TEncoderResult result = ImportEncoderRecording(recording);
    TSignalTable shown{};
    ShowEncoderResult(result, boxes, shown);
    const std::int64_t count = result.CycleCount;
    const double rpm = result.Rpm;
    return {PressureCycleOf(std::move(result), path), count, rpm};
}

// Each cycle is analysed as the import hands it on and then forgotten, so a
// recording of any length takes bounded memory. A cycle's failure waits until
// the import has ended: the import's own failure and its summary come first,
// then the mean's failure, then the first failing cycle's, as when the whole
// recording was analysed after its import.
TFileAnalysis AnalyseRecording(const TCombustionOptions& options, const std::string& path,
                               TPressureAnalyser analyser, IMessageBoxes& boxes) {
    TEncoderOptions recording = options.Recording;
    recording.Path = path;
    recording.KeepCycles = false;
    std::exception_ptr failedCycle;
    recording.CycleSink = [&](const TEncoderCycle& cycle) {
        if (failedCycle) {
            return;
        }
        try {
            analyser.addCycle(cycle.Points,
                              cycle.KnockKnown ? TCycleKnock{cycle.Mapo, cycle.Knocks} : TCycleKnock{},
                              cycle.Rpm > 0 ? cycle.Rpm : options.HeatTransfer.Rpm.value_or(0));
        } catch (const EMorvaneError&) {
            failedCycle = std::current_exception();
        }
    };
    const TEncoderResult result = ImportEncoderRecording(recording);
    TSignalTable shown{};
    ShowEncoderResult(result, boxes, shown);
    analyser.addMean(result.Mean, result.AngleDomain ? options.HeatTransfer.Rpm.value_or(0) : result.Rpm);
    if (failedCycle) {
        std::rethrow_exception(failedCycle);
    }
    return {std::move(analyser).finish(), result.CycleCount, result.Rpm};
}

// The knock settings as typed; the band is judged against the sample rate
// when the rate is given. Without a knock option the import leaves the default
// band out at a rate too low for it, and says so, rather than failing an
// import that asked for none.
std::optional<TKnockSettings> KnockSettingsOf(const TCombustionOptions& options) {
    TKnockSettings knock;
    knock.Low = ParseFloat(options.KnockLow, kBatchNumbers);
    knock.High = ParseFloat(options.KnockHigh, kBatchNumbers);
    knock.From = ParseFloat(options.KnockFrom, kBatchNumbers);
    knock.To = ParseFloat(options.KnockTo, kBatchNumbers);
    knock.Threshold = options.KnockThreshold;
    const double rate = options.Recording.SampleRate;
    if (rate > 0 && options.Recording.TimeColumn.empty() && options.KnockGiven) {
        CheckKnockSettings(knock, rate, kBatchNumbers);
    }
    return knock;
}

}  // namespace

THeatTransferSettings HeatTransferOf(const TCombustionOptions& options, const TPressureReference& reference,
                                     std::size_t cylinder) {
    THeatTransferOptions heat = options.HeatTransfer;
    if (cylinder < options.CylinderAngles.size()) {
        TakeCylinderAngles(options.CylinderAngles[cylinder], heat);
    }
    // A recording in the angle domain knows no speed: --rpm gives it, as for a pressure file.
    const bool speedsRecorded = options.FromRecording && options.Recording.AngleColumn.empty();
    return HeatTransferSettingsOf(heat, reference.PegExponent, speedsRecorded);
}

namespace {

// The import's threads for each file: -j counts them, so that -j 1 stays on
// one core; files read at once keep one each until cores are left over.
unsigned ImportThreadsPerFile(int jobs, std::size_t files) {
    const unsigned cores =
        jobs > 0 ? static_cast<unsigned>(jobs) : std::max(1U, std::thread::hardware_concurrency());
    const auto filesAtOnce = static_cast<unsigned>(std::clamp<std::size_t>(files, 1, cores));
    return std::clamp(cores / filesAtOnce, 1U, 2U);
}

}  // namespace

void ReadPressureOptions(TCliCommand command, TCombustionOptions& options) {
    options.Recording.Threads = ImportThreadsPerFile(options.Jobs, options.Paths.size());
    try {
        const TPressureReference reference = ParseReferenceTexts(options.Reference, kBatchNumbers);
        CheckPressureReference(reference);
        if (command == TCliCommand::Combustion) {
            ReadEngineAngles(options);
            CheckHeatTransferSettings(HeatTransferOf(options, reference));
        }
        if (options.Recording.PressureScale && command == TCliCommand::Combustion) {
            options.Recording.Knock = KnockSettingsOf(options);
            options.Recording.KnockIfBandFits = !options.KnockGiven;
        }
    } catch (const EMorvaneError& mistake) {
        throw EUsageError(mistake.what());
    }
}

TFileAnalysis AnalysePressureFile(const TCombustionOptions& options, const std::string& path,
                                  IMessageBoxes& boxes) {
    // The engine's texts are judged before the file is read, as on the page.
    TCombustionInputs inputs = ParseCombustionTexts(options.Texts, kBatchNumbers);
    const TPressureReference reference = ParseReferenceTexts(options.Reference, kBatchNumbers);
    inputs.Settings.HeatTransfer = HeatTransferOf(options, reference);
    if (options.FromRecording) {
        return AnalyseRecording(options, path, TPressureAnalyser(inputs.Geometry, inputs.Settings, reference),
                                boxes);
    }
    const TLoadedCycle loaded = LoadCycle(options, path, boxes);
    return {AnalysePressureCycle(loaded.Cycle, inputs.Geometry, inputs.Settings, reference,
                                 options.HeatTransfer.Rpm.value_or(0)),
            loaded.CycleCount, loaded.Rpm};
}

void WriteCyclesFile(const TCombustionOptions& options, const TFileAnalysis& file) {
    if (options.CyclesPath) {
        WriteFileReplacing(*options.CyclesPath, CycleTableText(file.Analysis, kBatchNumbers));
    }
}

std::string CombustionReport(const TCombustionOptions& options, IMessageBoxes& boxes) {
    const TFileProgress shown(options.CyclePath);
    if (HasCylinders(options)) {
        return CylinderReport(options, boxes);
    }
    const TFileAnalysis file = AnalysePressureFile(options, options.CyclePath, boxes);
    WriteCyclesFile(options, file);
    TMemoryValueList list;
    ListPressureAnalysis(file.Analysis, list, kBatchNumbers);
    return SemicolonPairs(list);
}

std::string CombustionReportWithin(const TCombustionOptions& options, IMessageBoxes& boxes) {
    if (!options.Timeout) {
        return CombustionReport(options, boxes);
    }
    // The file is read on a worker that may be left behind; what it shows and
    // how it ends are kept, and shown here only once it has ended in time.
    struct TKeptBoxes : IMessageBoxes {
        void ShowInfo(const std::string& text) override { Shown.emplace_back(false, text); }
        void ShowErrorBox(const std::string& text) override { Shown.emplace_back(true, text); }
        std::vector<std::pair<bool, std::string>> Shown;  // (error box, text)
    };
    struct TKeptRun {
        TKeptBoxes Boxes;
        std::string Report;
        std::exception_ptr Failure;
    };
    const auto kept = std::make_shared<TKeptRun>();
    bool givenUp = false;
    TFileWork work;
    work.Count = 1;
    work.Timeout = options.Timeout;
    work.Job = [options, kept](std::size_t) {
        try {
            kept->Report = CombustionReport(options, kept->Boxes);
        } catch (...) {
            kept->Failure = std::current_exception();
        }
        return TFileResult{};
    };
    work.GiveUp = [&givenUp](std::size_t) {
        givenUp = true;
        return TFileResult{};
    };
    RunFileWork(work, [](const TFileResult&) {});
    if (givenUp) {
        RaiseFileTimeoutError(options.CyclePath, FormatFloatGeneral(*options.Timeout, kBatchNumbers));
    }
    for (const auto& [error, text] : kept->Boxes.Shown) {
        error ? boxes.ShowErrorBox(text) : boxes.ShowInfo(text);
    }
    if (kept->Failure) {
        std::rethrow_exception(kept->Failure);
    }
    return kept->Report;
}

std::string TdcReport(const TCombustionOptions& options, IMessageBoxes& boxes) {
    const TPressureReference reference = ParseReferenceTexts(options.Reference, kBatchNumbers);
    // The engine's texts are judged before the file is read.
    const TSignalTable volumes = PeggingVolumes(reference, options.Texts, kBatchNumbers);
    const TFileProgress shown(options.CyclePath);
    const TLoadedCycle loaded = LoadCycle(options, options.CyclePath, boxes);
    const double shift =
        ProposeCycleTdcShift(loaded.Cycle, reference, volumes, options.LossAngle, kBatchNumbers);
    return std::string(kTdcShiftName) + ";" + RoundedFigure(shift, kFineStep, kBatchNumbers) + "\n";
}

}  // namespace morvane
