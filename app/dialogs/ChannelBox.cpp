#include "app/dialogs/ChannelBox.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTimer>

namespace morvane {

namespace {

// The editable box's list packs its rows so tight that the accent of a
// capital ("Čas") is cut off; each row gets room above and below.
class TRoomyRows : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(size.height() + 6);
        return size;
    }
};

}  // namespace

TChannelBox::TChannelBox(const QString& text, const QString& objectName, TChannelPick pick, QWidget* parent)
    : QComboBox(parent), m_pick(pick) {
    setObjectName(objectName);
    setEditable(true);
    // Enter confirms the dialog; it must not add the typed text to the channels.
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    lineEdit()->setObjectName(objectName);
    setItemDelegate(new TRoomyRows(this));
    // The box's own inline completion would turn a typed "1" into "10" unseen,
    // and a completion list would take the Enter that confirms the dialog.
    setCompleter(nullptr);
    setEditText(text);
    connect(this, &QComboBox::textActivated, this, &TChannelBox::picked);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_listOpened = false; });
}

void TChannelBox::offer(const QStringList& names) {
    const QString typed = currentText();
    const QSignalBlocker quiet(this);
    clear();
    addItems(names);
    setCurrentIndex(-1);
    setEditText(typed);
}

void TChannelBox::showPopup() {
    m_beforeList = currentText();
    m_listOpened = true;
    QComboBox::showPopup();
}

// The choice, if any, comes within the same event as the closing.
void TChannelBox::hidePopup() {
    QComboBox::hidePopup();
    QTimer::singleShot(0, this, [this] { m_listOpened = false; });
}

// Only a choice from the opened list joins: the arrow keys step through the
// channels one at a time.
void TChannelBox::picked(const QString& name) {
    const bool joins = m_pick == TChannelPick::Append && m_listOpened;
    m_listOpened = false;
    const QString before = m_beforeList.trimmed();
    if (joins && !before.isEmpty() && before != name) {
        setEditText(before + "," + name);
    }
}

}  // namespace morvane
