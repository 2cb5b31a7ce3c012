#pragma once

// Measurement files as a data-acquisition system writes them: delimited text
// with a header, columns of numbers, the decimal mark of the machine's locale.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "util/textfile.h"

namespace morvane {

enum class TSeparator { Detect, Semicolon, Tab, Comma, Spaces };
enum class TDecimalSign { Detect, Comma, Point };

struct TRecordingFormat {
    TSeparator Separator = TSeparator::Detect;
    TDecimalSign Decimal = TDecimalSign::Detect;
};

// Receives the chosen fields of each data line, in the order asked.
using TRowSink = std::function<void(const std::vector<double>& values)>;

// Reads the rest of the file and hands the columns named in columns to row:
// each a 1-based index ("2") or a header name ("Encoder [V]"). The separator
// is ';', tab, ',' or a run of spaces, the decimal mark ',' or '.'; each is
// detected from the first data lines unless given. A line that is not numbers
// at all is a header and is skipped (the first one names the columns); a blank
// line is skipped. A data line with a chosen field missing or not a number
// raises EImportError naming the line number and its text. Returns the number
// of lines, headers included.
std::int64_t ScanRecording(TLineReader& reader, const TRecordingFormat& format,
                           const std::vector<std::string>& columns, const TRowSink& row);

}  // namespace morvane
