#include "cli/FileWorkers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace morvane {

namespace {

using TClock = std::chrono::steady_clock;

constexpr std::size_t kNoFile = static_cast<std::size_t>(-1);

std::atomic<bool> ThreadsLeftBehind{false};

// What the workers and the calling thread share. A worker holds it as long as
// it runs, so a worker left behind never outlives it.
struct TSharedWork {
    explicit TSharedWork(const TFileWork& work)
        : Work(work), Results(work.Count), Started(work.Count), GivenUp(work.Count, false) {}

    const TFileWork Work;
    std::mutex Guard;
    std::condition_variable Changed;
    std::vector<std::optional<TFileResult>> Results;
    std::vector<std::optional<TClock::time_point>> Started;
    std::vector<bool> GivenUp;
    std::size_t Next = 0;
    // Per worker: the file at hand (kNoFile when none), and whether it has ended.
    std::vector<std::size_t> Current;
    std::vector<bool> Ended;
};

void Work(const std::shared_ptr<TSharedWork>& shared, std::size_t worker) {
    TSharedWork& work = *shared;
    for (;;) {
        std::size_t at = 0;
        {
            const std::lock_guard<std::mutex> lock(work.Guard);
            if (work.Next >= work.Work.Count) {
                work.Current[worker] = kNoFile;
                work.Ended[worker] = true;
                work.Changed.notify_all();
                return;
            }
            at = work.Next++;
            work.Started[at] = TClock::now();
            work.Current[worker] = at;
        }
        work.Changed.notify_all();
        TFileResult result = work.Work.Job(at);
        {
            const std::lock_guard<std::mutex> lock(work.Guard);
            // A file given up on already has its result.
            if (!work.Results[at]) {
                work.Results[at] = std::move(result);
            }
        }
        work.Changed.notify_all();
    }
}

class TWorkers {
public:
    explicit TWorkers(std::shared_ptr<TSharedWork> shared) : m_shared(std::move(shared)) {}
    TWorkers(const TWorkers&) = delete;
    TWorkers& operator=(const TWorkers&) = delete;
    // Only a failure before finish() finds threads still to be joined: they are
    // left behind rather than waited for.
    ~TWorkers() {
        for (std::thread& thread : m_threads) {
            if (thread.joinable()) {
                ThreadsLeftBehind = true;
                thread.detach();
            }
        }
    }

    // Called with the guard held.
    void start() {
        const std::size_t worker = m_threads.size();
        m_shared->Current.push_back(kNoFile);
        m_shared->Ended.push_back(false);
        m_threads.emplace_back([shared = m_shared, worker] { Work(shared, worker); });
    }

    // Joins the workers that end; the one stuck in a file given up on is left
    // behind. Every result is known, so each worker has ended or is in such a file.
    void finish() {
        TSharedWork& work = *m_shared;
        std::unique_lock<std::mutex> lock(work.Guard);
        work.Changed.wait(lock, [&] {
            for (std::size_t w = 0; w < m_threads.size(); ++w) {
                if (!work.Ended[w] && !(work.Current[w] != kNoFile && work.GivenUp[work.Current[w]])) {
                    return false;
                }
            }
            return true;
        });
        std::vector<bool> ended = work.Ended;
        lock.unlock();
        for (std::size_t w = 0; w < m_threads.size(); ++w) {
            if (ended[w]) {
                m_threads[w].join();
            } else {
                ThreadsLeftBehind = true;
                m_threads[w].detach();
            }
        }
    }

private:
    std::shared_ptr<TSharedWork> m_shared;
    std::vector<std::thread> m_threads;
};

// Waits for file at's result, or gives it up when its time is over.
TFileResult AwaitResult(TSharedWork& work, TWorkers& workers, std::size_t at) {
    std::unique_lock<std::mutex> lock(work.Guard);
    for (;;) {
        if (work.Results[at]) {
            return *work.Results[at];
        }
        if (!work.Work.Timeout || !work.Started[at]) {
            work.Changed.wait(lock);
            continue;
        }
        const auto limit =
            std::chrono::duration_cast<TClock::duration>(std::chrono::duration<double>(*work.Work.Timeout));
        const TClock::time_point deadline = *work.Started[at] + limit;
        if (TClock::now() >= deadline) {
            work.GivenUp[at] = true;
            work.Results[at] = work.Work.GiveUp(at);
            // The thread in that file may never come back: another takes its place.
            workers.start();
            return *work.Results[at];
        }
        work.Changed.wait_until(lock, deadline);
    }
}

}  // namespace

void RunFileWork(const TFileWork& work, const std::function<void(const TFileResult&)>& deliver) {
    const auto shared = std::make_shared<TSharedWork>(work);
    TWorkers workers(shared);
    {
        const std::lock_guard<std::mutex> lock(shared->Guard);
        for (unsigned i = 0; i < std::max(1U, work.Jobs); ++i) {
            workers.start();
        }
    }
    for (std::size_t at = 0; at < work.Count; ++at) {
        deliver(AwaitResult(*shared, workers, at));
    }
    workers.finish();
}

bool WorkWasLeftBehind() {
    return ThreadsLeftBehind;
}

}  // namespace morvane
