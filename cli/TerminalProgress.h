#pragma once

// How far each file's reading has come, as one line on stderr that "\r"
// rewrites ("a.csv: 42 %  b.csv: 7 %"), only when stderr is a terminal: a
// pipe or a file never receives it, and stdout is never touched.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "util/progress.h"

namespace morvane {

class TTerminalProgress {
public:
    // Writes to fd every interval while files are read, when shown.
    TTerminalProgress(int fd, bool shown, std::chrono::milliseconds interval);
    ~TTerminalProgress();
    TTerminalProgress(const TTerminalProgress&) = delete;
    TTerminalProgress& operator=(const TTerminalProgress&) = delete;

    // The process's own, on stderr, shown when it is a terminal; never destroyed,
    // as a worker left behind in a stalled file may still report to it.
    static TTerminalProgress& standard();

    // Reading of path on this thread begins: the readers report to its line
    // until end() (util/progress.h).
    std::shared_ptr<TProgress> begin(const std::string& path);
    void end(const std::shared_ptr<TProgress>& progress);

    // Erases the line, and keeps it away while the returned lock lives, so
    // that what goes to stdout on the same terminal starts a clean line.
    std::unique_lock<std::mutex> pause();

    // The line for these files (their names without folders).
    struct TFile {
        std::string Name;
        std::shared_ptr<TProgress> Progress;
    };
    static std::string lineOf(const std::vector<TFile>& files);

private:
    void print();
    void erase();
    void write(const std::string& text) const;

    int m_fd;
    bool m_shown;
    std::chrono::milliseconds m_interval;
    std::mutex m_guard;
    std::condition_variable m_changed;
    std::vector<TFile> m_files;
    std::size_t m_shownLength = 0;  // of the line on the terminal now
    bool m_stop = false;
    std::thread m_printer;
};

// One file's reading on this thread, shown on the standard progress line.
class TFileProgress {
public:
    explicit TFileProgress(const std::string& path);
    ~TFileProgress();
    TFileProgress(const TFileProgress&) = delete;
    TFileProgress& operator=(const TFileProgress&) = delete;

private:
    std::shared_ptr<TProgress> m_progress;
    TProgressScope m_scope;
};

}  // namespace morvane
