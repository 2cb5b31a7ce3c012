#include "app/pages/TableKeyboard.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>

#include "app/history/EditHistory.h"
#include "app/pages/LiveEditDelegate.h"
#include "app/widgets/QtControls.h"
#include "app/widgets/TableClipboard.h"

namespace morvane {

namespace {

bool IsTab(const QKeyEvent* key) {
    return key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
}

bool IsEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// Modifiers that change what a plain key means; the keypad flag does not.
Qt::KeyboardModifiers Meaningful(const QKeyEvent* key) {
    return key->modifiers() & ~Qt::KeypadModifier;
}

// Arriving in a cell selects its whole text: the arrows then move on at once,
// as in a spreadsheet; once the user has placed the cursor they edit the text.
bool AtStart(const QLineEdit* editor) {
    return editor->selectedText() == editor->text() ||
           (!editor->hasSelectedText() && editor->cursorPosition() == 0);
}

bool AtEnd(const QLineEdit* editor) {
    return editor->selectedText() == editor->text() ||
           (!editor->hasSelectedText() && editor->cursorPosition() == editor->text().size());
}

}  // namespace

QTableWidget* TTableKeyboard::tableWithFocus() {
    for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* table = qobject_cast<QTableWidget*>(w)) {
            return table;
        }
    }
    return nullptr;
}

void TTableKeyboard::keepFocusIn(QTableWidget* table) {
    if (table != nullptr && table->isVisible() && tableWithFocus() != table) {
        table->setFocus(Qt::OtherFocusReason);
    }
}

void TTableKeyboard::attach(QTableWidget* table) {
    auto* keyboard = new TTableKeyboard(table);
    if (table->editTriggers() != QAbstractItemView::NoEditTriggers) {
        table->setItemDelegate(new TLiveEditDelegate(keyboard, table));
    }
}

TTableKeyboard::TTableKeyboard(QTableWidget* table) : QObject(table), m_table(table) {
    m_table->setTabKeyNavigation(false);
    m_table->installEventFilter(this);
}

bool TTableKeyboard::isEditableCell(int row, int column) const {
    const QTableWidgetItem* item = m_table->item(row, column);
    return item != nullptr && !m_table->isRowHidden(row) && (item->flags() & Qt::ItemIsEditable);
}

void TTableKeyboard::enterAtFirstEditableCell() {
    const int current = m_table->currentRow();
    if (isEditableCell(current, m_table->currentColumn())) {
        return;
    }
    // The current row first: a click on a key or a row number, then a key.
    if (current >= 0) {
        for (int column = 0; column < m_table->columnCount(); ++column) {
            if (isEditableCell(current, column)) {
                m_table->setCurrentCell(current, column);
                return;
            }
        }
    }
    for (int row = 0; row < m_table->rowCount(); ++row) {
        for (int column = 0; column < m_table->columnCount(); ++column) {
            if (isEditableCell(row, column)) {
                m_table->setCurrentCell(row, column);
                return;
            }
        }
    }
}

bool TTableKeyboard::moveBy(int rows, int columns) {
    const int row = m_table->currentRow() + rows;
    const int column = m_table->currentColumn() + columns;
    if (!isEditableCell(row, column)) {
        return false;
    }
    // Changing the current cell commits and closes the editor; the new cell's
    // editor opens with its text selected.
    m_table->setCurrentCell(row, column);
    return true;
}

void TTableKeyboard::moveDownOrLeave() {
    if (!moveBy(1, 0)) {
        leave(true);
    }
}

void TTableKeyboard::leave(bool forward) {
    // Taking the focus back closes an open editor, its text already written;
    // the Tab then goes on from the table, as from any other control.
    m_table->setFocus(Qt::OtherFocusReason);
    QKeyEvent tab(QEvent::KeyPress, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                  forward ? Qt::NoModifier : Qt::ShiftModifier);
    QCoreApplication::sendEvent(m_table, &tab);
}

bool TTableKeyboard::commonKey(QKeyEvent* key, const QLineEdit* editor) {
    const bool partial =
        editor != nullptr && editor->hasSelectedText() && editor->selectedText() != editor->text();
    if (key->matches(QKeySequence::Copy)) {
        if (partial && m_table->selectedRanges().size() <= 1 && m_table->selectedItems().size() <= 1) {
            return false;  // part of one cell's text: the editor copies it
        }
        CopyCells(m_table);
        return true;
    }
    if (key->matches(QKeySequence::Paste) && m_table->editTriggers() != QAbstractItemView::NoEditTriggers) {
        const QString text = QGuiApplication::clipboard()->text();
        if (editor != nullptr && !IsCellBlock(text)) {
            return false;  // a piece of one cell goes where the text cursor is, as typed
        }
        TQtMessageBoxes boxes(m_table->window());
        const TEditStep step(m_table, QStringLiteral("Vložení"));
        RunGuarded(boxes, [this, &text] { PasteCells(m_table, text); });
        return true;
    }
    if (IsEnter(key) && Meaningful(key) == Qt::NoModifier) {
        moveDownOrLeave();
        return true;
    }
    return false;
}

bool TTableKeyboard::editorEvent(QLineEdit* editor, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (commonKey(key, editor)) {
        return true;
    }
    if (IsTab(key)) {
        // The table itself lets Tab go on; Ctrl+Tab belongs to the pages and
        // never moves inside the table.
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            leave(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
        }
        return true;
    }
    if (Meaningful(key) != Qt::NoModifier) {
        return false;
    }
    switch (key->key()) {
        case Qt::Key_Up:
            moveBy(-1, 0);
            return true;
        case Qt::Key_Down:
            moveBy(1, 0);
            return true;
        case Qt::Key_Left:
            return AtStart(editor) && moveBy(0, -1);
        case Qt::Key_Right:
            return AtEnd(editor) && moveBy(0, 1);
        default:
            return false;
    }
}

bool TTableKeyboard::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_table) {
        return false;
    }
    const bool editable = m_table->editTriggers() != QAbstractItemView::NoEditTriggers;
    if (event->type() == QEvent::FocusIn && editable) {
        // Arriving by the keyboard lands on a cell that can be typed into.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::MouseFocusReason && reason != Qt::PopupFocusReason) {
            enterAtFirstEditableCell();
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Typing on a key or a row number, or in a list rebuilt under the
        // focus, goes into the row's value; other keys (a paste included)
        // act where the user put the current cell.
        const bool typing = !key->text().isEmpty() && key->text().at(0).isPrint() &&
                            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (editable && typing && !isEditableCell(m_table->currentRow(), m_table->currentColumn())) {
            enterAtFirstEditableCell();
            // The cell's editor opened with the new current cell: the key is its first.
            QWidget* editor = QApplication::focusWidget();
            if (editor != nullptr && editor != m_table && m_table->isAncestorOf(editor)) {
                QCoreApplication::sendEvent(editor, key);
                return true;
            }
        }
        if (IsEnter(key) && !editable) {
            return false;  // a read-only table keeps its own keys
        }
        return commonKey(key, nullptr);
    }
    return false;
}

}  // namespace morvane
