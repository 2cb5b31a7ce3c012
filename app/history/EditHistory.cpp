#include "app/history/EditHistory.h"

#include <QAbstractItemDelegate>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>

#include <memory>
#include <utility>

#include "app/widgets/QtControls.h"

namespace morvane {

namespace {

constexpr int kCellEditId = 1;

// One cell's editing: the keystrokes of one editor merge into one step.
struct TCellKey {
    const QTableWidget* Table = nullptr;
    int Row = -1;
    int Column = -1;
    int Editing = -1;

    bool operator==(const TCellKey&) const = default;
};

class TSnapshotCommand : public TJoinableStep {
public:
    TSnapshotCommand(TEditHistory& history, const QString& text, TEditState before, TEditState after,
                     TCellKey cell = {})
        : TJoinableStep(text),
          m_history(history),
          m_before(std::move(before)),
          m_after(std::move(after)),
          m_cell(cell) {}

    // The change is already made when the step is pushed.
    void redo() override {
        if (m_done) {
            m_history.restore(m_after);
        }
        m_done = true;
    }
    void undo() override { m_history.restore(m_before); }
    // A command's step may join the typing that started it; a cell's keystrokes join each other.
    int id() const override { return m_cell.Table == nullptr ? kTypedStepId : kCellEditId; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = dynamic_cast<const TSnapshotCommand*>(other);
        if (m_cell.Table == nullptr || next == nullptr || next->m_cell != m_cell) {
            return false;
        }
        m_after = next->m_after;
        // Typed and typed back: no step is left.
        setObsolete(m_after == m_before);
        return true;
    }
    std::unique_ptr<QUndoCommand> copy() const override {
        auto step = std::make_unique<TSnapshotCommand>(m_history, text(), m_before, m_after, m_cell);
        step->m_done = m_done;
        return step;
    }

private:
    TEditHistory& m_history;
    TEditState m_before;
    TEditState m_after;
    TCellKey m_cell;
    bool m_done = false;
};

}  // namespace

TEditHistory::TEditHistory(QWidget* window, TSession& session, const TRecalcControls& recalc)
    : QObject(window), m_stack(new QUndoStack(this)), m_session(session), m_recalc(recalc) {
    setObjectName("EditHistory");
}

TEditHistory::~TEditHistory() = default;

TEditHistory* TEditHistory::of(const QWidget* widget) {
    const QWidget* window = widget == nullptr ? nullptr : widget->window();
    return window == nullptr ? nullptr : window->findChild<TEditHistory*>({}, Qt::FindDirectChildrenOnly);
}

void TEditHistory::trackList(QTableWidget* table, IValueList& list) {
    track({table, &list, nullptr});
}

void TEditHistory::trackGrid(QTableWidget* table, ICellGrid& grid) {
    track({table, nullptr, &grid});
}

void TEditHistory::track(const TTracked& tracked) {
    m_tracked.push_back(tracked);
    m_base = capture();
    QTableWidget* table = tracked.Table;
    connect(table, &QTableWidget::cellChanged, this,
            [this, table](int row, int column) { cellChanged(table, row, column); });
    connect(table->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] { ++m_editing; });
}

void TEditHistory::createMenu(QMenuBar* bar, const QMenu* fileMenu) {
    auto* menu = new QMenu("Úpravy", bar);
    menu->setObjectName("EditMenu");
    const QList<QAction*> menus = bar->actions();
    const qsizetype file = menus.indexOf(fileMenu->menuAction());
    if (file >= 0 && file + 1 < menus.size()) {
        bar->insertMenu(menus[file + 1], menu);
    } else {
        bar->addMenu(menu);
    }
    m_undoAction = m_stack->createUndoAction(menu, "Zpět");
    m_undoAction->setObjectName("Undo1");
    m_undoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    m_redoAction = m_stack->createRedoAction(menu, "Znovu");
    m_redoAction->setObjectName("Redo1");
    m_redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    menu->addAction(m_undoAction);
    menu->addAction(m_redoAction);
}

TEditState TEditHistory::capture() const {
    TEditState state;
    for (const TTracked& tracked : m_tracked) {
        auto& rows = state.Tables.emplace_back();
        if (tracked.List != nullptr) {
            for (int row = 1; row <= tracked.List->rowCount(); ++row) {
                rows.push_back({tracked.List->key(row), tracked.List->value(row)});
            }
        } else {
            const int columns = tracked.Table->columnCount();
            for (int row = 0; row < tracked.Grid->rowCount(); ++row) {
                auto& cells = rows.emplace_back();
                for (int column = 0; column < columns; ++column) {
                    cells.push_back(tracked.Grid->cellText(column, row));
                }
            }
        }
    }
    state.Events = m_session.Events;
    return state;
}

// A change outside any step: typed into an open editor it is a cell edit;
// otherwise it came from code that is no step (a test, a later command), and
// the base is read again once that code is done.
void TEditHistory::cellChanged(QTableWidget* table, int row, int column) {
    if (m_restoring || m_depth > 0) {
        return;
    }
    // The cell's widget is its open editor: the tracked tables hold no other.
    if (table->cellWidget(row, column) == nullptr || m_baseStale) {
        if (!m_baseStale) {
            m_baseStale = true;
            QTimer::singleShot(0, this, [this] {
                m_base = capture();
                m_baseStale = false;
            });
        }
        return;
    }
    TEditState after = capture();
    if (after == m_base) {
        return;
    }
    m_stack->push(
        new TSnapshotCommand(*this, "Úprava buňky", m_base, after, {table, row, column, m_editing}));
    m_base = std::move(after);
}

void TEditHistory::beginStep() {
    if (m_depth++ == 0) {
        m_stepBefore = capture();
    }
}

void TEditHistory::endStep(const QString& text) {
    if (--m_depth > 0) {
        return;
    }
    TEditState after = capture();
    if (!text.isEmpty() && after != m_stepBefore) {
        m_stack->push(new TSnapshotCommand(*this, text, std::move(m_stepBefore), after));
    }
    m_base = std::move(after);
    m_baseStale = false;
}

void TEditHistory::restore(const TEditState& state) {
    m_restoring = true;
    // The main parameters first: the recalculation reads the speed.
    for (std::size_t k = 0; k < m_tracked.size() && k < state.Tables.size(); ++k) {
        const TTracked& tracked = m_tracked[k];
        const auto& rows = state.Tables[k];
        if (tracked.Grid != nullptr) {
            tracked.Grid->setRowCount(int(rows.size()));
            for (std::size_t row = 0; row < rows.size(); ++row) {
                for (std::size_t column = 0; column < rows[row].size(); ++column) {
                    tracked.Grid->setCellText(int(column), int(row), rows[row][column]);
                }
            }
            continue;
        }
        if (tracked.List == m_recalc.CorrectionList && state.Events != m_session.Events) {
            m_session.Events = state.Events;
            recalculate();
        }
        IValueList& list = *tracked.List;
        bool sameKeys = list.rowCount() == int(rows.size());
        for (int row = 1; sameKeys && row <= list.rowCount(); ++row) {
            sameKeys = list.key(row) == rows[std::size_t(row - 1)][0];
        }
        if (!sameKeys) {
            list.clear();
            for (const auto& keyValue : rows) {
                list.append(keyValue[0], keyValue[1]);
            }
        }
        for (int row = 1; sameKeys && row <= list.rowCount(); ++row) {
            if (list.value(row) != rows[std::size_t(row - 1)][1]) {
                list.setValue(row, rows[std::size_t(row - 1)][1]);
            }
        }
    }
    m_base = capture();
    m_baseStale = false;
    m_restoring = false;
    emit restored();
}

void TEditHistory::recalculate() {
    RecalculateRestored(m_session, m_recalc);
}

TEditStep::TEditStep(const QWidget* widget, QString text)
    : m_history(TEditHistory::of(widget)), m_text(std::move(text)) {
    if (m_history != nullptr) {
        m_history->beginStep();
    }
}

TEditStep::~TEditStep() {
    if (m_history != nullptr) {
        m_history->endStep(m_text);
    }
}

}  // namespace morvane
