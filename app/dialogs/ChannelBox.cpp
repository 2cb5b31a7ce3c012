#include "app/dialogs/ChannelBox.h"

#include <QCompleter>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

namespace morvane {

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
    // An inline completion would turn a typed "1" into "10" unseen.
    auto* completer = new QCompleter(this);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setModel(model());
    setCompleter(completer);
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
