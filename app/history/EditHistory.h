#pragma once

// Undo and redo of what the user types: the main parameters, the cylinder
// table and the correction list, with the session's events that belong to
// them. Each step keeps the whole state before and after it (a few hundred
// texts at most), so undoing any command is restoring texts, and no command
// needs an inverse of its own.
//
// | member          | objectName | what it is                                 |
// |-----------------|------------|--------------------------------------------|
// | (the menu)      | Edit1      | the menu "Úpravy", after "File"            |
// | m_undoAction    | Undo1      | "Zpět <step>": Ctrl+Z                      |
// | m_redoAction    | Redo1      | "Znovu <step>": Ctrl+Shift+Z, Ctrl+Y       |
//
// A command becomes one step by holding a TEditStep while it runs; a cell
// edit is one step from the editor's opening to its closing, merged from its
// keystrokes.

#include <QObject>
#include <QString>
#include <QUndoCommand>

#include <memory>
#include <string>
#include <vector>

#include "events/Recalculation.h"
#include "events/Session.h"
#include "util/controls.h"

class QAction;
class QMenu;
class QMenuBar;
class QTableWidget;
class QUndoStack;
class QWidget;

namespace morvane {

// The texts of the tracked tables, row by row, and the session's events.
struct TEditState {
    std::vector<std::vector<std::vector<std::string>>> Tables;
    TEventList Events;

    bool operator==(const TEditState&) const = default;
};

// The id of the steps that may join: a field's typing and the command its
// Enter starts are one step (app/history/FieldUndo).
inline constexpr int kTypedStepId = 2;

// A command's step that the typing before it can take in: a copy of it,
// already done, runs inside the typing's step.
class TJoinableStep : public QUndoCommand {
public:
    using QUndoCommand::QUndoCommand;
    virtual std::unique_ptr<QUndoCommand> copy() const = 0;
};

class TEditHistory : public QObject {
    Q_OBJECT

public:
    // A child of the window, found by the steps of its widgets. The session
    // and the controls are the window's and outlive the history.
    TEditHistory(QWidget* window, TSession& session, const TRecalcControls& recalc);
    ~TEditHistory() override;

    // Tables whose texts are kept; a list's keys and values, a grid's every cell.
    void trackList(QTableWidget* table, IValueList& list);
    void trackGrid(QTableWidget* table, ICellGrid& grid);

    // Adds the menu "Úpravy" right after fileMenu.
    void createMenu(QMenuBar* bar, const QMenu* fileMenu);

    QUndoStack* stack() const { return m_stack; }
    QAction* undoAction() const { return m_undoAction; }
    QAction* redoAction() const { return m_redoAction; }

    // The history of the window that holds widget, or nullptr.
    static TEditHistory* of(const QWidget* widget);

    // Used by TEditStep; steps nest, the outermost one counts.
    void beginStep();
    void endStep(const QString& text);

    // Puts a state back: the events when they differ, then every text.
    void restore(const TEditState& state);

    // Shows the session's events in the lists, the table and the picture as a
    // command would, quietly: what does not compute keeps its last display.
    void recalculate();

signals:
    // After an undo or a redo: pages that show the restored texts read them again.
    void restored();

private:
    struct TTracked {
        QTableWidget* Table;
        IValueList* List;
        ICellGrid* Grid;
    };

    void track(const TTracked& tracked);
    TEditState capture() const;
    void cellChanged(QTableWidget* table, int row, int column);

    QUndoStack* m_stack;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    TSession& m_session;
    const TRecalcControls& m_recalc;
    std::vector<TTracked> m_tracked;
    // The state after the last step, the start of the next cell edit.
    TEditState m_base;
    TEditState m_stepBefore;
    int m_depth = 0;
    bool m_restoring = false;
    bool m_baseStale = false;
    // Counts closed cell editors: keystrokes merge only within one editing.
    int m_editing = 0;
};

// Makes the changes of one command one undo step named text; an empty text
// takes the changes as they are, without a step (e.g. texts derived anew).
// Does nothing in a widget without a history.
class TEditStep {
public:
    TEditStep(const QWidget* widget, QString text);
    ~TEditStep();
    TEditStep(const TEditStep&) = delete;
    TEditStep& operator=(const TEditStep&) = delete;

private:
    TEditHistory* m_history;
    QString m_text;
};

}  // namespace morvane
