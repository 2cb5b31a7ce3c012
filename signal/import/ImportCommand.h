#pragma once

// The import commands of the File menu, without the window: the open dialog
// (or the encoder dialog's options), the remembered path, the import and the
// redraw.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "signal/Signal.h"
#include "signal/import/EncoderImport.h"
#include "signal/pressure/PressureCycle.h"
#include "util/dialogutil.h"
#include "util/messages.h"
#include "util/numtext.h"

namespace morvane {

enum class TImportKind { Angle, Time };

// What an import command reads and writes of the session.
struct TImportTarget {
    TSignalTable& Signal;
    std::string& LastImportFile;                           // the dialog's initial name, then the chosen path
    std::shared_ptr<const TPressureCycle>& PressureCycle;  // the encoder import's cycles in their units
    // The cycle the signal shows, while it shows one: the encoder import's;
    // none after an angle or time import.
    std::shared_ptr<const TPressureCycle>& SignalCycle;
    // Each cylinder's cycles of a recording with several pressure channels.
    std::vector<std::shared_ptr<const TPressureCycle>>& CylinderCycles;
    TNumberFormat Numbers;  // of the texts read
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

// "Import signal (ENCODER)...": the recording of the options onto the cycle.
// Only a successful import changes the target: the signal, the pressure cycle
// (the mean and every complete cycle in the file's units) and the last import
// path; then redraw runs. A failure leaves all of them as they were.
void RunEncoderImportCommand(const TEncoderOptions& options, IMessageBoxes& boxes,
                             const TImportTarget& target, const std::function<void()>& redraw);

// The recording read again for its cycles alone (a new knock band measures
// MAPO anew): the pressure cycle and the signal's cycle change, the signal
// and the summary do not. A failure leaves both as they were.
void RereadRecordedCycles(const TEncoderOptions& options, const TImportTarget& target);

}  // namespace morvane
