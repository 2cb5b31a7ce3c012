#pragma once

// A cylinder-pressure cycle in the units of its source (bar, absolute), on the
// 1441 half-degree points of the cycle: 0° is gas-exchange top dead centre,
// 360° firing top dead centre.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "signal/Signal.h"
#include "util/numtext.h"
#include "util/textfile.h"

namespace morvane {

// The knock figures of one cycle: MAPO, the largest magnitude of the
// band-pass filtered pressure in the knock window, and whether it exceeded the
// knock threshold.
struct TCycleKnock {
    std::optional<double> Mapo;  // bar
    bool Knocking = false;
};

struct TPressureCycle {
    // The averaged cycle; entry k stands for k/2 degrees.
    TSignalTable Mean{};
    // Every complete cycle that went into Mean, in recording order; empty when
    // only the averaged cycle is known (a cycle file). The toothed-wheel
    // import fills both fields from its recording.
    std::vector<TSignalTable> Cycles;
    // The file the cycle comes from, as the user named it.
    std::string Source;
    // The knock figures of each entry of Cycles, in the same order, when they
    // were computed from the recording's time samples; empty otherwise.
    std::vector<TCycleKnock> Knock{};
    // False for an encoder recording imported without a sensor scale: its
    // values are in the unit of the DAQ, and no figure may be shown in bar.
    bool InBar = true;
    // The speeds a recording gave: of the mean (0 when unknown) and of each
    // entry of Cycles (empty when unknown), read by a heat-transfer model.
    double Rpm = 0;
    std::vector<double> CycleRpm{};
    // Of a recording of several cylinders: the engine cycle each entry of
    // Cycles belongs to (the cylinders' cycles of one engine cycle share it).
    std::vector<std::int64_t> EngineCycles{};
};

// A pressure cycle from the lines of a file in one of two forms:
// - 1441 lines, each one whole number (no header);
// - a header line (never parsed), then 1441 "angle;pressure" lines whose angles
//   are 0, 0,5, ... 720 in order.
// The second form is recognised by a ';' in the second line. A line that is
// not a number raises the conversion failure naming its text; a wrong count
// or an angle out of order raises EImportError naming path.
TPressureCycle ParsePressureCycle(const TTextLines& lines, const std::string& path, TNumberFormat format);

// Reads the file and parses it as above; EFOpenError when it cannot be read.
// A file longer than the longer form is refused ("holds more than 1441
// pressure values") once that many lines are read, whatever its size.
TPressureCycle ReadPressureCycle(const std::string& path, TNumberFormat format);

}  // namespace morvane
