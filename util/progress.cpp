#include "util/progress.h"

#include <algorithm>

#include "util/errors.h"

namespace morvane {

namespace {

thread_local TProgress* Current = nullptr;

}  // namespace

double TProgress::fraction() const {
    const std::uint64_t total = m_total.load(std::memory_order_relaxed);
    if (total == 0) {
        return 0;
    }
    const std::uint64_t done = std::min(m_done.load(std::memory_order_relaxed), total);
    return static_cast<double>(done) / static_cast<double>(total);
}

TProgress* CurrentProgress() {
    return Current;
}

TProgressScope::TProgressScope(TProgress& progress) : m_outer(Current) {
    Current = &progress;
}

TProgressScope::~TProgressScope() {
    Current = m_outer;
}

void ReportBlockRead(TProgress* progress, std::uint64_t done, std::uint64_t total) {
    if (progress == nullptr) {
        return;
    }
    progress->report(done, total);
    if (progress->cancelled()) {
        RaiseCancelled();
    }
}

}  // namespace morvane
