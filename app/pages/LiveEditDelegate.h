#pragma once

// An item delegate whose editor writes every keystroke into its cell at once,
// so a command started while a cell is still being edited (the buttons never
// take the focus) reads what the user sees. The table's keyboard rules see
// the editor's keys first (app/pages/TableKeyboard.h).

#include <QStyledItemDelegate>

namespace morvane {

class TTableKeyboard;

class TLiveEditDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    TLiveEditDelegate(TTableKeyboard* keyboard, QObject* parent)
        : QStyledItemDelegate(parent), m_keyboard(keyboard) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    // Leaves an editor alone whose text is already the cell's, so writing a
    // keystroke back does not move the text cursor.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TTableKeyboard* m_keyboard;
};

}  // namespace morvane
