#pragma once

// The two import commands of the File menu, without the window: the open
// dialog, the remembered path, the import and the redraw.

#include <functional>

#include "util/dialogutil.h"
#include "util/messages.h"

namespace morvane {

enum class TImportKind { ikAngle, ikTime };

// Asks for a file (CSV filter, LastImportFile as the initial name). On cancel
// nothing changes. Otherwise LastImportFile takes the path before the import
// runs, so it stays remembered when the import fails; redraw runs only after
// a successful import. Failures propagate to the caller's command guard.
void RunImportCommand(IOpenDialog* dialog, IMessageBoxes& boxes, TImportKind kind,
                      const std::function<void()>& redraw);

// "Import signal (ANGLE)..." and "Import Signal (TIME)...".
void RunAngleImportCommand(IOpenDialog* dialog, IMessageBoxes& boxes, const std::function<void()>& redraw);
void RunTimeImportCommand(IOpenDialog* dialog, IMessageBoxes& boxes, const std::function<void()>& redraw);

}  // namespace morvane
