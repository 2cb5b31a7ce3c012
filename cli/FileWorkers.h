#pragma once

// Several files' jobs on a few threads, each file's result handed back in the
// files' order as soon as it and every one before it are known. A file whose
// job outlasts the time limit (a FIFO nobody writes, a stalled network share)
// is given up: its result is made without it, a fresh thread takes its place,
// and the thread stuck in it is left behind; the process ends without waiting
// for that thread (see WorkWasLeftBehind).

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace morvane {

struct TFileResult {
    std::string Text;
    bool Succeeded = false;
};

struct TFileWork {
    std::size_t Count = 0;
    unsigned Jobs = 1;              // threads at once, at least 1
    std::optional<double> Timeout;  // seconds per file from its start; none: no limit
    // The job of file index. It runs on a worker thread and may outlive the
    // call of RunFileWork, so it owns (captures by value) all it uses.
    std::function<TFileResult(std::size_t index)> Job;
    // The result of a file given up on; runs on the calling thread.
    std::function<TFileResult(std::size_t index)> GiveUp;
};

// Runs work and calls deliver with each file's result in index order, on the
// calling thread. Returns when every result is delivered.
void RunFileWork(const TFileWork& work, const std::function<void(const TFileResult&)>& deliver);

// True once a thread was left behind in a file given up on: the process must
// then end without destroying what that thread may still use.
bool WorkWasLeftBehind();

}  // namespace morvane
