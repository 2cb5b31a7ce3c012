#include "ModalBoxCatcher.h"

#include <QApplication>
#include <QDialog>

TModalBoxCatcher::TModalBoxCatcher(std::function<void(QWidget*)> handler) : m_handler(std::move(handler)) {
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &TModalBoxCatcher::poll);
    m_timer.start();
}

void TModalBoxCatcher::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
        return;
    }
    m_caught = true;
    ++m_boxes;
    m_title = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        m_text = box->text();
        m_icon = box->icon();
    }
    if (m_handler) {
        m_handler(modal);
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->accept();
    }
}
