#include "app/history/SetupUndo.h"

#include <utility>

namespace morvane {

TOpenSetupCommand::TOpenSetupCommand(const QString& text, TWindowSnapshot before, TWindowSnapshot after,
                                     TApply apply)
    : QUndoCommand(text), m_before(std::move(before)), m_after(std::move(after)), m_apply(std::move(apply)) {}

void TOpenSetupCommand::redo() {
    if (m_done) {
        m_apply(m_after);
    }
    m_done = true;
}

void TOpenSetupCommand::undo() {
    m_apply(m_before);
}

}  // namespace morvane
