// Times the two signal importers on large files. The files come from
// bench/make_signal_files.py; their paths are given by the environment
// variables MORVANE_ANGLE_FILE and MORVANE_TIME_FILE. The real recordings of
// the shared data folder are timed as well when they are present.
//
// Each benchmark reports the process's peak resident memory (peak_rss_MiB),
// its growth above the memory held before the first import (import_peak_MiB)
// and the file size; run one benchmark per process (--benchmark_filter) to
// read the peak of that import alone.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "signal/AngleImport.h"
#include "signal/TimeImport.h"
#include "util/messages.h"
#include "util/numtext.h"

namespace morvane {
namespace {

class TQuietBoxes : public IMessageBoxes {
public:
    void ShowInfo(const std::string& text) override { lastInfo = text; }
    void ShowErrorBox(const std::string& text) override { lastInfo = text; }
    std::string lastInfo;
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
    const DecimalMarkScope comma(',');
    TQuietBoxes boxes;
    // What the process holds before its first import; the import's own peak
    // is the growth of the high-water mark above it. It is taken once: the
    // framework calls this function several times, and the allocator may keep
    // an earlier import's freed memory resident for the next one.
    static const double baselineMiB = CurrentRssMiB();
    TSignalTable signal{};
    for (auto _ : state) {
        import(path, boxes, signal);
        benchmark::DoNotOptimize(boxes.lastInfo.data());
    }
    const double fileMiB = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
    state.counters["file_MiB"] = fileMiB;
    state.counters["peak_rss_MiB"] = PeakRssMiB();
    state.counters["import_peak_MiB"] = PeakRssMiB() - baselineMiB;
    state.SetLabel(boxes.lastInfo);
}

std::string EnvPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string SharedData(const char* name) {
    return std::string(MORVANE_SHARED_DATA_DIR) + "/" + name;
}

void BM_AngleImport(benchmark::State& state) {
    RunImport(state, EnvPath("MORVANE_ANGLE_FILE"), ImportAngleSignal);
}
void BM_TimeImport(benchmark::State& state) {
    RunImport(state, EnvPath("MORVANE_TIME_FILE"), ImportTimeSignal);
}
void BM_AngleImportRecording(benchmark::State& state) {
    RunImport(state, SharedData("bench-engine-angle.csv"), ImportAngleSignal);
}
void BM_TimeImportRecording(benchmark::State& state) {
    RunImport(state, SharedData("bench-engine-time.csv"), ImportTimeSignal);
}

BENCHMARK(BM_AngleImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AngleImportRecording)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeImportRecording)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvane
