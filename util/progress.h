#pragma once

// How far a long reading has come, and the request to stop it. The readers
// report once per block they read (not per line), so watching costs nothing
// measurable; the watcher (the window's progress bar, the batch tool's line on
// a terminal) reads the fraction from another thread.

#include <atomic>
#include <cstdint>

namespace morvane {

class TProgress {
public:
    // done of total bytes (or samples); a total of 0 is an unknown size.
    void report(std::uint64_t done, std::uint64_t total) {
        m_done.store(done, std::memory_order_relaxed);
        m_total.store(total, std::memory_order_relaxed);
    }
    // 0 .. 1; 0 while the size is unknown.
    double fraction() const;
    // Asks the reading to stop at its next block; it then raises ECancelled.
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

private:
    std::atomic<std::uint64_t> m_done{0};
    std::atomic<std::uint64_t> m_total{0};
    std::atomic<bool> m_cancelled{false};
};

// The progress the work on this thread reports to, while a TProgressScope
// lives; none otherwise. A reader takes it when it is made, so a reader made
// here and read on another thread still reports here.
TProgress* CurrentProgress();

class TProgressScope {
public:
    explicit TProgressScope(TProgress& progress);
    ~TProgressScope();
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;

private:
    TProgress* m_outer;
};

// One block read: reports it and raises ECancelled when the stop was asked.
void ReportBlockRead(TProgress* progress, std::uint64_t done, std::uint64_t total);

}  // namespace morvane
