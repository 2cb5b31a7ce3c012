#pragma once

// What a control holds of the set-up. Most hold the work: a change is the
// user's change of the set-up, an undo step and the title's "*". The view (a
// cursor, a slider, the kinds shown) is saved only with "Uložit i pohled", so
// its change is a change only for a set-up that keeps its view, and never an
// undo step. A display control (a plot's scale, a comparison laid over the
// plots) is no part of the set-up at all.

class QObject;
class QWidget;

namespace morvane {

enum class TControlRole { Work, View, Display };

// Marks the control, and every control under it, with the role.
void SetControlRole(QWidget* control, TControlRole role);

// The role marked on the control or the nearest widget above it; Work when none is.
TControlRole ControlRoleOf(const QObject* control);

}  // namespace morvane
