#include "signal/import/RowPipeline.h"

#include <string_view>
#include <utility>

namespace morvane {

namespace {

constexpr std::size_t kBlockRows = 4096;
constexpr std::size_t kMostWaitingBlocks = 4;

}  // namespace

TRowPipeline::TRowPipeline(TRowSink sink) : m_sink(std::move(sink)) {}

TRowPipeline::~TRowPipeline() {
    join();
}

void TRowPipeline::read(const std::string& path, const TRecordingFormat& format,
                        const std::vector<std::string>& columns) {
    m_worker = std::thread([this] { work(); });
    std::exception_ptr readerFailure;
    try {
        ReadRecording(
            path, format, columns,
            [this](const std::vector<double>& values, const TRowPlace& place) { add(values, place); });
        push();
    } catch (const TStopped&) {
        // The sink's failure follows.
    } catch (...) {
        readerFailure = std::current_exception();
    }
    join();
    // The sink took every row before the reader's failure, so its own failure lies earlier.
    if (m_failure) {
        std::rethrow_exception(m_failure);
    }
    if (readerFailure) {
        std::rethrow_exception(readerFailure);
    }
}

void TRowPipeline::add(const std::vector<double>& values, const TRowPlace& place) {
    m_filling.Width = values.size();
    m_filling.Values.insert(m_filling.Values.end(), values.begin(), values.end());
    m_filling.Lines.push_back(place.Line);
    m_filling.Texts.append(place.Text);
    m_filling.TextEnds.push_back(m_filling.Texts.size());
    if (m_filling.Lines.size() == kBlockRows) {
        push();
    }
}

void TRowPipeline::push() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_failed || m_waiting.size() < kMostWaitingBlocks; });
    if (m_failed) {
        throw TStopped{};
    }
    m_waiting.push_back(std::move(m_filling));
    if (m_spare.empty()) {
        m_filling = TBlock();
    } else {
        m_filling = std::move(m_spare.back());
        m_spare.pop_back();
    }
    m_changed.notify_all();
}

void TRowPipeline::work() {
    std::vector<double> row;
    for (;;) {
        TBlock block;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_ended || !m_waiting.empty(); });
            if (m_waiting.empty()) {
                return;
            }
            block = std::move(m_waiting.front());
            m_waiting.pop_front();
            m_changed.notify_all();
        }
        try {
            std::size_t textStart = 0;
            for (std::size_t k = 0; k < block.Lines.size(); ++k) {
                row.assign(block.Values.begin() + static_cast<std::ptrdiff_t>(k * block.Width),
                           block.Values.begin() + static_cast<std::ptrdiff_t>((k + 1) * block.Width));
                const std::string_view text(block.Texts.data() + textStart, block.TextEnds[k] - textStart);
                textStart = block.TextEnds[k];
                m_sink(row, TRowPlace{block.Lines[k], text});
            }
        } catch (...) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_failure = std::current_exception();
            m_failed = true;
            m_changed.notify_all();
            return;
        }
        block.clear();
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_spare.push_back(std::move(block));
    }
}

void TRowPipeline::join() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_ended = true;
        m_changed.notify_all();
    }
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

}  // namespace morvane
