#include "signal/import/RowBlocks.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "signal/import/RecordingSource.h"
#include "util/progress.h"

namespace morvane {

namespace {

// Rows a block: 8192, fewer for rows of more than six values, so that a block
// of a recording with many channels stays about 400 KiB.
constexpr std::size_t kBlockRows = 8192;
constexpr std::size_t kBlockValues = 6 * kBlockRows;

std::size_t BlockRows(std::size_t width) {
    return std::clamp<std::size_t>(kBlockValues / std::max<std::size_t>(1, width), 1024, kBlockRows);
}
// Blocks in flight: enough that neither thread waits on the other's jitter,
// few enough that memory stays a few MiB at any width.
constexpr std::size_t kBlocksInFlight = 6;

// Unwinds the reading thread's scan once the analysis has failed.
struct TReadingStopped {};

// The blocks between the two threads: full ones in order, spare ones to fill.
class TBlockQueue {
public:
    explicit TBlockQueue(std::size_t width) : m_spare(kBlocksInFlight) {
        for (TRowBlock& block : m_spare) {
            block.Width = width;
        }
    }

    // Reading side: a spare block, waiting while every block is in flight.
    TRowBlock takeSpare() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stopped || !m_spare.empty(); });
        if (m_stopped) {
            throw TReadingStopped();
        }
        TRowBlock block = std::move(m_spare.back());
        m_spare.pop_back();
        return block;
    }

    void push(TRowBlock block) {
        {
            const std::lock_guard lock(m_mutex);
            m_full.push_back(std::move(block));
        }
        m_changed.notify_all();
    }

    void finish(std::exception_ptr error) {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
            m_error = std::move(error);
        }
        m_changed.notify_all();
    }

    // Analysing side: the next full block; false once the reading finished
    // and every block was taken.
    bool pop(TRowBlock& block) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_done || !m_full.empty(); });
        if (m_full.empty()) {
            return false;
        }
        block = std::move(m_full.front());
        m_full.pop_front();
        return true;
    }

    void giveBack(TRowBlock block) {
        block.Values.clear();
        block.Lines.clear();
        {
            const std::lock_guard lock(m_mutex);
            m_spare.push_back(std::move(block));
        }
        m_changed.notify_all();
    }

    void stop() {
        {
            const std::lock_guard lock(m_mutex);
            m_stopped = true;
        }
        m_changed.notify_all();
    }

    std::exception_ptr error() const {
        const std::lock_guard lock(m_mutex);
        return m_error;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<TRowBlock> m_spare;
    std::deque<TRowBlock> m_full;
    bool m_done = false;
    bool m_stopped = false;
    std::exception_ptr m_error;
};

// Hands a full block on and leaves block ready to fill again (more) or done.
using THandOn = std::function<void(TRowBlock& block, bool more)>;

// The reading stage: scans the recording into blocks and hands each on once
// full. A reading error hands on the rows before it first, so that their
// analysis may fail first, as it would row by row.
class TBlockReader {
public:
    TBlockReader(const TRowBlockReading& reading, TRowBlock first, THandOn hand)
        : m_reading(reading), m_block(std::move(first)), m_hand(std::move(hand)) {}

    // Returns the number of lines; raises the reading's error after handing
    // on the rows before it.
    std::int64_t read() {
        std::int64_t lines = 0;
        try {
            lines = ReadAnyRecording(
                m_reading.Path, m_reading.Format, m_reading.Columns,
                [this](const std::vector<double>& values, const TRowPlace& place) { add(values, place); });
        } catch (...) {
            if (!m_stopped) {
                handOn(false);
            }
            throw;
        }
        handOn(false);
        return lines;
    }

private:
    void add(const std::vector<double>& values, const TRowPlace& place) {
        if (m_reading.Check) {
            m_reading.Check(values, place);
        }
        m_block.Values.insert(m_block.Values.end(), values.begin(), values.end());
        m_block.Lines.push_back(place.Line);
        if (m_block.Lines.size() == m_rows) {
            handOn(true);
        }
    }

    // Once the analysis failed or stopped the reading, nothing more is handed on.
    void handOn(bool more) {
        if (m_block.Lines.empty()) {
            return;
        }
        try {
            m_hand(m_block, more);
        } catch (...) {
            m_stopped = true;
            throw;
        }
    }

    const TRowBlockReading& m_reading;
    TRowBlock m_block;
    THandOn m_hand;
    std::size_t m_rows = BlockRows(m_reading.Columns.size());
    bool m_stopped = false;
};

std::int64_t ReadOnCallersThread(const TRowBlockReading& reading,
                                 const std::function<void(const TRowBlock&)>& analyse) {
    TRowBlock first;
    first.Width = reading.Columns.size();
    TBlockReader reader(reading, std::move(first), [&analyse](TRowBlock& block, bool) {
        analyse(block);
        block.Values.clear();
        block.Lines.clear();
    });
    return reader.read();
}

std::int64_t ReadOnOwnThread(const TRowBlockReading& reading,
                             const std::function<void(const TRowBlock&)>& analyse) {
    TBlockQueue queue(reading.Columns.size());
    std::int64_t lines = 0;
    // The reading reports to, and is stopped by, the caller's progress.
    TProgress* const progress = CurrentProgress();
    std::thread readingThread([&] {
        std::optional<TProgressScope> scope;
        if (progress != nullptr) {
            scope.emplace(*progress);
        }
        std::exception_ptr error;
        try {
            TBlockReader reader(reading, queue.takeSpare(), [&queue](TRowBlock& block, bool more) {
                queue.push(std::move(block));
                if (more) {
                    block = queue.takeSpare();
                }
            });
            lines = reader.read();
        } catch (const TReadingStopped&) {
        } catch (...) {
            error = std::current_exception();
        }
        queue.finish(error);
    });
    try {
        TRowBlock block;
        while (queue.pop(block)) {
            analyse(block);
            queue.giveBack(std::move(block));
        }
    } catch (...) {
        queue.stop();
        readingThread.join();
        throw;
    }
    readingThread.join();
    if (const std::exception_ptr error = queue.error()) {
        std::rethrow_exception(error);
    }
    return lines;
}

}  // namespace

std::int64_t ReadRowBlocks(const TRowBlockReading& reading,
                           const std::function<void(const TRowBlock&)>& analyse) {
    if (reading.Threads < 2) {
        return ReadOnCallersThread(reading, analyse);
    }
    return ReadOnOwnThread(reading, analyse);
}

}  // namespace morvane
