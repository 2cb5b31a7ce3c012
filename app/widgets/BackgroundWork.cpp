#include "app/widgets/BackgroundWork.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include <exception>
#include <mutex>
#include <thread>

#include "util/errors.h"
#include "util/progress.h"

namespace morvane {

namespace {

// A short reading ends before the bar would only flicker.
constexpr int kShowAfterMs = 150;
constexpr int kTickMs = 50;
constexpr int kBarSteps = 1000;

}  // namespace

// What the work's thread and the window share; the thread holds it as long as
// it runs, so work left behind by "Zrušit" never outlives it.
struct TBackgroundWork::TRun {
    TProgress Progress;
    std::mutex Guard;
    QEventLoop* Loop = nullptr;  // while the window waits for the work
    std::exception_ptr Failure;
    bool Ended = false;
};

TBackgroundWork::TBackgroundWork(QStatusBar* bar, QObject* parent)
    : QObject(parent),
      m_bar(new QProgressBar(bar)),
      m_cancelButton(new QPushButton(QStringLiteral("Zrušit"), bar)) {
    m_bar->setObjectName(QStringLiteral("WorkProgress"));
    m_bar->setRange(0, kBarSteps);
    m_bar->setFormat(QStringLiteral("%p %"));
    m_bar->setMaximumHeight(bar->fontMetrics().height() + 4);
    m_cancelButton->setObjectName(QStringLiteral("CancelWorkButton"));
    m_cancelButton->setMaximumHeight(bar->fontMetrics().height() + 6);
    bar->addPermanentWidget(m_bar);
    bar->addPermanentWidget(m_cancelButton);
    m_bar->hide();
    m_cancelButton->hide();
    m_ticks.setInterval(kTickMs);
    connect(&m_ticks, &QTimer::timeout, this, &TBackgroundWork::showProgress);
    connect(m_cancelButton, &QPushButton::clicked, this, &TBackgroundWork::cancel);
}

TBackgroundWork::~TBackgroundWork() {
    cancel();
}

void TBackgroundWork::run(std::function<void()> work) {
    if (busy()) {
        RaiseCancelled();
    }
    auto state = std::make_shared<TRun>();
    QEventLoop loop;
    state->Loop = &loop;
    m_running = state;
    setLocked(true);
    m_bar->setValue(0);
    m_since.start();
    m_ticks.start();
    std::thread([state, work = std::move(work)] {
        std::exception_ptr failure;
        {
            const TProgressScope scope(state->Progress);
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
        }
        const std::lock_guard<std::mutex> lock(state->Guard);
        state->Failure = failure;
        state->Ended = true;
        if (state->Loop != nullptr) {
            QMetaObject::invokeMethod(state->Loop, &QEventLoop::quit, Qt::QueuedConnection);
        }
    }).detach();
    loop.exec();

    const std::lock_guard<std::mutex> lock(state->Guard);
    state->Loop = nullptr;
    m_running = nullptr;
    m_ticks.stop();
    m_bar->hide();
    m_cancelButton->hide();
    setLocked(false);
    if (!state->Ended || state->Progress.cancelled()) {
        RaiseCancelled();
    }
    if (state->Failure) {
        std::rethrow_exception(state->Failure);
    }
}

void TBackgroundWork::cancel() {
    if (!m_running) {
        return;
    }
    m_running->Progress.cancel();
    const std::lock_guard<std::mutex> lock(m_running->Guard);
    if (m_running->Loop != nullptr) {
        m_running->Loop->quit();
    }
}

void TBackgroundWork::showProgress() {
    if (!m_running || m_since.elapsed() < kShowAfterMs) {
        return;
    }
    m_bar->setValue(static_cast<int>(m_running->Progress.fraction() * kBarSteps));
    m_bar->show();
    m_cancelButton->show();
}

void TBackgroundWork::setLocked(bool locked) {
    // A disabled field loses the keyboard; the user's typing goes on where it was.
    if (locked) {
        m_focus = QApplication::focusWidget();
    }
    if (!locked) {
        for (const QPointer<QAction>& action : m_disabled) {
            if (action) {
                action->setEnabled(true);
            }
        }
        m_disabled.clear();
    }
    if (locked && m_actionRoot != nullptr) {
        for (QAction* action : m_actionRoot->findChildren<QAction*>()) {
            if (action->isEnabled()) {
                action->setEnabled(false);
                m_disabled.push_back(action);
            }
        }
    }
    for (QWidget* widget : m_lockedWidgets) {
        widget->setEnabled(!locked);
    }
    if (!locked && m_focus) {
        m_focus->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace morvane
