// The number parse against the one before fast_float converted its long
// numbers (fuzz/handwritten_parse): on any text the same outcome, the same value to
// the bit and the same rejection message; a plain data line, in place and cut
// out, gives the values the hand-written parse gave its fields.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/handwritten_parse.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/quote.h"

namespace morvane::fuzz {
namespace {

using handwritten::TOutcome;

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

TOutcome NewOutcome(std::string_view text, TNumberFormat format, double& value) {
    try {
        value = ParseFloat(text, format);
        return TOutcome::Value;
    } catch (const EConvertError& failure) {
        const std::string expected = "'" + ShortenedQuote(text) + "' is not a valid floating point value";
        Check(std::strcmp(failure.what(), expected.c_str()) == 0, "a rejection names the text",
              failure.what());
        return TOutcome::Rejected;
    } catch (const EOverflow&) {
        return TOutcome::Overflow;
    }
}

void CheckWholeText(std::string_view text, TNumberFormat format) {
    double before = 0;
    double now = 0;
    const TOutcome outcome = handwritten::ParseFloat(text, format, before);
    Check(NewOutcome(text, format, now) == outcome, "ParseFloat accepts, rejects and overflows as before");
    if (outcome == TOutcome::Value) {
        Check(SameBits(now, before), "ParseFloat gives the value of before to the bit");
    }
    long double wideBefore = 0;
    long double wideNow = 0;
    const bool accepted = handwritten::TryParseExtended(text, format, wideBefore);
    Check(TryParseExtended(text, format, wideNow) == accepted, "TryParseExtended accepts as before");
    Check(!accepted || wideNow == wideBefore, "TryParseExtended gives the value of before");
}

// The fields of a line split at separator, each trimmed of the blanks other
// than the separator, as the plain-field parses promise to read them.
std::vector<std::string_view> TrimmedFields(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    const auto blank = [separator](char c) { return static_cast<unsigned char>(c) <= 32 && c != separator; };
    for (std::size_t from = 0;;) {
        const std::size_t to = std::min(line.find(separator, from), line.size());
        std::string_view field = line.substr(from, to - from);
        while (!field.empty() && blank(field.front())) {
            field.remove_prefix(1);
        }
        while (!field.empty() && blank(field.back())) {
            field.remove_suffix(1);
        }
        fields.push_back(field);
        if (to == line.size()) {
            return fields;
        }
        from = to + 1;
    }
}

// The fields a plain-field parse took are values the hand-written ParseFloat
// gives their texts, to the bit. Which fields it takes may differ: the
// library reads numbers the hand-written short path left to the full parse,
// and the reverse, and the caller parses a field not taken the full way.
void CheckTaken(const std::vector<std::string_view>& fields, const double* values, std::size_t taken,
                TNumberFormat format) {
    Check(taken <= fields.size(), "no more fields are taken than the line has");
    for (std::size_t k = 0; k < taken; ++k) {
        double expected = 0;
        Check(handwritten::ParseFloat(fields[k], format, expected) == TOutcome::Value,
              "a field taken is a number ParseFloat accepted before", fields[k]);
        Check(SameBits(values[k], expected), "a field taken has the value ParseFloat gave before", fields[k]);
    }
}

void CheckPlainLine(std::string_view text, char separator, TNumberFormat format) {
    const std::size_t lineEnd = text.find_first_of(std::string_view("\r\n\0", 3));
    const std::string_view line = text.substr(0, lineEnd);
    const std::vector<std::string_view> fields = TrimmedFields(line, separator);
    for (std::size_t count = 1; count <= 5; ++count) {
        double values[5] = {};
        CheckTaken(fields, values, ParsePlainFields(line, separator, format, values, count), format);
        double before[5] = {};
        const char* const end = text.data() + text.size();
        const char* const stopBefore = handwritten::ParsePlainFieldsInText(text.data(), text.data(), end,
                                                                           separator, format, before, count);
        const char* const stop =
            ParsePlainFieldsInText(text.data(), text.data(), end, separator, format, values, count);
        if (stop != nullptr) {
            Check(stopBefore == nullptr || stop == stopBefore, "a line taken in place stops where it did");
            Check(lineEnd != std::string_view::npos || stop < line.data() + line.size(),
                  "a line that the text's end cuts waits for its break");
            CheckTaken(fields, values, count, format);
        }
    }
    double pair[2] = {};
    if (TryParsePlainPair(line, separator, format, pair[0], pair[1])) {
        Check(fields.size() == 2, "a pair line has two fields");
        CheckTaken(fields, pair, 2, format);
    }
}

}  // namespace
}  // namespace morvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    const std::string_view text = fuzz::AsText(data, size);
    for (const TNumberFormat format : {kDecimalComma, kDecimalPoint}) {
        fuzz::CheckWholeText(text, format);
        for (const char separator : {';', '\t', format.DecimalMark == ',' ? '.' : ','}) {
            fuzz::CheckPlainLine(text, separator, format);
        }
    }
    return 0;
}
