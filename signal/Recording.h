#pragma once

// Measurement files as a data-acquisition system writes them: delimited text
// with a header, columns of numbers, the decimal mark of the machine's locale.

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

enum class TSeparator { Detect, Semicolon, Tab, Comma, Spaces };
enum class TDecimalSign { Detect, Comma, Point };

struct TRecordingFormat {
    TSeparator Separator = TSeparator::Detect;
    TDecimalSign Decimal = TDecimalSign::Detect;
};

// The chosen columns of a recording, in the order asked, one value per data line.
struct TRecording {
    std::vector<std::vector<double>> Columns;
    std::int64_t Lines = 0;  // every line of the file, headers included
};

// Reads the columns named in columns: a 1-based index ("2") or a header name
// ("Encoder [V]"). The separator is ';', tab, ',' or a run of spaces, the
// decimal mark ',' or '.'; each is detected from the first data lines unless
// given. A line that is not numbers at all is a header and is skipped (the
// first one names the columns); a blank line is skipped. A data line with a
// chosen field missing or not a number fails with EImportError naming the
// line number and its text, so nothing is half read.
TRecording ReadRecording(const std::string& path, const TRecordingFormat& format,
                         const std::vector<std::string>& columns);

}  // namespace morvane
