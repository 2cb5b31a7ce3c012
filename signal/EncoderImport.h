#pragma once

// Import of a real measurement onto the cycle: a recording of a toothed crank
// wheel's encoder beside the measured channel (cylinder pressure, say) gives
// every sample its crank angle; each complete cycle of two revolutions is
// resampled onto the 1441 half-degree points and the mean of all cycles
// becomes the signal.
//
// Use: fill a TEncoderOptions, call ImportEncoderRecording for the numbers
// (nothing is shown or changed), then ShowEncoderResult to show the summary
// and write the signal table; ImportEncoderSignal does both.

#include <optional>
#include <string>
#include <vector>

#include "signal/Recording.h"
#include "signal/Signal.h"
#include "signal/ToothedWheel.h"
#include "util/messages.h"

namespace morvane {

struct TEncoderOptions {
    std::string Path;
    TWheel Wheel;                     // ParseWheel("60-2")
    double ReferenceAngle = 0;        // cycle angle of the reference edge, 0 <= angle < 360
    std::string EncoderColumn = "1";  // 1-based index or header name
    std::string ValueColumn = "2";
    std::string TimeColumn;   // empty: the samples are 1 / SampleRate apart
    double SampleRate = 0;    // Hz, used without a time column
    std::string IndexColumn;  // once-per-revolution channel, needed by an M = 0 wheel
    int Phase = 0;            // 1: the first complete revolution opens a cycle; 2: the second; 0: chosen
    TRecordingFormat Format;  // separator and decimal mark, detected by default
    bool KeepCycles = true;   // false: Cycles stays empty, memory does not grow with the recording
};

struct TEncoderResult {
    TSignalTable Signal{};             // Mean divided by its largest magnitude (all zero when that is 0)
    TSignalTable Mean{};               // the mean cycle in the file's units
    std::vector<TSignalTable> Cycles;  // every complete cycle in the file's units, in file order (KeepCycles)
    std::int64_t CycleCount = 0;       // complete cycles averaged
    double Largest = 0;                // the largest magnitude of Mean
    int Phase = 1;                     // the phase used
    int Revolutions = 0;               // complete revolutions found
    double Rpm = 0;                    // mean speed over the complete revolutions
};

// Reads and evaluates the recording; shows nothing and changes no table. A
// file is read twice (the encoder's range, then the cycles) through a fixed
// buffer, so memory does not grow with it unless cycles are kept; a pipe is
// read once and its chosen columns are held.
// Failures raise EImportError (the recording), EFOpenError (the file),
// EOverflow (a number beyond the double range).
TEncoderResult ImportEncoderRecording(const TEncoderOptions& options);

// The summary "Cykly / Otáčky [RPM]: <cycles> / <rpm>" (rpm rounded), then
// the normalised mean into signal. A mean of only zeros shows the summary, then
// raises "Invalid floating point operation" and leaves signal as it was.
void ShowEncoderResult(const TEncoderResult& result, IMessageBoxes& boxes, TSignalTable& signal);

// ImportEncoderRecording, then ShowEncoderResult. A failed import leaves signal as it was.
void ImportEncoderSignal(const TEncoderOptions& options, IMessageBoxes& boxes, TSignalTable& signal);

}  // namespace morvane
