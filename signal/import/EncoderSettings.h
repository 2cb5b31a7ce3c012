#pragma once

// The encoder import as the window's dialog holds it: every entry as typed,
// remembered within a run, and turned into import options only when the
// user confirms.

#include <string>
#include <vector>

#include "signal/import/EncoderImport.h"
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
    std::string IndexColumn;    // the once-per-revolution channel of a wheel without a gap
    int Phase = 0;              // 0: chosen by the signal; 1 or 2: the revolution that opens a cycle
    std::string PressureScale;  // bar per unit of the value column; empty: the value is no pressure
    // The knock band-pass "LO,HI" [Hz] and threshold [bar], used with a scale
    // only; an empty band computes no knock figures.
    std::string KnockBand = "4000,20000";
    std::string KnockThreshold = "1,0";
    // Several cylinders' pressure columns ("2,3,4,5"), each taking the scale;
    // empty or one column: the value column alone.
    std::string PressureColumns;
};

// The import options of the texts. A text that is not a number raises the
// conversion failure; a missing file, a reference angle outside 0 .. <360, a
// sample rate that is not above 0 (without a time column) raise EInputError;
// a wheel that is not "T-M" raises EImportError. A scale must be above 0 and
// finite; with it come the knock settings (the window 360 .. 420°), checked at
// the sample rate when there is no time column. A band that is not "LO,HI"
// raises EInputError.
TEncoderOptions EncoderOptionsOf(const TEncoderTexts& texts, TNumberFormat format);

// The pressure columns of texts.PressureColumns, one per cylinder from the
// first, each cylinder's cycle opening at its offset (degrees, from the
// cylinder table). Fewer than two columns leave the options as they are.
// Raises EInputError naming the field for an empty entry, more columns than
// offsets, or no sensor scale.
void TakePressureColumns(TEncoderOptions& options, const TEncoderTexts& texts,
                         const std::vector<double>& offsets);

}  // namespace morvane
