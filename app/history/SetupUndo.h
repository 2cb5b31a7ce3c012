#pragma once

// "Open..." of a set-up as one undo step. Opening changes every control and
// starts the session afresh, so the step keeps the whole window before and
// after it: undo puts back what was there, redo what the open left, without
// reading the file again.

#include <QUndoCommand>

#include <functional>
#include <string>

#include "events/Session.h"
#include "events/Setup.h"

namespace morvane {

// What opening a set-up changes in the window.
struct TWindowSnapshot {
    TSetup Setup;  // every control's text
    TSession Session;
    std::string Path;  // the set-up file of the title and of the next save
    bool Modified = false;
};

class TOpenSetupCommand : public QUndoCommand {
public:
    using TApply = std::function<void(const TWindowSnapshot&)>;

    // The open is already done when the step is pushed; apply puts a snapshot into the window.
    TOpenSetupCommand(const QString& text, TWindowSnapshot before, TWindowSnapshot after, TApply apply);

    void redo() override;
    void undo() override;

private:
    TWindowSnapshot m_before;
    TWindowSnapshot m_after;
    TApply m_apply;
    bool m_done = false;
};

}  // namespace morvane
