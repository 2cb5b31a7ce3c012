#include "app/dialogs/SaveQuestion.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "app/widgets/QtControls.h"

namespace morvane {

TSaveAnswer AskToSaveChanges(QWidget* window, const std::string& setupPath) {
    const QString what = setupPath.empty() ? QStringLiteral("nepojmenovaném nastavení motoru")
                                           : QFileInfo(ToQString(setupPath)).fileName();
    const TOverrideCursor arrow(Qt::ArrowCursor);
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(),
                    QStringLiteral("Uložit změny v %1?").arg(what), QMessageBox::NoButton, window);
    box.setObjectName("SaveQuestion");
    QPushButton* save = box.addButton(QStringLiteral("Uložit"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("Zahodit"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Zrušit"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) {
        return TSaveAnswer::Save;
    }
    return box.clickedButton() == discard ? TSaveAnswer::Discard : TSaveAnswer::Cancel;
}

}  // namespace morvane
