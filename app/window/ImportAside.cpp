#include "app/window/ImportAside.h"

#include <exception>
#include <utility>

#include "app/widgets/BackgroundWork.h"
#include "util/errors.h"

namespace morvane {

TImportState TImportState::of(const TSession& session) {
    return {session.Signal,      session.LastImportFile, session.PressureCycle,
            session.SignalCycle, session.CylinderCycles, session.Numbers};
}

void TImportState::putInto(TSession& session) const {
    session.Signal = Signal;
    session.LastImportFile = LastImportFile;
    session.PressureCycle = PressureCycle;
    session.SignalCycle = SignalCycle;
    session.CylinderCycles = CylinderCycles;
}

void TDeferredBoxes::showOn(IMessageBoxes& boxes) const {
    for (const TShown& shown : m_shown) {
        if (shown.Error) {
            boxes.ShowErrorBox(shown.Text);
        } else {
            boxes.ShowInfo(shown.Text);
        }
    }
}

namespace {

struct TImportJob {
    TImportState State;
    TDeferredBoxes Boxes;
};

}  // namespace

void RunImportAside(TBackgroundWork* runner, TSession& session, IMessageBoxes& boxes, TImportRun command) {
    if (runner == nullptr) {
        command(boxes, ImportTargetOf(session));
        return;
    }
    auto job = std::make_shared<TImportJob>();
    job->State = TImportState::of(session);
    std::exception_ptr failure;
    try {
        runner->run([job, command = std::move(command)] { command(job->Boxes, job->State.target()); });
    } catch (const ECancelled&) {
        throw;
    } catch (...) {
        failure = std::current_exception();
    }
    // A failed import leaves what it had written, as it does when run here.
    job->State.putInto(session);
    job->Boxes.showOn(boxes);
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace morvane
