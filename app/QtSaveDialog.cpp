#include "app/QtSaveDialog.h"

#include <QFileDialog>

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

// Every call above builds the dialog, so it exists here.
void TQtSaveDialog::turnToSaving() {
    QFileDialog* dialog = m_dialog.dialogIfBuilt();
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
}

}  // namespace morvane
