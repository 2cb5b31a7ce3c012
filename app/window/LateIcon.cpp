#include "app/window/LateIcon.h"

#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QWidget>
#include <QWindow>

namespace morvane {

namespace {

// Watches the window until its first expose, lets the window paint and show
// that frame, then sets the icon and goes away.
class TLateIcon : public QObject {
public:
    TLateIcon(QWidget* window, const QString& iconPath)
        : QObject(window), m_window(window), m_iconPath(iconPath) {
        m_window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Show && m_window->windowHandle() != nullptr) {
            m_window->removeEventFilter(this);
            m_window->windowHandle()->installEventFilter(this);
            return false;
        }
        if (watched == m_window->windowHandle() && event->type() == QEvent::Expose) {
            watched->removeEventFilter(this);
            QCoreApplication::sendEvent(watched, event);  // the first frame, painted and flushed
            m_window->setWindowIcon(QIcon(m_iconPath));
            deleteLater();
            return true;
        }
        return false;
    }

private:
    QWidget* m_window;
    QString m_iconPath;
};

}  // namespace

void SetIconAfterFirstFrame(QWidget* window, const QString& iconPath) {
    new TLateIcon(window, iconPath);
}

}  // namespace morvane
