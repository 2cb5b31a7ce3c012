#pragma once

// Long work (a reading of a large file) run off the UI thread while the window
// stays live: a progress bar and a "Zrušit" button show in the status bar, and
// the call that started the work returns when it ends, as a modal dialog's
// exec() does, so the commands keep their order of steps.
//
// clang-format off
// | member           | objectName        | what it is                                  |
// |------------------|-------------------|---------------------------------------------|
// | m_bar            | WorkProgress      | how far the reading has come                |
// | m_cancelButton   | CancelWorkButton  | "Zrušit": the work stops, nothing changes   |
// clang-format on

#include <QAction>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QProgressBar;
class QPushButton;
class QStatusBar;

namespace morvane {

class TBackgroundWork : public QObject {
    Q_OBJECT

public:
    // The bar and the button go into bar.
    TBackgroundWork(QStatusBar* bar, QObject* parent);
    ~TBackgroundWork() override;

    // A widget that must not start anything while work runs.
    void lockWhileBusy(QWidget* widget) { m_lockedWidgets.push_back(widget); }
    // Every action of root (menus and keys), as it holds them when work starts.
    void lockActionsOf(QWidget* root) { m_actionRoot = root; }
    bool busy() const { return m_running != nullptr; }

    // Runs work on a thread of its own with its progress (util/progress.h) and
    // returns when it ended; raises what it raised. "Zrušit" returns at once
    // with ECancelled; the work stops at its next block and its result is
    // dropped, so it must own (capture by value) all it uses. Refused with
    // ECancelled while other work runs.
    void run(std::function<void()> work);
    // The same for work that makes a value.
    template <typename Make>
    auto compute(Make make) -> decltype(make()) {
        auto made = std::make_shared<std::optional<decltype(make())>>();
        run([made, make = std::move(make)] { made->emplace(make()); });
        return std::move(**made);
    }
    // Stops the work that runs, as "Zrušit" does.
    void cancel();

private:
    struct TRun;
    void showProgress();
    void setLocked(bool locked);

    QProgressBar* m_bar;
    QPushButton* m_cancelButton;
    QTimer m_ticks;
    QElapsedTimer m_since;
    std::shared_ptr<TRun> m_running;
    std::vector<QWidget*> m_lockedWidgets;
    QWidget* m_actionRoot = nullptr;
    std::vector<QPointer<QAction>> m_disabled;
    QPointer<QWidget> m_focus;  // the keyboard's widget when the work began  // the actions this work
                                // disabled, enabled again after it
};

// make() on the work's thread when there is a runner, on this one otherwise.
template <typename Make>
auto ComputeAside(TBackgroundWork* runner, Make make) -> decltype(make()) {
    return runner != nullptr ? runner->compute(std::move(make)) : make();
}

}  // namespace morvane
