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

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "signal/Signal.h"
#include "signal/import/EncoderCycles.h"
#include "signal/import/Recording.h"
#include "signal/import/ToothedWheel.h"
#include "signal/pressure/KnockFilter.h"
#include "signal/pressure/PressureCycle.h"
#include "util/messages.h"
#include "util/numtext.h"

namespace morvane {

// The most pressure channels a recording may have, one per cylinder.
constexpr std::size_t kMostPressureChannels = 16;

// One pressure channel of a recording with several, one per cylinder.
struct TPressureChannel {
    std::string Column;  // 1-based index or header name
    double Scale = 1;    // bar per unit
    // The recording's cycle angle at which this cylinder's cycle opens (its
    // gas-exchange top dead centre), 0 <= Start < 720; cylinder 1's is 0.
    double Start = 0;
};

struct TEncoderOptions {
    std::string Path;
    TWheel Wheel;                     // ParseWheel("60-2")
    double ReferenceAngle = 0;        // cycle angle of the reference edge, 0 <= angle < 360
    std::string EncoderColumn = "1";  // 1-based index or header name
    std::string ValueColumn = "2";
    TNumberFormat Numbers = kDecimalComma;  // of the numbers in the messages
    std::string TimeColumn;                 // empty: the samples are 1 / SampleRate apart
    double SampleRate = 0;                  // Hz, used without a time column
    std::string IndexColumn;                // once-per-revolution channel, needed by an M = 0 wheel
    int Phase = 0;            // 1: the first complete revolution opens a cycle; 2: the second; 0: chosen
    TRecordingFormat Format;  // separator and decimal mark, detected by default
    bool KeepCycles = true;   // false: Cycles stays empty, memory does not grow with the recording
    // Bar per unit of the value column; absent: the value is no pressure and
    // stays in the file's unit.
    std::optional<double> PressureScale;
    // Knock figures of every cycle; needs PressureScale. With a time column
    // the band-pass is designed for the mean sample interval of the first
    // complete revolution (of the opening samples when none is complete).
    std::optional<TKnockSettings> Knock;
    // True when Knock is a default nobody chose: a sample rate too low for its
    // band leaves knock out (TEncoderResult::KnockNote) instead of failing.
    bool KnockIfBandFits = false;
    // Receives each complete cycle of the chosen phase as soon as it is known,
    // in order, beside KeepCycles.
    std::function<void(const TEncoderCycle&)> CycleSink;
    // Several pressure channels read in the same pass instead of ValueColumn
    // alone; PressureScale must be given (the channels' own scales are used).
    // Each channel's cycles are its cylinder's own: they open at its Start,
    // and the partial first and last of each are dropped. The phase is
    // chosen by the first channel; the sink gets every channel's cycles
    // (TEncoderCycle::Channel), Cycles, Mapo and Knocks stay the first's.
    std::vector<TPressureChannel> Channels;
    // Not empty: the recording is in the angle domain, this column (or MDF
    // channel) its crank angle in degrees; no wheel, time or knock then.
    std::string AngleColumn;
    double AngleOffset = 0;  // the recorded angle of cylinder 1's gas-exchange top dead centre
    // 2 and more: the file is read and parsed on a thread of its own while
    // this one analyses; the results are the same.
    unsigned Threads = 2;
};

struct TEncoderResult {
    TSignalTable Signal{};             // Mean divided by its largest magnitude (all zero when that is 0)
    TSignalTable Mean{};               // the mean cycle: bar with PressureScale, else the file's unit
    std::vector<TSignalTable> Cycles;  // every complete cycle in Mean's unit, in file order (KeepCycles)
    std::int64_t CycleCount = 0;       // complete cycles averaged
    double Largest = 0;                // the largest magnitude of Mean
    int Phase = 1;                     // the phase used
    int Revolutions = 0;               // complete revolutions found
    double Rpm = 0;                    // mean speed over the complete revolutions
    bool InBar = false;                // Mean and Cycles are pressures in bar (PressureScale given)
    std::vector<double> CycleRpm;      // the speed of each kept cycle (KeepCycles)
    std::vector<double> Mapo;          // per complete cycle [bar], with Knock settings
    std::vector<bool> Knocks;          // per complete cycle: Mapo above the threshold
    double KnockSampleRate = 0;        // Hz, the rate the band-pass was designed for
    std::string KnockNote;             // why knock was left out (KnockIfBandFits); empty otherwise
    // With several channels: each channel's mean and complete cycles, in
    // channel order (Mean and CycleCount are the first's).
    std::vector<TSignalTable> ChannelMeans;
    std::vector<std::int64_t> ChannelCycleCounts;
    bool AngleDomain = false;  // from an angle-domain recording: no speed is known
};

// Reads and evaluates the recording; shows nothing and changes no table.
// Files and pipes are read once, in bounded memory unless cycles are kept.
// The encoder's hysteresis thresholds come from its range over the opening
// samples (until two revolutions' worth of edges, at most 2^20 values); the
// rest of the recording must stay within that range widened by a tenth of it
// on each side, or the import fails naming the line. With Phase 0 the phase is
// chosen by the mean of the first four complete cycles of phase 1 (all of them
// when fewer), so every cycle can be handed on as soon as it is complete.
// Each revolution must last between 60 µs and 60 s (1 to 1,000,000 rpm).
// Failures raise EImportError (the recording, a number beyond the double
// range named by its line), EInputError (the options), EFOpenError (the file).
TEncoderResult ImportEncoderRecording(const TEncoderOptions& options);

// The summary "Cykly / Otáčky [RPM]: <cycles> / <rpm>" (rpm rounded) and the
// knock note when there is one, then the normalised mean into signal. A mean of only zeros shows the summary,
// then raises "Invalid floating point operation" and leaves signal as it was.
void ShowEncoderResult(const TEncoderResult& result, IMessageBoxes& boxes, TSignalTable& signal);

// The recording's cycles as a pressure cycle: the mean, every kept cycle and
// its knock figures (when they were computed), the speeds, and whether they are in bar.
TPressureCycle PressureCycleOf(TEncoderResult result, const std::string& source);

// ImportEncoderRecording, then ShowEncoderResult. A failed import leaves signal as it was.
void ImportEncoderSignal(const TEncoderOptions& options, IMessageBoxes& boxes, TSignalTable& signal);

}  // namespace morvane
