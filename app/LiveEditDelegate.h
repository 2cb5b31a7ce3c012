#pragma once

// An item delegate whose editor writes every keystroke into its cell at once,
// so a command started while a cell is still being edited (the buttons never
// take the focus) reads what the user sees.

#include <QStyledItemDelegate>

namespace morvane {

class TLiveEditDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    // Leaves an editor alone whose text is already the cell's, so writing a
    // keystroke back does not move the text cursor.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
};

}  // namespace morvane
