#pragma once

// A recording read on a thread of its own while the caller's thread analyses
// what is read: the reading thread parses lines into blocks of rows, a short
// queue carries them over. The caller sees the rows in file order, as one
// thread reading row by row would hand them, and the same error first: a
// reading error at a line is raised only once every row before it was
// analysed, and an analysis error stops the reading.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "signal/import/Recording.h"

namespace morvane {

// Rows of a recording's chosen channels, Width values each, in file order.
struct TRowBlock {
    std::size_t Width = 0;
    std::vector<double> Values;       // Width values a row
    std::vector<std::int64_t> Lines;  // each row's line (or sample) number

    std::size_t rows() const { return Lines.size(); }
    const double* row(std::size_t at) const { return Values.data() + at * Width; }
};

struct TRowBlockReading {
    std::string Path;
    TRecordingFormat Format;
    std::vector<std::string> Columns;
    // 2 and more: read on a thread of its own; 1: on the caller's, in the
    // same blocks.
    unsigned Threads = 1;
    // Runs on the reading thread for each row as it is read, while its text is
    // at hand: the checks whose messages quote the line. May be empty.
    TRowSink Check;
};

// Reads the recording as ReadAnyRecording does and hands its rows to analyse
// block by block on the calling thread. Returns the number of lines.
std::int64_t ReadRowBlocks(const TRowBlockReading& reading,
                           const std::function<void(const TRowBlock&)>& analyse);

}  // namespace morvane
