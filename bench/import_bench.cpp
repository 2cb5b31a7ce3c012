// Times the signal importers on large files. The files come from
// bench/make_signal_files.py; their paths are given by the environment
// variables MORVANE_ANGLE_FILE, MORVANE_TIME_FILE and MORVANE_ENCODER_FILE.
// The real recordings of the shared data folder are timed as well when they
// are present. The read-and-parse references only read each file and parse
// its numbers, the least any import has to do; the read references only read
// it, the floor below every import.
//
// Each benchmark reports the process's peak resident memory (peak_rss_MiB),
// its growth above the memory held before the first import (import_peak_MiB)
// and the file size; run one benchmark per process (--benchmark_filter) to
// read the peak of that import alone.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <unistd.h>

#include <fcntl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "signal/Signal.h"
#include "signal/import/AngleImport.h"
#include "signal/import/EncoderImport.h"
#include "signal/import/TimeImport.h"
#include "util/dialogutil.h"
#include "util/messages.h"
#include "util/numtext.h"

namespace morvane {
namespace {

class TQuietBoxes : public IMessageBoxes {
public:
    void ShowInfo(const std::string& text) override { LastInfo = text; }
    void ShowErrorBox(const std::string& text) override { LastInfo = text; }
    std::string LastInfo;
};

double PeakRssMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

// The resident memory right now, from /proc/self/statm (in pages).
double CurrentRssMiB() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

template <typename Import>
void RunImport(benchmark::State& state, const std::string& path, Import import) {
    if (path.empty() || !std::filesystem::is_regular_file(path)) {
        state.SkipWithError(("no signal file (" + (path.empty() ? std::string("path not set") : path) +
                             "); run bench/run_import_bench.sh")
                                .c_str());
        return;
    }
    TQuietBoxes boxes;
    // What the process holds before its first import; the import's own peak
    // is the growth of the high-water mark above it. It is taken once: the
    // framework calls this function several times, and the allocator may keep
    // an earlier import's freed memory resident for the next one.
    static const double kBaselineMiB = CurrentRssMiB();
    TSignalTable signal{};
    for (auto _ : state) {
        import(path, boxes, signal);
        benchmark::DoNotOptimize(boxes.LastInfo.data());
    }
    const double fileMiB = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
    state.counters["file_MiB"] = fileMiB;
    state.counters["peak_rss_MiB"] = PeakRssMiB();
    state.counters["import_peak_MiB"] = PeakRssMiB() - kBaselineMiB;
    state.SetLabel(boxes.LastInfo);
}

std::string EnvPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string SharedData(const char* name) {
    return std::string(MORVANE_SHARED_DATA_DIR) + "/" + name;
}

void AngleImport(const std::string& path, IMessageBoxes& boxes, TSignalTable& signal) {
    ImportAngleSignal(path, boxes, signal, kDecimalComma);
}
void TimeImport(const std::string& path, IMessageBoxes& boxes, TSignalTable& signal) {
    ImportTimeSignal(path, boxes, signal, kDecimalComma);
}

// The generated encoder file: a 60-2 wheel sampled at 100 kHz, no time column.
void EncoderImport(const std::string& path, IMessageBoxes& boxes, TSignalTable& signal) {
    TEncoderOptions options;
    options.Path = path;
    options.Wheel = ParseWheel("60-2");
    options.SampleRate = 100000;
    options.KeepCycles = false;
    ImportEncoderSignal(options, boxes, signal);
}

// Reads the file in 1 MiB blocks, splits it at LF (dropping a CR before it)
// and hands each line after the header to parse; nothing is kept.
template <typename Parse>
void ReadLines(const std::string& path, bool skipHeader, Parse&& parse) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    constexpr std::size_t kSize = std::size_t{1} << 20;
    const auto buffer = std::make_unique<char[]>(kSize);
    std::size_t kept = 0;
    bool header = skipHeader;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.get() + kept, kSize - kept);
        const std::size_t end = kept + static_cast<std::size_t>(got > 0 ? got : 0);
        std::size_t start = 0;
        while (const void* found = std::memchr(buffer.get() + start, '\n', end - start)) {
            const std::size_t stop = static_cast<std::size_t>(static_cast<const char*>(found) - buffer.get());
            std::string_view line(buffer.get() + start, stop - start);
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            if (!header) {
                parse(line);
            }
            header = false;
            start = stop + 1;
        }
        kept = end - start;
        std::memmove(buffer.get(), buffer.get() + start, kept);
        if (got <= 0) {
            break;
        }
    }
    ::close(fd);
}

// The floor: the file read in 1 MiB blocks, every byte counted, nothing else.
void ReadOnly(const std::string& path, IMessageBoxes& boxes, TSignalTable& /*unused*/) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    constexpr std::size_t kSize = std::size_t{1} << 20;
    const auto buffer = std::make_unique<char[]>(kSize);
    std::int64_t bytes = 0;
    for (ssize_t got = 0; (got = ::read(fd, buffer.get(), kSize)) > 0;) {
        bytes += got;
    }
    ::close(fd);
    boxes.ShowInfo(FormatInteger(bytes));
}

void ReadAndParsePairs(const std::string& path, IMessageBoxes& boxes, TSignalTable& /*unused*/) {
    double sum = 0;
    ReadLines(path, true, [&](std::string_view line) {
        std::string_view left;
        std::string_view right;
        SplitAtView(line, ';', left, right);
        sum += ParseFloat(left, kDecimalComma) + ParseFloat(right, kDecimalComma);
    });
    boxes.ShowInfo(FormatFloatGeneral(sum, kDecimalComma));
}

void ReadAndParseValues(const std::string& path, IMessageBoxes& boxes, TSignalTable& /*unused*/) {
    double sum = 0;
    ReadLines(path, false, [&](std::string_view line) { sum += ParseFloat(line, kDecimalComma); });
    boxes.ShowInfo(FormatFloatGeneral(sum, kDecimalComma));
}

void BM_AngleImport(benchmark::State& state) {
    RunImport(state, EnvPath("MORVANE_ANGLE_FILE"), AngleImport);
}
void BM_AngleReadAndParse(benchmark::State& state) {
    RunImport(state, EnvPath("MORVANE_ANGLE_FILE"), ReadAndParsePairs);
}
void BM_TimeImport(benchmark::State& state) {
    RunImport(state, EnvPath("MORVANE_TIME_FILE"), TimeImport);
}
void BM_TimeReadAndParse(benchmark::State& state) {
    RunImport(state, EnvPath("MORVANE_TIME_FILE"), ReadAndParseValues);
}
void BM_EncoderImport(benchmark::State& state) {
    RunImport(state, EnvPath("MORVANE_ENCODER_FILE"), EncoderImport);
}
void BM_EncoderReadAndParse(benchmark::State& state) {
    RunImport(state, EnvPath("MORVANE_ENCODER_FILE"), ReadAndParsePairs);
}
void BM_AngleRead(benchmark::State& state) {
    RunImport(state, EnvPath("MORVANE_ANGLE_FILE"), ReadOnly);
}
void BM_TimeRead(benchmark::State& state) {
    RunImport(state, EnvPath("MORVANE_TIME_FILE"), ReadOnly);
}
void BM_EncoderRead(benchmark::State& state) {
    RunImport(state, EnvPath("MORVANE_ENCODER_FILE"), ReadOnly);
}
void BM_AngleImportRecording(benchmark::State& state) {
    RunImport(state, SharedData("bench-engine-angle.csv"), AngleImport);
}
void BM_TimeImportRecording(benchmark::State& state) {
    RunImport(state, SharedData("bench-engine-time.csv"), TimeImport);
}

BENCHMARK(BM_AngleImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AngleReadAndParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeReadAndParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncoderImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncoderReadAndParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AngleRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncoderRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AngleImportRecording)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeImportRecording)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
