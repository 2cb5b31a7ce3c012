// The three signal imports on arbitrary file contents. Whatever the outcome,
// the signal holds only finite entries within -1 .. +1: the normalised new
// signal, or the state each failure documents (the previous signal, or all
// zero; the encoder import never changes it on failure).

#include <cmath>
#include <string>

#include "fuzz/fuzz_support.h"
#include "signal/Signal.h"
#include "signal/import/AngleImport.h"
#include "signal/import/EncoderImport.h"
#include "signal/import/TimeImport.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/textfile.h"

namespace morvane::fuzz {
namespace {

// A recognisable earlier signal, itself within -1 .. +1.
TSignalTable PreviousSignal() {
    TSignalTable previous{};
    for (std::size_t k = 0; k < previous.size(); ++k) {
        previous[k] = static_cast<double>(static_cast<int>(k * 37 % 201) - 100) / 100.0;
    }
    return previous;
}

bool AllZero(const TSignalTable& signal) {
    for (const double entry : signal) {
        if (entry != 0) {
            return false;
        }
    }
    return true;
}

void CheckWithinRange(const TSignalTable& signal, const char* import) {
    for (const double entry : signal) {
        Check(std::isfinite(entry) && entry >= -1 && entry <= 1, "every entry is finite and within -1 .. +1",
              import);
    }
}

// A successful import leaves its largest entry at exactly +1 or -1.
void CheckNormalised(const TSignalTable& signal, const char* import) {
    double largest = 0;
    for (const double entry : signal) {
        largest = std::fmax(largest, std::fabs(entry));
    }
    Check(largest == 1, "the entry of largest magnitude is +1 or -1", import);
}

void CheckSummary(const TRecordingBoxes& boxes, std::size_t lineCount, const std::string& peaks) {
    Check(boxes.infoCount == 1, "the summary is shown once");
    const std::string expected =
        "Řádky / Vrcholy: " + FormatInteger(static_cast<std::int64_t>(lineCount)) + " / ";
    Check(boxes.info.compare(0, expected.size(), expected) == 0, "the summary counts the lines", boxes.info);
    if (!peaks.empty()) {
        Check(boxes.info == expected + peaks, "the summary's second number", boxes.info);
    }
}

void RunAngleImport(const std::string& path, std::size_t lineCount) {
    const char* const import = "angle import";
    const TSignalTable previous = PreviousSignal();
    TSignalTable signal = previous;
    TRecordingBoxes boxes;
    try {
        ImportAngleSignal(path, boxes, signal, kDecimalComma);
        CheckSummary(boxes, lineCount, {});
        CheckNormalised(signal, import);
        Check(signal[SignalPoints - 1] == 0, "the 720° entry receives no bin");
    } catch (const EConvertError&) {
        Check(boxes.infoCount == 0, "a line that is not a number fails before the summary");
        Check(AllZero(signal), "a conversion failure leaves the signal all zero");
    } catch (const EOverflow&) {
        Check(boxes.infoCount == 0, "an overflow fails before the summary");
        Check(AllZero(signal), "an overflow leaves the signal all zero");
    } catch (const EInvalidOp&) {
        CheckSummary(boxes, lineCount, {});
        Check(AllZero(signal), "a file without a non-zero bin leaves the signal all zero");
    }
    CheckWithinRange(signal, import);
}

void RunTimeImport(const std::string& path, std::size_t lineCount) {
    const char* const import = "time import";
    const TSignalTable previous = PreviousSignal();
    TSignalTable signal = previous;
    TRecordingBoxes boxes;
    try {
        ImportTimeSignal(path, boxes, signal, kDecimalComma);
        CheckSummary(boxes, lineCount, "1440");
        CheckNormalised(signal, import);
    } catch (const EConvertError&) {
        Check(boxes.infoCount == 0, "a line that is not a number fails before the summary");
        Check(signal == previous, "a conversion failure leaves the previous signal");
    } catch (const EOverflow&) {
        // Only a line beyond the double range overflows, while it is parsed.
        Check(boxes.infoCount == 0, "an overflow fails before the summary");
        Check(signal == previous, "an overflow leaves the previous signal");
    } catch (const EImportError&) {
        Check(lineCount == 0, "only a file without lines has no values");
        Check(boxes.infoCount == 0, "a file without lines shows no summary");
        Check(signal == previous, "a file without lines leaves the previous signal");
    } catch (const EInvalidOp&) {
        CheckSummary(boxes, lineCount, "1440");
        Check(AllZero(signal), "all-zero values leave the signal all zero");
    }
    CheckWithinRange(signal, import);
}

// A small wheel at a low sample rate, so that short inputs can hold whole
// revolutions; the format is detected from the contents.
void RunEncoderImport(const std::string& path) {
    const char* const import = "encoder import";
    const TSignalTable previous = PreviousSignal();
    TSignalTable signal = previous;
    TRecordingBoxes boxes;
    TEncoderOptions options;
    options.Path = path;
    options.Wheel = ParseWheel("4-1");
    options.SampleRate = 1000;
    try {
        ImportEncoderSignal(options, boxes, signal);
        Check(boxes.infoCount == 1, "a successful encoder import shows its summary once");
        CheckNormalised(signal, import);
    } catch (const EImportError&) {
        Check(signal == previous, "a recording that gives no cycle leaves the previous signal");
    } catch (const EOverflow&) {
        Check(signal == previous, "an overflow leaves the previous signal");
    } catch (const EInvalidOp&) {
        Check(signal == previous, "an all-zero mean leaves the previous signal");
    }
    CheckWithinRange(signal, import);
}

}  // namespace
}  // namespace morvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    static fuzz::TScratchFile file;
    const std::string_view contents = fuzz::AsText(data, size);
    const std::string& path = file.write(contents);
    const std::size_t lineCount = SplitTextLines(contents).size();
    fuzz::RunAngleImport(path, lineCount);
    fuzz::RunTimeImport(path, lineCount);
    fuzz::RunEncoderImport(path);
    return 0;
}
