#include "cli/TerminalProgress.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>

namespace morvane {

namespace {

constexpr auto kStandardInterval = std::chrono::milliseconds(200);
// A line wider than the terminal would wrap, and "\r" rewrites only its last row.
constexpr std::size_t kWidest = 79;

}  // namespace

TTerminalProgress::TTerminalProgress(int fd, bool shown, std::chrono::milliseconds interval)
    : m_fd(fd), m_shown(shown), m_interval(interval) {
    if (m_shown) {
        m_printer = std::thread([this] { print(); });
    }
}

TTerminalProgress::~TTerminalProgress() {
    {
        const std::lock_guard<std::mutex> lock(m_guard);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_printer.joinable()) {
        m_printer.join();
    }
}

TTerminalProgress& TTerminalProgress::standard() {
    static auto* const kStandard =
        new TTerminalProgress(STDERR_FILENO, ::isatty(STDERR_FILENO) == 1, kStandardInterval);
    return *kStandard;
}

std::shared_ptr<TProgress> TTerminalProgress::begin(const std::string& path) {
    auto progress = std::make_shared<TProgress>();
    const std::lock_guard<std::mutex> lock(m_guard);
    m_files.push_back({std::filesystem::path(path).filename().string(), progress});
    return progress;
}

void TTerminalProgress::end(const std::shared_ptr<TProgress>& progress) {
    const std::lock_guard<std::mutex> lock(m_guard);
    std::erase_if(m_files, [&](const TFile& file) { return file.Progress == progress; });
    if (m_files.empty()) {
        erase();
    }
}

std::unique_lock<std::mutex> TTerminalProgress::pause() {
    std::unique_lock<std::mutex> lock(m_guard);
    erase();
    return lock;
}

std::string TTerminalProgress::lineOf(const std::vector<TFile>& files) {
    std::string line;
    for (const TFile& file : files) {
        if (!line.empty()) {
            line += "  ";
        }
        const auto percent = static_cast<int>(std::floor(file.Progress->fraction() * 100));
        line += file.Name + ": " + std::to_string(percent) + " %";
    }
    if (line.size() > kWidest) {
        std::size_t cut = kWidest;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0U) == 0x80U) {
            --cut;
        }
        line.resize(cut);
    }
    return line;
}

void TTerminalProgress::print() {
    std::unique_lock<std::mutex> lock(m_guard);
    while (!m_stop) {
        m_changed.wait_for(lock, m_interval);
        if (m_stop || m_files.empty()) {
            continue;
        }
        const std::string line = lineOf(m_files);
        // Blanks cover what a longer line before left.
        const std::size_t blanks = m_shownLength > line.size() ? m_shownLength - line.size() : 0;
        std::string text = "\r" + line;
        if (blanks > 0) {
            text.append(blanks, ' ').append("\r").append(line);
        }
        write(text);
        m_shownLength = line.size();
    }
    erase();
}

void TTerminalProgress::erase() {
    if (m_shownLength == 0) {
        return;
    }
    write("\r" + std::string(m_shownLength, ' ') + "\r");
    m_shownLength = 0;
}

void TTerminalProgress::write(const std::string& text) const {
    std::size_t at = 0;
    while (at < text.size()) {
        const ssize_t put = ::write(m_fd, text.data() + at, text.size() - at);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return;
        }
        at += static_cast<std::size_t>(put);
    }
}

TFileProgress::TFileProgress(const std::string& path)
    : m_progress(TTerminalProgress::standard().begin(path)), m_scope(*m_progress) {}

TFileProgress::~TFileProgress() {
    TTerminalProgress::standard().end(m_progress);
}

}  // namespace morvane
