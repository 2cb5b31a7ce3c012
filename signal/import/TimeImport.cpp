#include "signal/import/TimeImport.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "signal/import/LineCheckpoints.h"
#include "util/errors.h"
#include "util/fpfault.h"
#include "util/mathutil.h"
#include "util/numtext.h"
#include "util/textfile.h"

namespace morvane {

namespace {

// One whole line as one number. Only the start of an overlong line was read,
// and no number is that long.
double ParseSample(const TLineReader& reader, std::string_view line, TNumberFormat format) {
    if (reader.lineCut()) {
        RaiseFloatConvertError(line);
    }
    return ParseFloat(line, format);
}

// Every line through sample(value, line), the lines that wait in the reader's
// buffer parsed in place; a line that does not parse there is left to the
// reader, whose next line raises the parse's own error.
template <typename Sample>
void ParseEveryLine(TLineReader& reader, TNumberFormat format, Sample&& sample) {
    std::string_view line;
    while (reader.next(line)) {
        sample(ParseSample(reader, line, format), line);
        reader.takeWaitingLines([&](std::string_view waiting) {
            double value = 0;
            if (!TryParseFloat(waiting, format, value)) {
                return false;
            }
            sample(value, waiting);
            return true;
        });
    }
}

void CheckLineCount(const std::string& path, std::uint64_t count) {
    // With no samples there is nothing to stretch over the cycle.
    if (count == 0) {
        RaiseImportError(path, "holds no values");
    }
    if (count > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        RaiseImportError(path, "has too many lines");
    }
}

// Where point i of the resampled table falls between the samples, exactly as
// ResampleTable computes it.
struct TPointPosition {
    std::int64_t Sample;
    double Fraction;
};

TPointPosition PointPosition(std::int64_t i, std::int64_t lastSample) {
    const long double intervals = static_cast<long double>(SignalPoints - 1);
    const double position = static_cast<double>(static_cast<long double>(i * lastSample) / intervals);
    const auto sample = static_cast<std::int64_t>(position);
    return {sample, position - static_cast<double>(sample)};
}

// The samples the resampling reads, ascending; the last sample among them.
std::vector<std::int64_t> NeededSamples(std::int64_t count) {
    std::vector<std::int64_t> needed;
    needed.reserve(std::size_t{2} * SignalPoints);
    const std::int64_t lastSample = count - 1;
    for (std::int64_t i = 0; i + 1 < SignalPoints; ++i) {
        const TPointPosition at = PointPosition(i, lastSample);
        needed.push_back(at.Sample);
        if (count > 1) {
            needed.push_back(at.Sample + 1);
        }
    }
    needed.push_back(lastSample);
    std::sort(needed.begin(), needed.end());
    needed.erase(std::unique(needed.begin(), needed.end()), needed.end());
    return needed;
}

// ResampleTable over the kept samples only: the same arithmetic, so the same
// points digit for digit.
void ResampleKept(const std::vector<std::int64_t>& needed, const std::vector<double>& kept,
                  std::int64_t count, TSignalTable& points) {
    const auto value = [&](std::int64_t sample) {
        const auto at = std::lower_bound(needed.begin(), needed.end(), sample);
        return kept[static_cast<std::size_t>(at - needed.begin())];
    };
    const std::int64_t lastSample = count - 1;
    for (std::int64_t i = 0; i + 1 < SignalPoints; ++i) {
        const TPointPosition at = PointPosition(i, lastSample);
        const double a = value(at.Sample);
        if (count == 1) {
            points[static_cast<std::size_t>(i)] = a;
            continue;
        }
        const double b = value(at.Sample + 1);
        const long double point = (static_cast<long double>(b) - a) * static_cast<long double>(at.Fraction) +
                                  static_cast<long double>(a);
        points[static_cast<std::size_t>(i)] = StoreDouble(point);
    }
    points[SignalPoints - 1] = value(lastSample);
}

// Samples held from the first pass: a file of up to this many lines is read
// once (16 MiB of values); of a longer one the samples the resampling needs
// are read again where the first pass's checkpoints find them.
constexpr std::size_t kHeldSamples = std::size_t{1} << 21;

// The samples the resampling needs, read again a few lines each.
std::vector<double> ReadNeededSamples(const std::string& path, const TLineReader& reader,
                                      const TLineCheckpoints& checkpoints,
                                      const std::vector<std::int64_t>& needed, TNumberFormat format) {
    std::vector<double> kept;
    kept.reserve(needed.size());
    TLineCursor cursor(reader);
    std::int64_t jumpedTo = -1;
    for (const std::int64_t sample : needed) {
        const auto [line, offset] = checkpoints.before(sample);
        if (line > jumpedTo) {
            cursor.jump(line, offset);
            jumpedTo = line;
        }
        std::string_view text;
        // A file that shrank between the passes lacks some of its samples.
        if (!cursor.lineAt(sample, text)) {
            RaiseImportError(path, "changed while it was read");
        }
        kept.push_back(ParseFloat(text, format));
    }
    return kept;
}

// Every line is parsed in the first pass, so a bad line fails wherever it is.
// A pipe cannot be read twice, so it keeps every sample.
std::int64_t Resample(const std::string& path, TLineReader& reader, TSignalTable& points,
                      TNumberFormat format) {
    const std::size_t held = reader.rereadable() ? kHeldSamples : std::numeric_limits<std::size_t>::max();
    T1DTable samples;
    // Reserved whole, so the values are never copied; pages untouched stay unused.
    if (reader.rereadable()) {
        samples.Values.reserve(held);
    }
    TLineCheckpoints checkpoints;
    std::uint64_t count = 0;
    ParseEveryLine(reader, format, [&](double sample, std::string_view line) {
        checkpoints.passed(static_cast<std::int64_t>(count), reader.offsetOf(line));
        if (count++ < held) {
            samples.Values.push_back(sample);
        }
    });
    CheckLineCount(path, count);
    const auto lineCount = static_cast<std::int64_t>(count);
    if (count <= held) {
        samples.Count = static_cast<std::int32_t>(count);
        T1DTable resampled;
        ResampleTable(samples, resampled, SignalPoints);
        std::copy(resampled.Values.begin(), resampled.Values.end(), points.begin());
        return lineCount;
    }
    samples = T1DTable();
    const std::vector<std::int64_t> needed = NeededSamples(lineCount);
    ResampleKept(needed, ReadNeededSamples(path, reader, checkpoints, needed, format), lineCount, points);
    return lineCount;
}

}  // namespace

void ImportTimeSignal(const std::string& path, IMessageBoxes& boxes, TSignalTable& signal,
                      TNumberFormat format) {
    TSignalTable points{};
    std::int64_t count = 0;
    {
        // Every byte of the file is passed on, a byte-order mark included.
        TLineReader reader(path, TByteOrderMark::Keep);
        count = Resample(path, reader, points, format);
    }

    double largest = 0;
    for (std::size_t k = 0; k < signal.size(); ++k) {
        signal[k] = points[k];
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
