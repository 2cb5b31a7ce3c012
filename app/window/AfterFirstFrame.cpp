#include "app/window/AfterFirstFrame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace morvane {

namespace {

// Watches the window until its first expose, lets the window paint and show
// that frame, then runs the work and goes away.
class TAfterFirstFrame : public QObject {
public:
    TAfterFirstFrame(QWidget* window, std::function<void()> work)
        : QObject(window), m_window(window), m_work(std::move(work)) {
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
            m_work();
            deleteLater();
            return true;
        }
        return false;
    }

private:
    QWidget* m_window;
    std::function<void()> m_work;
};

}  // namespace

void AfterFirstFrame(QWidget* window, std::function<void()> work) {
    new TAfterFirstFrame(window, std::move(work));
}

}  // namespace morvane
