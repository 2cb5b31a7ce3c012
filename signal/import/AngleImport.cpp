#include "signal/import/AngleImport.h"

#include <cmath>
#include <cstdint>
#include <string_view>

#include "signal/Signal.h"
#include "util/dialogutil.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/textfile.h"

namespace morvane {

namespace {

// The bin scan over the pairs of lines 1 .. count - 2. It is fed while the
// lines are parsed, so the file needs no table of pairs; its bins reach the signal
// only after the last line has parsed, which keeps a bad line anywhere in the
// file from leaving a partial signal behind.
class TAngleBinScan {
public:
    // One visited line: its own pair and the triggers of its two neighbours.
    void visit(double before, double trigger, double after, double value) {
        if (finished()) {
            return;
        }
        // The sum is formed in the wide intermediate and stored as a double;
        // a store beyond the double range is an overflow, raised once the
        // whole file has parsed.
        const double sum = static_cast<double>(static_cast<long double>(m_sum) + value);
        if (std::isinf(sum)) {
            m_overflowed = true;
            return;
        }
        m_sum = sum;
        // A peak line's own value belongs to the bin that it closes.
        if (before < trigger && trigger > after) {
            m_bins[static_cast<std::size_t>(m_binCount)] = m_sum;
            if (std::fabs(m_sum) > m_largest) {
                m_largest = std::fabs(m_sum);
            }
            m_sum = 0;
            ++m_binCount;
        }
    }

    bool overflowed() const { return m_overflowed; }
    std::int32_t binCount() const { return m_binCount; }
    double largest() const { return m_largest; }
    double bin(std::int32_t k) const { return m_bins[static_cast<std::size_t>(k)]; }

private:
    // The last half-degree point (720°) never receives a bin.
    static constexpr std::int32_t kMaxBins = SignalPoints - 1;

    bool finished() const { return m_overflowed || m_binCount >= kMaxBins; }

    TSignalTable m_bins{};
    std::int32_t m_binCount = 0;
    double m_sum = 0;
    double m_largest = 0;
    bool m_overflowed = false;
};

// A data line's trigger and value; a line that does not read raises the
// parse's own error for the part at fault.
void ParseAnglePair(std::string_view line, bool cut, TNumberFormat format, double& trigger, double& value) {
    if (!cut && TryParsePlainPair(line, ';', format, trigger, value)) {
        return;
    }
    std::string_view left;
    std::string_view right;
    SplitAtView(line, ';', left, right);
    trigger = ParseFloat(left, format);
    // Only the start of an overlong line was read, so its right part is
    // not the whole number: no number is that long.
    if (cut) {
        RaiseFloatConvertError(right);
    }
    value = ParseFloat(right, format);
}

}  // namespace

void ImportAngleSignal(const std::string& path, IMessageBoxes& boxes, TSignalTable& signal,
                       TNumberFormat format) {
    // Every byte passes on, as in the time import: a byte-order mark is the
    // start of the header line, which is never parsed, and counts as a line.
    TLineReader reader(path, TByteOrderMark::Keep);
    signal.fill(0.0);

    // The header (line 0) is never parsed and counts as the pair (0, 0).
    // Line i - 1 is visited once line i has parsed, when its right-hand
    // neighbour is known; the last line is only ever a neighbour.
    TAngleBinScan scan;
    double before = 0;
    double trigger = 0;
    double value = 0;
    std::size_t count = 0;
    std::string_view line;
    while (reader.next(line)) {
        const std::size_t i = count++;
        if (i == 0) {
            continue;
        }
        double nextTrigger = 0;
        double nextValue = 0;
        ParseAnglePair(line, reader.lineCut(), format, nextTrigger, nextValue);
        if (i >= 2) {
            scan.visit(before, trigger, nextTrigger, value);
        }
        before = trigger;
        trigger = nextTrigger;
        value = nextValue;
    }
    if (scan.overflowed()) {
        RaiseOverflow();
    }

    for (std::int32_t k = 0; k < scan.binCount(); ++k) {
        signal[static_cast<std::size_t>(k)] = scan.bin(k);
    }
    boxes.ShowInfo("Řádky / Vrcholy: " + FormatInteger(static_cast<std::int64_t>(count)) + " / " +
                   FormatInteger(scan.binCount()));

    // Without a non-zero bin the normalisation would be 0 / 0: the signal is
    // left all zero rather than all NaN.
    const double largest = scan.largest();
    if (largest == 0) {
        signal.fill(0.0);
        RaiseInvalidOp();
    }
    // Every |entry| is at most the largest, so the quotients stay within -1 .. +1.
    for (double& entry : signal) {
        entry /= largest;
    }
}

}  // namespace morvane
