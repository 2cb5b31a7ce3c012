#include "app/window/MenuKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace morvane {

void TMenuKeys::attach(QMenuBar* menuBar) {
    new TMenuKeys(menuBar);
}

TMenuKeys::TMenuKeys(QMenuBar* menuBar) : QObject(menuBar), m_menuBar(menuBar) {
    // The caption "File" has no underlined letter, so Alt+F is a key of its own.
    auto* keys = new QAction(menuBar->window());
    keys->setShortcuts({QKeySequence(Qt::Key_F10), QKeySequence(Qt::ALT | Qt::Key_F)});
    keys->setShortcutContext(Qt::WindowShortcut);
    menuBar->window()->addAction(keys);
    connect(keys, &QAction::triggered, this, &TMenuKeys::openFirstMenu);
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

// True for a key that is one of the window's commands (its menus' and its own
// actions) and that the focused field takes only as a second cursor key: on
// X11 a text field moves to the line's end with Ctrl+E. A field keeps the keys
// that edit its text.
bool TMenuKeys::isWindowKey(const QKeyEvent& key) const {
    if (key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo) ||
        key.matches(QKeySequence::Copy) || key.matches(QKeySequence::Cut) ||
        key.matches(QKeySequence::Paste) || key.matches(QKeySequence::SelectAll)) {
        return false;
    }
    const QKeySequence pressed(key.keyCombination());
    QList<QAction*> actions = m_menuBar->window()->actions();
    for (const QAction* menu : m_menuBar->actions()) {
        if (menu->menu() != nullptr) {
            actions += menu->menu()->actions();
        }
    }
    return std::any_of(actions.cbegin(), actions.cend(), [&pressed](const QAction* action) {
        return action->isEnabled() && action->shortcuts().contains(pressed);
    });
}

bool TMenuKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == m_menuBar->window() &&
        isWindowKey(*static_cast<QKeyEvent*>(event))) {
        // Left unaccepted, the key goes on to the window's shortcut.
        m_altAlone = false;
        event->ignore();
        return true;
    }
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
