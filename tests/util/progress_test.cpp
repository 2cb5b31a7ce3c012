#include "util/progress.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "tests/support/TempDirTest.h"
#include "util/errors.h"
#include "util/linereader.h"
#include "util/messages.h"

namespace morvane {
namespace {

class ProgressTest : public testing::TTempDirTest {
protected:
    // Three buffers and a half of short lines.
    std::string writeLongFile() {
        std::string text;
        while (text.size() < 7 * TLineReader::kBufferSize / 2) {
            text += "12,5;-3,25\n";
        }
        return writeFile("long.csv", text);
    }
};

// Lines given, and whether the reading ended cancelled; cancelAfter lines
// (-1: never) the stop is asked.
struct TReadOutcome {
    long Lines = 0;
    long LinesAfterCancel = 0;
    bool Cancelled = false;
};

TReadOutcome ReadCounting(TLineReader& reader, TProgress& progress, long cancelAfter) {
    TReadOutcome outcome;
    std::string_view line;
    try {
        while (reader.next(line)) {
            if (outcome.Lines++ == cancelAfter) {
                progress.cancel();
            }
            outcome.LinesAfterCancel += progress.cancelled() ? 1 : 0;
        }
    } catch (const ECancelled&) {
        outcome.Cancelled = true;
    }
    return outcome;
}

TEST_F(ProgressTest, ReaderReportsEachBlockAndStopsAtTheNextOne) {
    const std::string path = writeLongFile();
    struct TRow {
        const char* Name;
        long CancelAfter;
        bool Cancelled;
        double Fraction;
    };
    const TRow rows[] = {
        {"read to its end", -1, false, 1.0},
        {"stopped before the first line", 0, true, 0.0},
        {"stopped within the first block", 1000, true, 0.0},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TProgress progress;
        if (row.CancelAfter == 0) {
            progress.cancel();
        }
        const TProgressScope scope(progress);
        TLineReader reader(path);
        const TReadOutcome outcome = ReadCounting(reader, progress, row.CancelAfter);
        EXPECT_EQ(outcome.Cancelled, row.Cancelled);
        if (row.CancelAfter > 0) {
            // The rest of the block is given: the stop is checked per block, not per line.
            EXPECT_GT(outcome.LinesAfterCancel, 1);
            EXPECT_LT(outcome.Lines, 2 * static_cast<long>(TLineReader::kBufferSize / 11));
        }
        if (!row.Cancelled) {
            EXPECT_DOUBLE_EQ(progress.fraction(), row.Fraction);
        }
    }
}

// A reader reports where it was made, even when read on another thread (a
// reading stage of its own); without a scope nothing is reported.
TEST_F(ProgressTest, ReaderReportsToTheProgressItWasMadeUnder) {
    const std::string path = writeLongFile();
    TProgress progress;
    std::unique_ptr<TLineReader> reader;
    {
        const TProgressScope scope(progress);
        reader = std::make_unique<TLineReader>(path);
    }
    std::thread([&] { ReadCounting(*reader, progress, -1); }).join();
    EXPECT_DOUBLE_EQ(progress.fraction(), 1.0);

    TProgress unwatched;
    TLineReader outside(path);
    EXPECT_FALSE(ReadCounting(outside, unwatched, -1).Cancelled);
    EXPECT_EQ(CurrentProgress(), nullptr);
}

TEST_F(ProgressTest, PipeOfUnknownSizeShowsNoFraction) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ASSERT_EQ(::write(fds[1], "1\n2\n", 4), 4);
    ::close(fds[1]);
    TProgress progress;
    const TProgressScope scope(progress);
    TLineReader reader("/proc/self/fd/" + std::to_string(fds[0]));
    EXPECT_EQ(ReadCounting(reader, progress, -1).Lines, 2);
    EXPECT_EQ(progress.fraction(), 0.0);
    ::close(fds[0]);
}

class TCountedBoxes : public IMessageBoxes {
public:
    void ShowInfo(const std::string&) override { ++Shown; }
    void ShowErrorBox(const std::string&) override { ++Shown; }
    int Shown = 0;
};

TEST(CommandGuard, StoppedCommandShowsNothingAndDidNotRun) {
    TCountedBoxes boxes;
    EXPECT_FALSE(RunGuarded(boxes, [] { RaiseCancelled(); }));
    EXPECT_EQ(boxes.Shown, 0);
}

}  // namespace
}  // namespace morvane
