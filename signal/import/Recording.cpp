#include "signal/import/Recording.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>

#include "util/errors.h"
#include "util/linebreaks.h"
#include "util/numtext.h"
#include "util/quote.h"
#include "util/textencoding.h"
#include "util/textfile.h"

namespace morvane {

namespace {

// Lines looked at to detect the separator and the decimal mark.
constexpr int kDetectionLines = 50;
// Lines held at most before the format is decided, headers included.
constexpr std::size_t kWaitingLines = 10000;

// Most fields have no blank around them; only those are trimmed (out of line).
std::string_view Trimmed(std::string_view field) {
    const auto blankish = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    return !field.empty() && (blankish(field.front()) || blankish(field.back())) ? TrimBlanksView(field)
                                                                                 : field;
}

// The fields of a line; a run of spaces or tabs is one separator for Spaces.
void SplitFields(std::string_view line, TSeparator separator, std::vector<std::string_view>& fields) {
    fields.clear();
    line = Trimmed(line);
    if (line.empty()) {
        return;
    }
    if (separator == TSeparator::Spaces) {
        std::size_t at = 0;
        while (at < line.size()) {
            const std::size_t stop = std::min(line.find_first_of(" \t", at), line.size());
            fields.push_back(line.substr(at, stop - at));
            at = line.find_first_not_of(" \t", stop);
            at = at == std::string_view::npos ? line.size() : at;
        }
        return;
    }
    const char mark = separator == TSeparator::Semicolon ? ';' : separator == TSeparator::Tab ? '\t' : ',';
    const char* at = line.data();
    const char* const end = at + line.size();
    for (;;) {
        const auto* stop =
            static_cast<const char*>(std::memchr(at, mark, static_cast<std::size_t>(end - at)));
        fields.push_back(Trimmed(std::string_view(at, static_cast<std::size_t>((stop ? stop : end) - at))));
        if (stop == nullptr) {
            return;
        }
        at = stop + 1;
    }
}

enum class TFieldRead { Number, NotNumber, BeyondRange };

// The float parse with the file's decimal mark: a field holding the other
// mark is no number. A number beyond the double range is said, not raised, so
// that its line can be named.
TFieldRead ReadField(std::string_view field, char mark, double& value) {
    try {
        return TryParseFloat(field, TNumberFormat{mark}, value) ? TFieldRead::Number : TFieldRead::NotNumber;
    } catch (const EOverflow&) {
        return TFieldRead::BeyondRange;
    }
}

// Whether the field is written as a number; one beyond the double range is
// (the format is told by how fields are written), and fails when its value
// is taken.
bool ParseField(std::string_view field, char mark, double& value) {
    return ReadField(field, mark, value) != TFieldRead::NotNumber;
}

// A header or a comment has no field that reads as a number with either mark;
// a data line with the wrong mark is still data, and fails.
bool AnyNumber(const std::vector<std::string_view>& fields) {
    double ignored = 0;
    return std::any_of(fields.begin(), fields.end(), [&](std::string_view field) {
        return ParseField(field, ',', ignored) || ParseField(field, '.', ignored);
    });
}

bool AllNumbersWithEitherMark(const std::vector<std::string_view>& fields) {
    double ignored = 0;
    return std::all_of(fields.begin(), fields.end(), [&](std::string_view field) {
        return ParseField(field, ',', ignored) || ParseField(field, '.', ignored);
    });
}

char MarkOf(TDecimalSign sign) {
    return sign == TDecimalSign::Comma ? ',' : '.';
}

// Every field a number with this mark, and at least two fields.
bool AllNumbers(const std::vector<std::string_view>& fields, char mark) {
    double ignored = 0;
    return fields.size() >= 2 && std::all_of(fields.begin(), fields.end(), [&](std::string_view field) {
               return ParseField(field, mark, ignored);
           });
}

constexpr std::array<TSeparator, 4> kSeparators = {TSeparator::Semicolon, TSeparator::Tab, TSeparator::Comma,
                                                   TSeparator::Spaces};

// Two or more fields, all numbers with this mark.
bool Fits(const std::string& line, TSeparator separator, char mark, std::vector<std::string_view>& fields) {
    SplitFields(line, separator, fields);
    return AllNumbers(fields, mark);
}

// The format most of the first data lines fit (the first separator in the
// order ';', tab, ',', spaces and the comma before the point on a tie); a
// stray line is left to fail with its line number. Lines that use the comma
// beside lines that use the point, other than as a ',' separator, are an error.
TRecordingFormat DetectFormat(const std::vector<std::string>& sample, TRecordingFormat format) {
    std::vector<std::string_view> fields;
    std::size_t bestCount = 0;
    TRecordingFormat best = format;
    for (const TSeparator candidate : kSeparators) {
        for (const TDecimalSign sign : {TDecimalSign::Comma, TDecimalSign::Point}) {
            const bool allowed = (format.Separator == TSeparator::Detect || format.Separator == candidate) &&
                                 (format.Decimal == TDecimalSign::Detect || format.Decimal == sign) &&
                                 !(candidate == TSeparator::Comma && sign == TDecimalSign::Comma);
            const auto count =
                !allowed ? 0 : std::count_if(sample.begin(), sample.end(), [&](const std::string& line) {
                    return Fits(line, candidate, MarkOf(sign), fields);
                });
            if (static_cast<std::size_t>(count) > bestCount) {
                bestCount = static_cast<std::size_t>(count);
                best = TRecordingFormat{candidate, sign};
            }
        }
    }
    if (bestCount == 0) {
        RaiseRecordingError("Sloupce souboru nelze rozpoznat");
    }
    // Among the lines that are numbers with either mark, field by field.
    if (format.Decimal == TDecimalSign::Detect && best.Separator != TSeparator::Comma) {
        bool comma = false;
        bool point = false;
        for (const std::string& line : sample) {
            SplitFields(line, best.Separator, fields);
            if (fields.size() >= 2 && AllNumbersWithEitherMark(fields)) {
                comma = comma || line.find(',') != std::string::npos;
                point = point || line.find('.') != std::string::npos;
            }
        }
        if (comma && point) {
            RaiseRecordingError("Soubor používá desetinnou čárku i tečku");
        }
        // Whole numbers only: a later line decides.
        if (!comma && !point) {
            best.Decimal = TDecimalSign::Detect;
        }
    }
    return best;
}

// A line of two or more numbers under some separator, each with either mark:
// one to detect the format from.
bool LooksLikeData(const std::string& line) {
    std::vector<std::string_view> fields;
    return std::any_of(kSeparators.begin(), kSeparators.end(), [&](TSeparator candidate) {
        SplitFields(line, candidate, fields);
        return fields.size() >= 2 && AllNumbersWithEitherMark(fields);
    });
}

// The 0-based index of a column given as a 1-based number or a header name.
std::size_t ColumnIndex(const std::string& column, const std::vector<std::string>& header) {
    const bool number = !column.empty() && std::all_of(column.begin(), column.end(),
                                                       [](char c) { return c >= '0' && c <= '9'; });
    if (number && column.size() < 9 && std::stoi(column) >= 1) {
        return static_cast<std::size_t>(std::stoi(column) - 1);
    }
    const auto named = std::find(header.begin(), header.end(), TrimBlanks(column));
    if (named == header.end()) {
        RaiseRecordingError("Sloupec '" + ShortenedQuote(column) + "' není v záhlaví souboru");
    }
    return static_cast<std::size_t>(named - header.begin());
}

// What a file whose first lines hold no data holds instead.
struct TNoDataClues {
    bool Utf16 = false;
    bool Binary = false;
    bool OneColumn = false;
};

// A line of UTF-16 text starts with its byte-order mark or has a zero byte
// beside each ASCII character.
bool LooksLikeUtf16(std::string_view line) {
    if (StartsWithUtf16Mark(line)) {
        return true;
    }
    const auto zeros = std::count(line.begin(), line.end(), '\0');
    return zeros > 0 && static_cast<std::size_t>(zeros) * 3 >= line.size();
}

void NoteClues(std::string_view line, TNoDataClues& clues) {
    if (line.find('\0') != std::string_view::npos || !IsUtf8(line)) {
        (LooksLikeUtf16(line) ? clues.Utf16 : clues.Binary) = true;
        return;
    }
    double ignored = 0;
    const std::string_view field = TrimBlanksView(line);
    clues.OneColumn = clues.OneColumn || ParseField(field, ',', ignored) || ParseField(field, '.', ignored);
}

[[noreturn]] void RaiseNoData(const TNoDataClues& clues) {
    if (clues.Utf16) {
        RaiseRecordingError("Soubor je v kódování UTF-16; uložte jej jako text v UTF-8");
    }
    if (clues.Binary) {
        RaiseRecordingError("Soubor není text, obsahuje binární data");
    }
    if (clues.OneColumn) {
        RaiseRecordingError(
            "Soubor má jen jeden sloupec čísel; záznam potřebuje aspoň dva (snímač otáček a měřenou "
            "veličinu)");
    }
    RaiseRecordingError("Soubor neobsahuje žádná data");
}

// Columns up to this one are read by the one-pass parse of plain lines.
constexpr std::size_t kPlainFields = 8;
// Header lines remembered to recognise them again between the data.
constexpr std::size_t kHeaderLines = 100;

class TRecordingReader {
public:
    TRecordingReader(TLineReader& reader, const TRecordingFormat& format,
                     const std::vector<std::string>& columns, const TRowSink& row)
        : m_reader(reader), m_format(format), m_columns(columns), m_row(row) {}

    std::int64_t read() {
        std::string_view line;
        bool nulEndsLine = false;
        while (m_reader.next(line)) {
            ++m_lines;
            nulEndsLine = m_reader.nulMet();
            if (m_lines == 1) {
                line = WithoutByteOrderMark(line);
            }
            if (m_reader.lineCut()) {
                RaiseRecordingLineError(m_lines, line, "řádek je příliš dlouhý");
            }
            if (!m_detected) {
                collect(line);
            } else {
                take(line, m_lines);
                takeBuffered();
            }
        }
        if (m_reader.nulMet()) {
            refuseNul(nulEndsLine ? m_lines : m_lines + 1);
        }
        if (!m_detected) {
            detect();
        }
        return m_lines;
    }

    const std::vector<std::string>& header() const { return m_header; }
    std::size_t firstFields() const { return m_firstFields; }

private:
    // A NUL byte would end the recording unseen, its later cycles lost. What
    // the lines before it show of the file (UTF-16, binary data) is told first.
    [[noreturn]] void refuseNul(std::int64_t line) {
        if (const TWideText wide = WideTextOf(m_reader.head()); wide != TWideText::None) {
            RaiseRecordingError("Soubor je v kódování " + std::string(WideTextName(wide)) +
                                "; uložte jej jako text v UTF-8");
        }
        if (!m_detected) {
            detect();
        }
        RaiseRecordingAtLineError(line, kNulByteProblem);
    }

    // Lines before the format is known wait in m_waiting; headers are kept as names.
    void collect(std::string_view line) {
        std::string text(line);
        if (LooksLikeData(text)) {
            m_sample.push_back(text);
        } else {
            NoteClues(text, m_clues);
        }
        m_waiting.emplace_back(m_lines, std::move(text));
        if (static_cast<int>(m_sample.size()) >= kDetectionLines || m_waiting.size() >= kWaitingLines) {
            detect();
        }
    }

    void detect() {
        if (m_sample.empty()) {
            RaiseNoData(m_clues);
        }
        m_format = DetectFormat(m_sample, m_format);
        m_markKnown = m_format.Decimal != TDecimalSign::Detect;
        // Until a line shows a mark, the fields are whole numbers, read alike with either.
        m_mark = m_markKnown ? MarkOf(m_format.Decimal) : ',';
        m_detected = true;
        std::vector<std::pair<std::int64_t, std::string>> waiting = std::move(m_waiting);
        for (const auto& [number, text] : waiting) {
            take(text, number);
        }
        m_sample.clear();
    }

    // One line once the format is known: a header, a blank or a data line.
    void take(std::string_view line, std::int64_t number) {
        if (plainParseFits() && takePlain(line, number)) {
            return;
        }
        SplitFields(line, m_format.Separator, m_fields);
        if (m_fields.empty()) {
            return;
        }
        // The columns are found once the header, if any, has been seen.
        if (m_indices.empty()) {
            if (!AnyNumber(m_fields)) {
                m_header.assign(m_fields.begin(), m_fields.end());
                if (m_headerLines.size() < kHeaderLines) {
                    m_headerLines.emplace_back(TrimBlanksView(line));
                }
                return;
            }
            for (const std::string& column : m_columns) {
                m_indices.push_back(ColumnIndex(column, m_header));
            }
            m_values.resize(m_indices.size());
            m_firstFields = m_fields.size();
            m_lastIndex = *std::max_element(m_indices.begin(), m_indices.end());
        }
        if (!m_markKnown) {
            decideMark(line, number);
        }
        for (std::size_t c = 0; c < m_indices.size(); ++c) {
            const std::size_t index = m_indices[c];
            const TFieldRead read = index < m_fields.size() ? ReadField(m_fields[index], m_mark, m_values[c])
                                                            : TFieldRead::NotNumber;
            if (read != TFieldRead::Number) {
                if (!AnyNumber(m_fields)) {
                    textBetweenData(line, number);
                    return;
                }
                const std::string column = std::to_string(index + 1);
                RaiseRecordingLineError(number, line,
                                        index >= m_fields.size() ? "chybí sloupec " + column
                                        : read == TFieldRead::BeyondRange
                                            ? "sloupec " + column + " přesahuje rozsah čísel"
                                            : "sloupec " + column + " není číslo");
            }
        }
        m_row(m_values, TRowPlace{number, line});
    }

    // The common data line, every chosen field a plain number, parsed in one
    // pass up to the last chosen field; false leaves the line to the general
    // path, which owns every failure.
    bool takePlain(std::string_view line, std::int64_t number) {
        std::array<double, kPlainFields>
            fields;  // NOLINT(cppcoreguidelines-pro-type-member-init): written before read
        const std::size_t wanted = m_lastIndex + 1;
        if (ParsePlainFields(line, separatorChar(), TNumberFormat{m_mark}, fields.data(), wanted) != wanted) {
            return false;
        }
        deliver(fields.data(), TRowPlace{number, line});
        return true;
    }

    // The plain data lines that follow in the reader's buffer, parsed where
    // they stand, up to the first line that is anything else, ends the text or
    // runs past the bytes read; the reader gives that one as usual.
    void takeBuffered() {
        if (!plainParseFits()) {
            return;
        }
        const std::size_t wanted = m_lastIndex + 1;
        const char separator = separatorChar();
        const std::string_view text = m_reader.unread();
        const char* const first = text.data();
        const char* const end = first + text.size();
        const char* line = first;
        std::array<double, kPlainFields>
            fields;  // NOLINT(cppcoreguidelines-pro-type-member-init): written before read
        for (;;) {
            const char* stop = ParsePlainFieldsInText(first, line, end, separator, TNumberFormat{m_mark},
                                                      fields.data(), wanted);
            if (stop != nullptr && *stop == separator) {
                stop = first + FindBreak(first, static_cast<std::size_t>(stop - first), text.size());
            }
            // A NUL, or a CR whose LF may come with the next read, is the reader's to judge.
            if (stop == nullptr || stop == end || *stop == '\0' || (*stop == '\r' && stop + 1 == end)) {
                break;
            }
            const std::string_view taken(line, static_cast<std::size_t>(stop - line));
            line = stop + (stop[0] == '\r' && stop[1] == '\n' ? 2 : 1);
            m_reader.skip(static_cast<std::size_t>(line - taken.data()));
            deliver(fields.data(), TRowPlace{++m_lines, taken});
        }
    }

    // The one-pass parse of plain lines applies: the mark and the columns are
    // known, the separator is one character other than the mark, and the
    // chosen columns lie within its reach.
    bool plainParseFits() const {
        return m_markKnown && !m_indices.empty() && m_format.Separator != TSeparator::Spaces &&
               separatorChar() != m_mark && m_lastIndex < kPlainFields;
    }

    char separatorChar() const {
        return m_format.Separator == TSeparator::Semicolon ? ';'
               : m_format.Separator == TSeparator::Tab     ? '\t'
                                                           : ',';
    }

    // The chosen fields of a parsed line to the row sink.
    void deliver(const double* fields, const TRowPlace& place) {
        for (std::size_t c = 0; c < m_indices.size(); ++c) {
            m_values[c] = fields[m_indices[c]];
        }
        m_row(m_values, place);
    }

    // The first data line with a decimal mark decides it for the rest.
    void decideMark(std::string_view line, std::int64_t number) {
        if (!AnyNumber(m_fields)) {
            return;
        }
        const bool comma =
            m_format.Separator != TSeparator::Comma && line.find(',') != std::string_view::npos;
        const bool point = line.find('.') != std::string_view::npos;
        if (comma && point) {
            RaiseRecordingLineError(number, line, "desetinná čárka i tečka na jednom řádku");
        }
        if (comma || point) {
            m_mark = comma ? ',' : '.';
            m_markKnown = true;
        }
    }

    // A header again (recordings joined end to end) is skipped; other text
    // between the data would silently drop samples.
    void textBetweenData(std::string_view line, std::int64_t number) {
        const std::string_view trimmed = TrimBlanksView(line);
        if (std::find(m_headerLines.begin(), m_headerLines.end(), trimmed) == m_headerLines.end()) {
            RaiseRecordingLineError(number, line, "text mezi daty (opakovat se smí jen řádek záhlaví)");
        }
    }

    TLineReader& m_reader;
    TRecordingFormat m_format;
    const std::vector<std::string>& m_columns;
    const TRowSink& m_row;
    std::int64_t m_lines = 0;
    bool m_detected = false;
    char m_mark = ',';
    bool m_markKnown = false;
    TNoDataClues m_clues;
    std::vector<std::string> m_headerLines;
    std::vector<std::string> m_sample;
    std::vector<std::pair<std::int64_t, std::string>> m_waiting;
    std::vector<std::string> m_header;
    std::vector<std::size_t> m_indices;
    std::vector<double> m_values;
    std::size_t m_lastIndex = 0;    // the largest of m_indices
    std::size_t m_firstFields = 0;  // of the first data line
    std::vector<std::string_view> m_fields;
};

}  // namespace

TRecordingShape ReadRecordingShape(const std::string& path, const TRecordingFormat& format) {
    TLineReader reader(path);
    TRecordingShape shape;
    const std::vector<std::string> first = {"1"};
    const TRowSink count = [&](const std::vector<double>&, const TRowPlace&) { ++shape.Rows; };
    TRecordingReader recording(reader, format, first, count);
    recording.read();
    shape.Header = recording.header();
    shape.Fields = recording.firstFields();
    return shape;
}

TRecordingShape ReadRecordingHead(const std::string& path, const TRecordingFormat& format) {
    // Thrown by the sink at the first data line, caught below.
    struct TFirstRowMet {};
    TLineReader reader(path);
    TRecordingShape shape;
    const std::vector<std::string> first = {"1"};
    const TRowSink stop = [&](const std::vector<double>&, const TRowPlace&) {
        shape.Rows = 1;
        throw TFirstRowMet();
    };
    TRecordingReader recording(reader, format, first, stop);
    try {
        recording.read();
    } catch (const TFirstRowMet&) {
    }
    shape.Header = recording.header();
    shape.Fields = recording.firstFields();
    return shape;
}

std::int64_t ScanRecording(TLineReader& reader, const TRecordingFormat& format,
                           const std::vector<std::string>& columns, const TRowSink& row) {
    return TRecordingReader(reader, format, columns, row).read();
}

std::int64_t ReadRecording(const std::string& path, const TRecordingFormat& format,
                           const std::vector<std::string>& columns, const TRowSink& row) {
    TLineReader reader(path);
    return ScanRecording(reader, format, columns, row);
}

}  // namespace morvane
