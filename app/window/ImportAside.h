#pragma once

// An import command run off the UI thread on its own copy of what it writes
// of the session, so that "Zrušit" leaves the session as it was and the
// window never sees a half-imported signal.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "events/Session.h"
#include "signal/import/ImportCommand.h"
#include "util/messages.h"

namespace morvane {

class TBackgroundWork;

// What an import writes of a session, copied.
struct TImportState {
    TSignalTable Signal{};
    std::string LastImportFile;
    std::shared_ptr<const TPressureCycle> PressureCycle;
    std::shared_ptr<const TPressureCycle> SignalCycle;
    std::vector<std::shared_ptr<const TPressureCycle>> CylinderCycles;
    TNumberFormat Numbers = kDecimalComma;

    static TImportState of(const TSession& session);
    void putInto(TSession& session) const;
    TImportTarget target() {
        return {Signal, LastImportFile, PressureCycle, SignalCycle, CylinderCycles, Numbers};
    }
};

// The boxes an import shows, kept to be shown in their order once it ended.
class TDeferredBoxes final : public IMessageBoxes {
public:
    void ShowInfo(const std::string& text) override { m_shown.push_back({false, text}); }
    void ShowErrorBox(const std::string& text) override { m_shown.push_back({true, text}); }
    void showOn(IMessageBoxes& boxes) const;

private:
    struct TShown {
        bool Error;
        std::string Text;
    };
    std::vector<TShown> m_shown;
};

using TImportRun = std::function<void(IMessageBoxes& boxes, const TImportTarget& target)>;

// Runs command on runner's thread on a copy of the session's import state.
// When it ends, its copy becomes the session's and its boxes are shown, then
// its failure is raised, as if it had run here. "Zrušit" raises ECancelled
// and changes nothing. Without a runner the command runs here.
void RunImportAside(TBackgroundWork* runner, TSession& session, IMessageBoxes& boxes, TImportRun command);

}  // namespace morvane
