#pragma once

// Measurement files as a data-acquisition system writes them: delimited text
// with a header, columns of numbers, the decimal mark of the machine's locale.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "util/textfile.h"

namespace morvane {

enum class TSeparator { Detect, Semicolon, Tab, Comma, Spaces };
enum class TDecimalSign { Detect, Comma, Point };

struct TRecordingFormat {
    TSeparator Separator = TSeparator::Detect;
    TDecimalSign Decimal = TDecimalSign::Detect;
};

// Where a data line stands in the file, for messages.
struct TRowPlace {
    std::int64_t Line = 0;  // 1-based
    std::string_view Text;  // valid only during the call
};

// Receives the chosen fields of each data line, in the order asked.
using TRowSink = std::function<void(const std::vector<double>& values, const TRowPlace& place)>;

// Reads the rest of the file and hands the columns named in columns to row:
// each a 1-based index ("2") or a header name ("Encoder [V]"). The separator
// is ';', tab, ',' or a run of spaces, detected from the first data lines
// unless given; the decimal mark ',' or '.' is decided by the first data line
// that shows one (whole numbers read alike with either). Before the data, a
// line that is not numbers at all is a header and is skipped (the last one
// names the columns); a blank line is skipped anywhere. After the data began, a
// text line fails unless it repeats a line of the header exactly (recordings
// joined end to end). A data line with a chosen field missing, not a number
// or a number beyond the double range raises EImportError naming the line
// number and its text; a file of binary
// data, in UTF-16 or with a single column says so. A UTF-8 byte-order mark is
// skipped. Returns the number of lines, headers included.
std::int64_t ScanRecording(TLineReader& reader, const TRecordingFormat& format,
                           const std::vector<std::string>& columns, const TRowSink& row);

// Opens the file (or pipe) at path and scans it once as above; EFOpenError
// when it cannot be read.
std::int64_t ReadRecording(const std::string& path, const TRecordingFormat& format,
                           const std::vector<std::string>& columns, const TRowSink& row);

// What a text recording holds: the header's names (empty without a header),
// the fields of its first data line and its data lines.
struct TRecordingShape {
    std::vector<std::string> Header;
    std::size_t Fields = 0;
    std::int64_t Rows = 0;
};

// Scans the file once as ReadRecording does.
TRecordingShape ReadRecordingShape(const std::string& path, const TRecordingFormat& format);

// The header and the first data line's fields only (Rows 0 or 1): a large
// file is not read to its end.
TRecordingShape ReadRecordingHead(const std::string& path, const TRecordingFormat& format);

}  // namespace morvane
