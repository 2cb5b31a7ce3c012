#include "app/dialogs/QtSaveDialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>

namespace morvane {

void TQtSaveDialog::setFilter(const std::string& filter) {
    m_dialog.setFilter(filter);
    turnToSaving();
}

void TQtSaveDialog::setDefaultExt(const std::string& extension) {
    m_dialog.setDefaultExt(extension);
    turnToSaving();
}

void TQtSaveDialog::setFilterIndex(int index) {
    m_dialog.setFilterIndex(index);
    turnToSaving();
}

void TQtSaveDialog::setFileName(const std::string& name) {
    m_dialog.setFileName(name);
    turnToSaving();
}

bool TQtSaveDialog::execute() {
    return m_dialog.execute();
}

void TQtSaveDialog::offerChoice(const QString& text, const QString& name) {
    m_choiceText = text;
    m_choiceName = name;
}

bool TQtSaveDialog::choiceTicked() const {
    return m_choice != nullptr ? m_choice->isChecked() : m_choiceTicked;
}

void TQtSaveDialog::tickChoice(bool ticked) {
    m_choiceTicked = ticked;
    if (m_choice != nullptr) {
        m_choice->setChecked(ticked);
    }
}

// Every call above builds the dialog, so it exists here. The dialog draws
// its own widgets (not the desktop's), so its grid takes one row more.
void TQtSaveDialog::turnToSaving() {
    QFileDialog* dialog = m_dialog.dialogIfBuilt();
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    auto* grid = qobject_cast<QGridLayout*>(dialog->layout());
    if (m_choice == nullptr && !m_choiceText.isEmpty() && grid != nullptr) {
        m_choice = new QCheckBox(m_choiceText, dialog);
        m_choice->setObjectName(m_choiceName);
        m_choice->setChecked(m_choiceTicked);
        grid->addWidget(m_choice, grid->rowCount(), 0, 1, grid->columnCount());
    }
}

}  // namespace morvane
