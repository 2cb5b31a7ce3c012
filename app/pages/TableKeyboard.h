#pragma once

// The keyboard of every table and key/value list, the same on every page:
// - Tab and Shift+Tab leave the table, also from an open editor;
// - in an open editor the arrow keys finish the cell and move when the text
//   cursor is at that edge (Left at the start, Right at the end, Up and Down
//   always), Enter finishes the cell and moves down, and leaves the table
//   after the last row;
// - Ctrl+C copies the selected rectangle as tab-separated lines, Ctrl+V
//   pastes such a block from the current cell on (app/widgets/TableClipboard.h).
// Editable tables get the live-edit delegate, so a cell being edited counts
// at once.

#include <QObject>

class QKeyEvent;
class QLineEdit;
class QTableWidget;

namespace morvane {

class TTableKeyboard : public QObject {
    Q_OBJECT

public:
    // Sets the rules up on a table; they live as long as the table.
    static void attach(QTableWidget* table);

    // The table that has the focus, itself or in a cell's editor, if any.
    static QTableWidget* tableWithFocus();
    // A command that rebuilds a list removes the cell being edited, and the
    // focus would move on with the editor's: it goes back to the table.
    static void keepFocusIn(QTableWidget* table);

    // An event of one of the table's open editors; true when handled here.
    bool editorEvent(QLineEdit* editor, QEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TTableKeyboard(QTableWidget* table);

    bool commonKey(QKeyEvent* key, const QLineEdit* editor);
    bool moveBy(int rows, int columns);
    void moveDownOrLeave();
    void leave(bool forward);
    bool isEditableCell(int row, int column) const;
    void enterAtFirstEditableCell();

    QTableWidget* m_table;
};

}  // namespace morvane
