#include "cli/TerminalProgress.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace morvane {
namespace {

using namespace std::chrono_literals;

TEST(TerminalProgress, LineNamesEachFileWithoutItsFolder) {
    const auto at = [](double fraction) {
        auto progress = std::make_shared<TProgress>();
        progress->report(static_cast<std::uint64_t>(fraction * 1000), 1000);
        return progress;
    };
    struct TRow {
        std::vector<TTerminalProgress::TFile> Files;
        std::string Line;
    };
    const TRow rows[] = {
        {{{"soubor.csv", at(0.427)}}, "soubor.csv: 42 %"},
        {{{"a.csv", at(1.0)}, {"b.mf4", at(0.0)}}, "a.csv: 100 %  b.mf4: 0 %"},
        {{{std::string(90, 'x') + ".csv", at(0.5)}}, std::string(79, 'x')},
        // Cut before a character, not within it.
        {{{std::string(78, 'x') + "ř.csv", at(0.5)}}, std::string(78, 'x')},
    };
    for (const TRow& row : rows) {
        EXPECT_EQ(TTerminalProgress::lineOf(row.Files), row.Line);
    }
}

// What the progress writes to a pipe while one file is read, then ends.
std::string WrittenWhileReading(bool shown) {
    int fds[2];
    EXPECT_EQ(::pipe2(fds, O_NONBLOCK), 0);
    {
        TTerminalProgress progress(fds[1], shown, 5ms);
        const auto file = progress.begin("/data/run 7/a.csv");
        file->report(1, 4);
        std::this_thread::sleep_for(50ms);
        progress.end(file);
    }
    ::close(fds[1]);
    std::string text;
    char chunk[4096];
    for (ssize_t got = 0; (got = ::read(fds[0], chunk, sizeof chunk)) > 0;) {
        text.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fds[0]);
    return text;
}

TEST(TerminalProgress, OnlyATerminalSeesTheLineAndItIsErasedAtTheEnd) {
    EXPECT_EQ(WrittenWhileReading(false), "");
    const std::string shown = WrittenWhileReading(true);
    EXPECT_EQ(shown.substr(0, 12), "\ra.csv: 25 %");
    const std::string erased = "\r" + std::string(11, ' ') + "\r";
    EXPECT_EQ(shown.substr(shown.size() - erased.size()), erased);
}

}  // namespace
}  // namespace morvane
