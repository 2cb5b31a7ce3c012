#include "app/MenuKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

namespace morvane {

void TMenuKeys::attach(QMenuBar* menuBar) {
    new TMenuKeys(menuBar);
}

TMenuKeys::TMenuKeys(QMenuBar* menuBar) : QObject(menuBar), m_menuBar(menuBar) {
    auto* f10 = new QAction(menuBar->window());
    f10->setShortcut(Qt::Key_F10);
    f10->setShortcutContext(Qt::WindowShortcut);
    menuBar->window()->addAction(f10);
    connect(f10, &QAction::triggered, this, &TMenuKeys::openFirstMenu);
    // A lone Alt is seen wherever the focus is, so the whole application is watched.
    qApp->installEventFilter(this);
}

void TMenuKeys::openFirstMenu() {
    const QList<QAction*> menus = m_menuBar->actions();
    if (!menus.isEmpty() && QApplication::activeModalWidget() == nullptr &&
        QApplication::activePopupWidget() == nullptr) {
        m_menuBar->setActiveAction(menus.first());
    }
}

bool TMenuKeys::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
            // The same press is seen once for every widget it passes through.
            m_altAlone = static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt &&
                         (m_altAlone || event->type() == QEvent::KeyPress);
            break;
        case QEvent::KeyRelease:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt && m_altAlone) {
                m_altAlone = false;
                if (QApplication::activeWindow() == m_menuBar->window()) {
                    openFirstMenu();
                }
            }
            break;
        case QEvent::MouseButtonPress:
            m_altAlone = false;
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace morvane
