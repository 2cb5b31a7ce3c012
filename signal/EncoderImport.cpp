#include "signal/EncoderImport.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "util/errors.h"
#include "util/numtext.h"

namespace morvane {

namespace {

constexpr double kCycleDegrees = 720;
constexpr double kPointDegrees = kCycleDegrees / (SignalPoints - 1);

void CheckOptions(const TEncoderOptions& options) {
    if (!(options.ReferenceAngle >= 0 && options.ReferenceAngle < 360)) {
        RaiseRecordingError("Úhel referenční hrany musí být od 0 do 360 (bez 360)");
    }
    if (options.TimeColumn.empty() && !(options.SampleRate > 0 && std::isfinite(options.SampleRate))) {
        RaiseRecordingError("Bez sloupce času je třeba zadat vzorkovací frekvenci");
    }
    if (options.Wheel.Missing == 0 && options.IndexColumn.empty()) {
        RaiseRecordingError("Kolo bez chybějících zubů potřebuje sloupec indexu (jeden impuls na otáčku)");
    }
    if (options.Phase < 0 || options.Phase > 2) {
        RaiseRecordingError("Fáze musí být 1 nebo 2");
    }
}

// The moment of every sample: the time column, or the sample rate.
std::vector<double> SampleTimes(const TEncoderOptions& options, TRecording& recording, std::size_t timeColumn,
                                std::size_t samples) {
    if (!options.TimeColumn.empty()) {
        std::vector<double> times = std::move(recording.Columns[timeColumn]);
        if (std::adjacent_find(times.begin(), times.end(), std::greater_equal<>()) != times.end()) {
            RaiseRecordingError("Čas ve sloupci času musí stále růst");
        }
        return times;
    }
    std::vector<double> times(samples);
    for (std::size_t i = 0; i < samples; ++i) {
        times[i] = static_cast<double>(i) / options.SampleRate;
    }
    return times;
}

// The angle relative to the cycle's first reference edge at which point k lies.
double CycleOffset(int k, double referenceAngle) {
    double offset = k * kPointDegrees - referenceAngle;
    return offset < 0 ? offset + kCycleDegrees : offset;
}

// The cycles opened by revolutions first, first + 2, ...: each sample's angle
// from the crank angle, and the value at every point interpolated between the
// two samples around its angle.
std::vector<TSignalTable> ResampleCycles(const std::vector<double>& angles, const std::vector<double>& values,
                                         int revolutions, int first, double referenceAngle) {
    std::vector<TSignalTable> cycles;
    for (int start = first; start + 2 <= revolutions; start += 2) {
        TSignalTable cycle{};
        for (int k = 0; k < SignalPoints; ++k) {
            const double angle = 360.0 * start + CycleOffset(k, referenceAngle);
            auto after = std::upper_bound(angles.begin(), angles.end(), angle);
            after = std::clamp(after, angles.begin() + 1, angles.end() - 1);
            const auto i = static_cast<std::size_t>(after - angles.begin());
            const double span = angles[i] - angles[i - 1];
            const double fraction = span > 0 ? std::clamp((angle - angles[i - 1]) / span, 0.0, 1.0) : 0.0;
            cycle[static_cast<std::size_t>(k)] = values[i - 1] + fraction * (values[i] - values[i - 1]);
        }
        cycles.push_back(cycle);
    }
    return cycles;
}

TSignalTable MeanOf(const std::vector<TSignalTable>& cycles) {
    TSignalTable mean{};
    for (const TSignalTable& cycle : cycles) {
        for (std::size_t k = 0; k < mean.size(); ++k) {
            mean[k] += cycle[k] / static_cast<double>(cycles.size());
        }
    }
    return mean;
}

// The firing half, where the events' defaults put combustion.
bool PeakInFiringHalf(const TSignalTable& mean) {
    const auto peak = static_cast<int>(std::max_element(mean.begin(), mean.end()) - mean.begin());
    return peak >= 180 * 2 && peak <= 540 * 2;
}

}  // namespace

TEncoderResult ImportEncoderRecording(const TEncoderOptions& options) {
    CheckOptions(options);
    std::vector<std::string> columns{options.EncoderColumn, options.ValueColumn};
    const std::size_t timeColumn = columns.size();
    if (!options.TimeColumn.empty()) {
        columns.push_back(options.TimeColumn);
    }
    const std::size_t indexColumn = columns.size();
    if (!options.IndexColumn.empty()) {
        columns.push_back(options.IndexColumn);
    }
    TRecording recording = ReadRecording(options.Path, options.Format, columns);
    const std::vector<double>& encoder = recording.Columns[0];
    const std::vector<double>& values = recording.Columns[1];
    const std::vector<double> times = SampleTimes(options, recording, timeColumn, encoder.size());

    const std::vector<double> edges = RisingEdges(encoder, times);
    const std::vector<double> indexEdges = options.IndexColumn.empty()
                                               ? std::vector<double>{}
                                               : RisingEdges(recording.Columns[indexColumn], times);
    TCrankAngle crank(edges, options.Wheel, indexEdges);

    // The samples within the complete revolutions, with their angles.
    std::vector<double> angles;
    std::vector<double> kept;
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (times[i] >= crank.firstMoment() && times[i] <= crank.lastMoment()) {
            angles.push_back(crank.angleAt(times[i]));
            kept.push_back(values[i]);
        }
    }
    if (angles.size() < 2) {
        RaiseRecordingError("Záznam má příliš málo vzorků na otáčku");
    }

    TEncoderResult result;
    result.Revolutions = crank.revolutions();
    result.Rpm = 60.0 * crank.revolutions() / (crank.lastMoment() - crank.firstMoment());
    result.Phase = options.Phase == 0 ? 1 : options.Phase;
    result.Cycles =
        ResampleCycles(angles, kept, crank.revolutions(), result.Phase - 1, options.ReferenceAngle);
    if (options.Phase == 0 && !result.Cycles.empty() && !PeakInFiringHalf(MeanOf(result.Cycles))) {
        result.Phase = 2;
        result.Cycles = ResampleCycles(angles, kept, crank.revolutions(), 1, options.ReferenceAngle);
    }
    if (result.Cycles.empty()) {
        RaiseRecordingError(
            "Záznam nemá ani jeden úplný cyklus (úplných otáček: " + std::to_string(crank.revolutions()) +
            ", fáze " + std::to_string(result.Phase) + ")");
    }
    result.Mean = MeanOf(result.Cycles);
    for (const double point : result.Mean) {
        result.Largest = std::max(result.Largest, std::fabs(point));
    }
    if (result.Largest > 0) {
        for (std::size_t k = 0; k < result.Signal.size(); ++k) {
            result.Signal[k] = result.Mean[k] / result.Largest;
        }
    }
    return result;
}

void ShowEncoderResult(const TEncoderResult& result, IMessageBoxes& boxes, TSignalTable& signal) {
    boxes.ShowInfo("Cykly / Otáčky [RPM]: " + FormatInteger(static_cast<std::int64_t>(result.Cycles.size())) +
                   " / " + FormatInteger(std::llround(result.Rpm)));
    // Without a non-zero point the normalisation would be 0 / 0.
    if (result.Largest == 0) {
        RaiseInvalidOp();
    }
    signal = result.Signal;
}

void ImportEncoderSignal(const TEncoderOptions& options, IMessageBoxes& boxes, TSignalTable& signal) {
    ShowEncoderResult(ImportEncoderRecording(options), boxes, signal);
}

}  // namespace morvane
