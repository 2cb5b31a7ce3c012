#include "signal/import/ImportCommand.h"

#include <memory>
#include <string>

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

// The recording's cycles become the session's pressure cycle and the cycle the signal shows.
void TakeRecordedCycles(TEncoderResult result, const TEncoderOptions& options, const TImportTarget& target) {
    target.PressureCycle =
        std::make_shared<const TPressureCycle>(PressureCycleOf(std::move(result), options.Path));
    target.SignalCycle = target.PressureCycle;
}

}  // namespace

void RunEncoderImportCommand(const TEncoderOptions& options, IMessageBoxes& boxes,
                             const TImportTarget& target, const std::function<void()>& redraw) {
    TEncoderResult result = ImportEncoderRecording(options);
    ShowEncoderResult(result, boxes, target.Signal);
    TakeRecordedCycles(std::move(result), options, target);
    target.LastImportFile = options.Path;
    if (redraw) {
        redraw();
    }
}

void RereadRecordedCycles(const TEncoderOptions& options, const TImportTarget& target) {
    TakeRecordedCycles(ImportEncoderRecording(options), options, target);
}

}  // namespace morvane
