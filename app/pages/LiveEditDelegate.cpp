#include "app/pages/LiveEditDelegate.h"

#include <QLineEdit>

#include "app/pages/TableKeyboard.h"
#include "app/widgets/TextLimit.h"

namespace morvane {

QWidget* TLiveEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        TTextLimit::attach(line);
        connect(line, &QLineEdit::textEdited, this,
                [this, line] { emit const_cast<TLiveEditDelegate*>(this)->commitData(line); });
    }
    return editor;
}

void TLiveEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* line = qobject_cast<QLineEdit*>(editor);
        line != nullptr && line->text() == index.data().toString()) {
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

bool TLiveEditDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (auto* line = qobject_cast<QLineEdit*>(watched);
        line != nullptr && m_keyboard->editorEvent(line, event)) {
        return true;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

}  // namespace morvane
