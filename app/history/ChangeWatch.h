#pragma once

// Tells the window that the user changed what a set-up holds: a typed text, a
// slider, a check box, a choice, a cell of an input table, or a button's
// command. Changes the program makes itself (a field filled from a file, an
// output table written) are not reported, so the window's "*" means changes
// the user would lose.

#include <QList>

#include <functional>

class QTableWidget;
class QWidget;

namespace morvane {

// Watches the controls under page; inputTables are the tables whose cells
// are typed data (other tables are outputs). A control marked as the view
// (app/widgets/ControlRole.h) tells viewChanged instead; a display control
// nothing.
void WatchTypedChanges(QWidget* page, const QList<const QTableWidget*>& inputTables,
                       const std::function<void()>& changed, const std::function<void()>& viewChanged);

}  // namespace morvane
