// Number texts from arbitrary bytes: the parses end with a value or one of
// their documented failures, ParseFloatOr agrees with ParseFloat, and a value
// of up to 15 significant digits survives the general format and back; a
// line of plain fields parses alike in place and cut out.

#include <cctype>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <string>

#include "fuzz/fuzz_support.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/quote.h"

namespace morvane::fuzz {
namespace {

enum class TParseOutcome { Value, Rejected, Overflow };

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// what() is a C string, so a text with a NUL byte shows only up to it.
bool SameMessage(const std::exception& failure, const std::string& expected) {
    return std::strcmp(failure.what(), expected.c_str()) == 0;
}

// A text as a message quotes it (util/quote.h, tested on its own): at most
// 200 characters, unreadable bytes as \xHH.
std::string AsQuoted(std::string_view text) {
    return "'" + ShortenedQuote(text) + "'";
}

// The significant digits of an accepted float text's mantissa: from the first
// to the last non-zero digit (trailing zeros do not change the value).
int SignificantDigits(std::string_view text, TNumberFormat format) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    int first = -1;
    int last = -1;
    int position = 0;
    for (; i < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == format.DecimalMark);
         ++i) {
        if (text[i] == format.DecimalMark) {
            continue;
        }
        if (text[i] != '0') {
            if (first < 0) {
                first = position;
            }
            last = position;
        }
        ++position;
    }
    return first < 0 ? 0 : last - first + 1;
}

TParseOutcome ParseFloatOutcome(std::string_view text, double& value, TNumberFormat format) {
    try {
        value = ParseFloat(text, format);
        Check(std::isfinite(value), "ParseFloat gives a finite value");
        return TParseOutcome::Value;
    } catch (const EConvertError& failure) {
        Check(SameMessage(failure, AsQuoted(text) + " is not a valid floating point value"),
              "ParseFloat's rejection names the text", failure.what());
        return TParseOutcome::Rejected;
    } catch (const EOverflow& failure) {
        Check(std::string_view(failure.what()) == "Floating point overflow",
              "ParseFloat's overflow has its message", failure.what());
        return TParseOutcome::Overflow;
    }
}

void CheckParseFloatOr(std::string_view text, TParseOutcome outcome, double value, TNumberFormat format) {
    for (const double defaultValue : {1.0, -2.5}) {
        try {
            const double got = ParseFloatOr(text, format, defaultValue);
            Check(outcome != TParseOutcome::Overflow, "ParseFloatOr overflows where ParseFloat does");
            Check(SameBits(got, outcome == TParseOutcome::Value ? value : defaultValue),
                  "ParseFloatOr gives ParseFloat's value, or its default for a rejected text");
        } catch (const EOverflow&) {
            Check(outcome == TParseOutcome::Overflow, "ParseFloatOr overflows only where ParseFloat does");
        }
    }
}

void CheckExtended(std::string_view text, TParseOutcome outcome, double value, TNumberFormat format) {
    long double extended = 0;
    const bool accepted = TryParseExtended(text, format, extended);
    Check(accepted == (outcome != TParseOutcome::Rejected),
          "TryParseExtended accepts what ParseFloat does not reject");
    if (!accepted) {
        return;
    }
    Check(std::isfinite(extended), "the extended intermediate is finite");
    if (outcome == TParseOutcome::Overflow) {
        Check(std::fabs(extended) > std::numeric_limits<double>::max(),
              "an overflowing text lies beyond the double range");
    } else if (std::fabs(value) >= std::numeric_limits<double>::min()) {
        // Rounded twice (64-bit mantissa, then double) it may miss by one step.
        const double stored = static_cast<double>(extended);
        const double away = std::copysign(std::numeric_limits<double>::infinity(), value);
        Check(
            stored == value || stored == std::nextafter(value, 0.0) || stored == std::nextafter(value, away),
            "the extended intermediate agrees with the double");
    }
}

void CheckFormat(std::string_view text, double value, TNumberFormat format) {
    const std::string formatted = FormatFloatGeneral(value, format);
    const std::string allowed = std::string("0123456789-E") + format.DecimalMark;
    Check(!formatted.empty() && formatted.find_first_not_of(allowed) == std::string::npos,
          "the general format writes digits, '-', 'E' and the decimal mark only", formatted);
    double back = 0;
    const TParseOutcome outcome = ParseFloatOutcome(formatted, back, format);
    Check(outcome != TParseOutcome::Rejected, "the general format parses again", formatted);
    if (outcome == TParseOutcome::Overflow) {
        // Only the top of the range rounds up beyond the largest double.
        Check(std::fabs(value) > 1.79769313486231e308, "only the largest values overflow when read back",
              formatted);
        return;
    }
    Check(FormatFloatGeneral(back, format) == formatted, "the general format is stable when read back",
          formatted);
    if (SignificantDigits(text, format) <= 15) {
        Check(back == value, "a text of up to 15 significant digits survives the format and back", formatted);
    }
}

void CheckFloatTexts(std::string_view text, TNumberFormat format) {
    double value = 0;
    const TParseOutcome outcome = ParseFloatOutcome(text, value, format);
    CheckParseFloatOr(text, outcome, value, format);
    CheckExtended(text, outcome, value, format);
    if (outcome == TParseOutcome::Value) {
        CheckFormat(text, value, format);
    }
}

void CheckIntegerText(std::string_view text, TNumberFormat format) {
    std::int32_t value = 0;
    try {
        value = ParseInteger(text);
    } catch (const EConvertError& failure) {
        Check(SameMessage(failure, AsQuoted(text) + " is not a valid integer value"),
              "ParseInteger's rejection names the text", failure.what());
        return;
    }
    Check(ParseInteger(FormatInteger(value)) == value, "an integer survives its format and back");
    // A decimal integer text is a float text of the same value.
    if (text.find_first_of("$xX") == std::string_view::npos) {
        Check(ParseFloat(text, format) == value, "a decimal integer text parses as the same float");
    }
}

// The first line of a text parsed where it stands agrees with the same line
// cut out at its first CR, LF or NUL; only a line that the text's end cuts may
// be plain cut out and still wait in place.
void CheckPlainFieldsInText(std::string_view text, TNumberFormat format) {
    const char separator = format.DecimalMark == ',' ? ';' : ',';
    const std::size_t lineEnd = text.find_first_of(std::string_view("\r\n\0", 3));
    const std::string_view line = text.substr(0, lineEnd);
    for (const std::size_t count : {std::size_t{1}, std::size_t{2}}) {
        double inText[2] = {};
        double cut[2] = {};
        const char* const stop = ParsePlainFieldsInText(text.data(), text.data(), text.data() + text.size(),
                                                        separator, format, inText, count);
        const bool plain = ParsePlainFields(line, separator, format, cut, count) == count;
        if (stop == nullptr) {
            Check(!plain || lineEnd == std::string_view::npos,
                  "a whole line plain cut out is plain in place");
            continue;
        }
        Check(plain, "a line plain in place is plain cut out");
        const char* const lineStop = line.data() + line.size();
        Check((stop == lineStop && lineEnd != std::string_view::npos) ||
                  (stop < lineStop && *stop == separator),
              "a line parsed in place stops at its break or at a separator");
        for (std::size_t k = 0; k < count; ++k) {
            Check(SameBits(inText[k], cut[k]), "a line parsed in place gives the values of the line cut out");
        }
    }
}

}  // namespace
}  // namespace morvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    const std::string_view text = fuzz::AsText(data, size);
    for (const TNumberFormat format : {kDecimalComma, kDecimalPoint}) {
        fuzz::CheckFloatTexts(text, format);
        fuzz::CheckIntegerText(text, format);
        fuzz::CheckPlainFieldsInText(text, format);
    }
    return 0;
}
