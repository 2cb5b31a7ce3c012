#include "signal/TimeImport.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "signal/Signal.h"
#include "util/errors.h"
#include "util/mathutil.h"
#include "util/numtext.h"
#include "util/textfile.h"

namespace morvane {

namespace {

// Every line, the first included, is one whole number; nothing is split.
T1DTable ReadSamples(const std::string& path) {
    const TTextLines lines = ReadTextLines(path);
    const std::size_t count = lines.size();
    // With no samples there is nothing to stretch over the cycle.
    if (count == 0) {
        RaiseImportError(path, "holds no values");
    }
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        RaiseImportError(path, "has too many lines");
    }
    T1DTable samples;
    // Reserved, not sized: each value is written once, by its parse.
    samples.Values.reserve(count);
    for (const std::string_view line : lines) {
        samples.Values.push_back(ParseFloat(line));
    }
    samples.Count = static_cast<std::int32_t>(count);
    return samples;
}

}  // namespace

void ImportTimeSignal(const std::string& path, IMessageBoxes& boxes, TSignalTable& signal) {
    T1DTable points;
    std::int32_t count = 0;
    {
        const T1DTable samples = ReadSamples(path);
        count = samples.Count;
        ResampleTable(samples, points, SignalPoints);
    }

    double largest = 0;
    for (std::size_t k = 0; k < signal.size(); ++k) {
        signal[k] = points.Values[k];
        if (std::fabs(signal[k]) > largest) {
            largest = std::fabs(signal[k]);
        }
    }
    boxes.ShowInfo("Řádky / Vrcholy: " + FormatInteger(count) + " / 1440");

    // All points zero: the normalisation would be 0 / 0, and the zero points stay.
    if (largest == 0) {
        RaiseInvalidOp();
    }
    // Every |entry| is at most the largest, so the quotients stay within -1 .. +1.
    for (double& entry : signal) {
        entry /= largest;
    }
}

}  // namespace morvane
