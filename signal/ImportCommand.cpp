#include "signal/ImportCommand.h"

#include <string>

#include "signal/AngleImport.h"
#include "signal/Signal.h"
#include "signal/TimeImport.h"

namespace morvane {

void RunImportCommand(IOpenDialog* dialog, IMessageBoxes& boxes, TImportKind kind,
                      const std::function<void()>& redraw) {
    const std::string path = ExecuteOpenDialog(dialog, CSVFilter, LastImportFile);
    if (path.empty()) {
        return;
    }
    LastImportFile = path;
    if (kind == TImportKind::ikAngle) {
        ImportAngleSignal(path, boxes, Signal);
    } else {
        ImportTimeSignal(path, boxes, Signal);
    }
    if (redraw) {
        redraw();
    }
}

void RunAngleImportCommand(IOpenDialog* dialog, IMessageBoxes& boxes, const std::function<void()>& redraw) {
    RunImportCommand(dialog, boxes, TImportKind::ikAngle, redraw);
}

void RunTimeImportCommand(IOpenDialog* dialog, IMessageBoxes& boxes, const std::function<void()>& redraw) {
    RunImportCommand(dialog, boxes, TImportKind::ikTime, redraw);
}

}  // namespace morvane
