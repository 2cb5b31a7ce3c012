#pragma once

// The two import commands of the File menu, without the window: the open
// dialog, the remembered path, the import and the redraw.

#include <functional>
#include <string>

#include "signal/Signal.h"
#include "util/dialogutil.h"
#include "util/messages.h"

namespace morvane {

enum class TImportKind { ikAngle, ikTime };

// What an import command reads and writes of the session.
struct TImportTarget {
    TSignalTable& Signal;
    std::string& LastImportFile;  // the dialog's initial name, then the chosen path
};

// Asks for a file (CSV filter, the last import path as the initial name). On
// cancel nothing changes. Otherwise the last import path takes the path before
// the import runs, so it stays remembered when the import fails; redraw runs
// only after a successful import. Failures propagate to the caller's command
// guard.
void RunImportCommand(IOpenDialog* dialog, IMessageBoxes& boxes, TImportKind kind,
                      const TImportTarget& target, const std::function<void()>& redraw);

// "Import signal (ANGLE)..." and "Import Signal (TIME)...".
void RunAngleImportCommand(IOpenDialog* dialog, IMessageBoxes& boxes, const TImportTarget& target,
                           const std::function<void()>& redraw);
void RunTimeImportCommand(IOpenDialog* dialog, IMessageBoxes& boxes, const TImportTarget& target,
                          const std::function<void()>& redraw);

}  // namespace morvane
