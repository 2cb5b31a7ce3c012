#pragma once

// Undo and redo of the fields of the pages "Rozvod" and "Spalování": a text
// field, a list box or a check box the user changes is one step "Úprava pole
// <caption>" ("Volba <caption>" for a list box) holding the value before and
// after. The keystrokes of one editing (until Enter or the focus leaves) merge
// into one step, and a command that Enter runs in the field joins that step.
// An undo or a redo sets the value as code does, so the page recomputes as
// after the user's own change and no new step is made.

#include <functional>

class QUndoStack;
class QWidget;

namespace morvane {

// The window's "unsaved changes" mark, which a step keeps and puts back.
struct TModifiedMark {
    std::function<bool()> Get;
    std::function<void(bool)> Set;
};

// Makes the user's changes of every field under page steps on stack; both
// outlive the page's fields.
void TrackFieldSteps(QWidget* page, QUndoStack& stack, const TModifiedMark& modified);

}  // namespace morvane
