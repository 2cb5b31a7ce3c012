#pragma once

// A column field of a recording import: typed as a text field (a column
// number, a header name), or chosen from the channels of the file once it is
// known. The field's line edit carries the box's objectName too, so it is
// filled and read as the text field it was.

#include <QComboBox>
#include <QString>
#include <QStringList>

namespace morvane {

// What a choice from the list does: takes the field's place, or joins the
// columns already given ("2,3" and a choice of 4 make "2,3,4").
enum class TChannelPick { Replace, Append };

class TChannelBox : public QComboBox {
    Q_OBJECT

public:
    TChannelBox(const QString& text, const QString& objectName, TChannelPick pick, QWidget* parent);

    QString text() const { return currentText(); }

    // The file's channels as the list; the text as typed stays.
    void offer(const QStringList& names);

    void showPopup() override;
    void hidePopup() override;

private:
    void picked(const QString& name);

    TChannelPick m_pick;
    // The text when the list was opened, which a choice joins.
    QString m_beforeList;
    bool m_listOpened = false;
};

}  // namespace morvane
