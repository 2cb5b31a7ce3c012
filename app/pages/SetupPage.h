#pragma once

// The one contract between the window and its pages. The window knows a page
// only as a TSetupPage: it takes the page's part of the set-up out and puts
// it in, asks it to show the session anew, and hears changed() when the user
// changes what the page holds of the set-up. Everything a page needs of
// another page it reads from the window's TPageSession (app/pages/PageSession.h).
// A new page is a TSetupPage and one line in app/window/WindowPages.cpp.

#include <QKeySequence>
#include <QList>
#include <QWidget>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "util/controls.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace morvane {

class TEditHistory;
struct TReport;
struct TSetup;

// Why the window asks the pages to show the session anew.
enum class TSessionChange {
    // An open, an undo or "Nový" put a set-up and its session in place.
    SetupShown,
    // An import left a new pressure cycle in the session.
    CycleImported,
};

// A button's command with its key; the window runs it as one user change.
struct TPageCommand {
    QPushButton* Button;
    QKeySequence Key;
    std::function<void()> Run;
};

// A table whose cells the user types: its changes are changes of the set-up,
// and the undo history keeps its texts. One of List and Grid is set.
struct TTypedTable {
    QTableWidget* Table;
    IValueList* List = nullptr;
    ICellGrid* Grid = nullptr;
};

class TSetupPage : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // Copies the page's part of the set-up into setup.
    virtual void takeSetup(TSetup& setup) const = 0;
    // Shows setup's part on the page as the program sets a control, which
    // is no change of the user's.
    virtual void fillSetup(const TSetup& setup) = 0;
    // Shows the session anew after the window changed it.
    virtual void refreshFromSession(TSessionChange change);

    // What the window joins to the page; none by default.
    virtual std::vector<TPageCommand> commands();
    virtual std::vector<TTypedTable> typedTables() const;
    // The tables that commands write, which "Nový" puts back as they started.
    virtual QList<QTableWidget*> writtenTables() const;
    // A line the window shows under the pages.
    virtual QWidget* statusLine() const;
    // Where a keyboard user starts typing when the window opens.
    virtual void focusStart();
    // Adds what the page shows, as it shows it, to the printed report.
    virtual void addToReport(TReport& report) const;

    // From now on the user's changes of the page's controls and typed tables
    // emit changed(), those of its view viewChanged().
    void watchChanges();

signals:
    void changed();
    // The user moved what the set-up keeps only with its view (app/widgets/ControlRole.h).
    void viewChanged();
};

// A page's text field and the set-up text it holds.
using TFieldText = std::pair<QLineEdit*, std::string*>;

// Copies each field's text into its set-up text, or the reverse.
void TakeFieldTexts(const std::vector<TFieldText>& fields);
void FillFieldTexts(const std::vector<TFieldText>& fields);

}  // namespace morvane
