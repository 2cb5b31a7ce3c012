#pragma once

// The encoder import as the window's dialog holds it: every entry as typed,
// remembered within a run, and turned into import options only when the
// user confirms.

#include <string>

#include "signal/EncoderImport.h"
#include "util/numtext.h"

namespace morvane {

struct TEncoderTexts {
    std::string Path;
    std::string Wheel = "60-2";
    std::string ReferenceAngle = "0";
    std::string EncoderColumn = "1";
    std::string ValueColumn = "2";
    std::string TimeColumn;  // empty: the samples are taken at SampleRate
    std::string SampleRate = "100000";
    std::string IndexColumn;  // the once-per-revolution channel of a wheel without a gap
    int Phase = 0;            // 0: chosen by the signal; 1 or 2: the revolution that opens a cycle
};

// The import options of the texts. A text that is not a number raises the
// conversion failure; a missing file, a reference angle outside 0 .. <360, a
// sample rate that is not above 0 (without a time column) raise EInputError;
// a wheel that is not "T-M" raises EImportError.
TEncoderOptions EncoderOptionsOf(const TEncoderTexts& texts, TNumberFormat format);

}  // namespace morvane
