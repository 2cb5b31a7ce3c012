#pragma once

// The rows of a recording handed to their sink on a second thread, in order
// and in blocks, so that the parse of the next rows overlaps the work on the
// last ones (a recording with several pressure channels has both in plenty).
// Memory stays bounded: a few blocks wait at most. A failure of the sink stops
// the reading; the one at the earlier line is raised, as one thread would.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "signal/import/Recording.h"

namespace morvane {

class TRowPipeline {
public:
    explicit TRowPipeline(TRowSink sink);
    ~TRowPipeline();
    TRowPipeline(const TRowPipeline&) = delete;
    TRowPipeline& operator=(const TRowPipeline&) = delete;

    // Reads the recording through the pipeline (ReadRecording) and waits
    // until the sink has taken every row; raises the first failure by line.
    void read(const std::string& path, const TRecordingFormat& format,
              const std::vector<std::string>& columns);

private:
    struct TBlock {
        std::size_t Width = 0;  // values a row
        std::vector<double> Values;
        std::vector<std::int64_t> Lines;
        std::vector<std::size_t> TextEnds;
        std::string Texts;
        void clear() {
            Values.clear();
            Lines.clear();
            TextEnds.clear();
            Texts.clear();
        }
    };
    // Raised into the reader when the sink has failed, to stop it.
    struct TStopped {};

    void add(const std::vector<double>& values, const TRowPlace& place);
    void push();
    void work();
    void join();

    TRowSink m_sink;
    TBlock m_filling;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<TBlock> m_waiting;
    std::vector<TBlock> m_spare;
    bool m_ended = false;
    bool m_failed = false;
    std::exception_ptr m_failure;
    std::thread m_worker;
};

}  // namespace morvane
