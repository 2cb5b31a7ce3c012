#include "signal/import/ImportCommand.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "signal/import/AngleImport.h"
#include "signal/import/TimeImport.h"

namespace morvane {

void RunImportCommand(IOpenDialog* dialog, IMessageBoxes& boxes, TImportKind kind,
                      const TImportTarget& target, const std::function<void()>& redraw) {
    const std::string path = ExecuteOpenDialog(dialog, CSVFilter, target.LastImportFile);
    if (path.empty()) {
        return;
    }
    target.LastImportFile = path;
    if (kind == TImportKind::Angle) {
        ImportAngleSignal(path, boxes, target.Signal, target.Numbers);
    } else {
        ImportTimeSignal(path, boxes, target.Signal, target.Numbers);
    }
    target.SignalCycle = nullptr;
    target.CylinderCycles.clear();
    if (redraw) {
        redraw();
    }
}

void RunAngleImportCommand(IOpenDialog* dialog, IMessageBoxes& boxes, const TImportTarget& target,
                           const std::function<void()>& redraw) {
    RunImportCommand(dialog, boxes, TImportKind::Angle, target, redraw);
}

void RunTimeImportCommand(IOpenDialog* dialog, IMessageBoxes& boxes, const TImportTarget& target,
                          const std::function<void()>& redraw) {
    RunImportCommand(dialog, boxes, TImportKind::Time, target, redraw);
}

namespace {

// Reads the recording; with several pressure channels each channel's
// cycles are gathered as the import hands them on.
TEncoderResult ReadRecording(TEncoderOptions options, std::vector<TPressureCycle>& cylinders) {
    cylinders.assign(options.Channels.size(), {});
    if (!options.Channels.empty()) {
        options.CycleSink = [&cylinders](const TEncoderCycle& cycle) {
            TPressureCycle& cylinder = cylinders[static_cast<std::size_t>(cycle.Channel)];
            cylinder.Cycles.push_back(cycle.Points);
            cylinder.CycleRpm.push_back(cycle.Rpm);
            cylinder.EngineCycles.push_back(cycle.EngineCycle);
            if (cycle.KnockKnown) {
                cylinder.Knock.push_back({cycle.Mapo, cycle.Knocks});
            }
        };
    }
    return ImportEncoderRecording(options);
}

// The recording's cycles become the session's pressure cycle and the cycle
// the signal shows; of several cylinders, cylinder 1's.
void TakeRecordedCycles(TEncoderResult result, std::vector<TPressureCycle> cylinders,
                        const TEncoderOptions& options, const TImportTarget& target) {
    target.CylinderCycles.clear();
    for (std::size_t k = 0; k < cylinders.size() && k < result.ChannelMeans.size(); ++k) {
        TPressureCycle& cylinder = cylinders[k];
        cylinder.Mean = result.ChannelMeans[k];
        cylinder.Source = options.Path;
        cylinder.InBar = result.InBar;
        cylinder.Rpm = result.Rpm;
        if (cylinder.Knock.size() != cylinder.Cycles.size()) {
            cylinder.Knock.clear();
        }
        target.CylinderCycles.push_back(std::make_shared<const TPressureCycle>(std::move(cylinder)));
    }
    target.PressureCycle =
        target.CylinderCycles.empty()
            ? std::make_shared<const TPressureCycle>(PressureCycleOf(std::move(result), options.Path))
            : target.CylinderCycles.front();
    target.SignalCycle = target.PressureCycle;
}

}  // namespace

void RunEncoderImportCommand(const TEncoderOptions& options, IMessageBoxes& boxes,
                             const TImportTarget& target, const std::function<void()>& redraw) {
    std::vector<TPressureCycle> cylinders;
    TEncoderResult result = ReadRecording(options, cylinders);
    ShowEncoderResult(result, boxes, target.Signal);
    TakeRecordedCycles(std::move(result), std::move(cylinders), options, target);
    target.LastImportFile = options.Path;
    if (redraw) {
        redraw();
    }
}

void RereadRecordedCycles(const TEncoderOptions& options, const TImportTarget& target) {
    std::vector<TPressureCycle> cylinders;
    TEncoderResult result = ReadRecording(options, cylinders);
    TakeRecordedCycles(std::move(result), std::move(cylinders), options, target);
}

}  // namespace morvane
