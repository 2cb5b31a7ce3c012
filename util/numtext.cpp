#include "util/numtext.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <system_error>

#include <fast_float/fast_float.h>

#include "util/errors.h"
#include "util/fpfault.h"
#include "util/hexdigits.h"
#include "util/linebreaks.h"

// Number texts. Nothing here depends on the process locale: fast_float
// converts the float texts (correctly rounded, with the caller's decimal mark),
// the syntax and its rejections are ours, the float format takes its digits
// from std::to_chars.

namespace morvane {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// ---------------------------------------------------------------------------
// Integer parse
// ---------------------------------------------------------------------------

// Returns false when the text is not a valid integer (syntax or range).
bool TryParseInteger(std::string_view text, std::int32_t& result) {
    std::size_t i = 0;
    const std::size_t len = text.size();
    while (i < len && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < len && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= len)
        return false;

    bool hex = false;
    if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
        hex = true;
        ++i;
    } else if (text[i] == '0' && i + 1 < len && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= len)
        return false;  // a lone sign or a prefix without digits

    if (hex) {
        std::uint32_t value = 0;
        for (; i < len; ++i) {
            const int digit = HexDigitValue(text[i]);
            if (digit < 0)
                return false;
            if (value > 0x0FFFFFFFu)
                return false;  // a ninth significant digit
            value = (value << 4) | static_cast<std::uint32_t>(digit);
        }
        // The 32-bit pattern is a signed number; '-' negates it (wrapping).
        if (negative)
            value = 0u - value;
        result = static_cast<std::int32_t>(value);
        return true;
    }

    std::int64_t value = 0;
    for (; i < len; ++i) {
        const char c = text[i];
        if (!IsDigit(c))
            return false;
        if (value > 214748364)
            return false;
        value = value * 10 + (c - '0');
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return false;
    result = static_cast<std::int32_t>(value);
    return true;
}

// ---------------------------------------------------------------------------
// Float parse
// ---------------------------------------------------------------------------

// Significant digits kept for the conversion. A double needs at most 767
// significant digits (plus whether any further digit is non-zero) to be
// rounded correctly, so beyond kMaxDigits the remaining digits only count into
// the exponent and one sticky digit '1' records that a non-zero digit was cut.
// For the long double intermediate (used only for the range decision and by
// TryParseExtended) this cut can change the last bit in pathological cases of
// more than 780 significant digits; only texts of up to 15 significant digits
// must come out exact.
constexpr std::size_t kMaxDigits = 780;

bool IsExponentMark(char c) {
    return c == 'e' || c == 'E';
}

constexpr std::ptrdiff_t kShortDigits = 19;

// Whether the number text [p, stop) has more than kShortDigits mantissa digits.
bool HasLongMantissa(const char* const p, const char* const stop) {
    std::ptrdiff_t digits = 0;
    for (const char* s = p; s < stop && !IsExponentMark(*s); ++s)
        digits += IsDigit(*s) ? 1 : 0;
    return digits > kShortDigits;
}

// Whether the number text [p, stop) ends in an exponent of more than three
// digits, which the full parse judges (a digit after the value has reached 500
// rejects the text, where the library reads on).
bool HasLongExponent(const char* const p, const char* const stop) {
    constexpr std::ptrdiff_t kShortExponentDigits = 3;
    if (stop - p <= kShortExponentDigits + 1)
        return false;
    for (const char* s = stop - kShortExponentDigits - 1; s < stop; ++s) {
        if (!IsDigit(*s))
            return false;
    }
    const char* s = stop - kShortExponentDigits - 1;
    while (s > p && IsDigit(s[-1]))
        --s;
    return s > p && (IsExponentMark(s[-1]) || s[-1] == '+' || s[-1] == '-');
}

// The number that starts at p: a sign, digits, the decimal mark, digits and an
// exponent, converted by fast_float (correctly rounded, as the full parse).
// Returns where the number ends, or nullptr when the library's reading may
// differ from ours, which is not a rejection: the caller then takes the full
// parse, which owns every failure. That is a second sign or a word such as
// "inf" (the library takes them, we do not), a mark without digits, an
// exponent letter without digits (we take the letter, the library does not),
// more than kShortDigits mantissa digits, and a value beyond the double range.
// Of the rest, our exponent rule can only reject a text whose value is 0 (an
// exponent of 5000 or more on at most kShortDigits digits), so only a zero
// has its exponent looked at. Reads only [p, end).
[[gnu::always_inline]] inline const char* ParseShortNumber(const char* p, const char* const end, char mark,
                                                           double& result) {
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == end || (!IsDigit(*p) && *p != mark))
        return nullptr;
    double magnitude = 0.0;
    const auto [stop, error] = fast_float::from_chars_advanced(
        p, end, magnitude, fast_float::parse_options{fast_float::chars_format::general, mark});
    if (error != std::errc() || !std::isfinite(magnitude) || (stop != end && IsExponentMark(*stop)) ||
        (stop - p > kShortDigits && HasLongMantissa(p, stop)) || (magnitude == 0 && HasLongExponent(p, stop)))
        return nullptr;
    result = negative ? -magnitude : magnitude;
    return stop;
}

bool TryParseShortFloat(std::string_view text, char mark, double& result) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end && *p == ' ')
        ++p;
    p = ParseShortNumber(p, end, mark, result);
    if (p == nullptr)
        return false;
    while (p < end && *p == ' ')
        ++p;
    return p == end;
}

// The decimal value of a syntactically valid text: sign, significant digits
// (no leading zeros) and the power of ten, value = digits * 10^exponent.
struct TDecimalNumber {
    bool Negative = false;
    std::size_t Count = 0;        // number of significant digits in digits
    std::int64_t Exponent = 0;    // power of ten applied to the digit integer
    char Digits[kMaxDigits + 1];  // + 1 for the sticky digit

    // X: the value lies in [10^(X-1), 10^X). Only for count > 0.
    std::int64_t magnitude() const { return Exponent + static_cast<std::int64_t>(Count); }
};

// The digits before and after the decimal mark from i on, into number's
// Digits, Count and Exponent; sticky when a digit cut beyond kMaxDigits was not
// zero. False when neither a digit nor the mark is there.
bool ScanMantissa(std::string_view text, std::size_t& i, char mark, TDecimalNumber& number, bool& sticky) {
    const std::size_t len = text.size();
    bool taken = false;  // at least one digit or the mark
    std::size_t count = 0;
    std::int64_t exponent = 0;

    // Integer digits.
    for (; i < len && IsDigit(text[i]); ++i) {
        const char c = text[i];
        taken = true;
        if (count == 0 && c == '0')
            continue;  // leading zero
        if (count < kMaxDigits) {
            number.Digits[count++] = c;
        } else {
            ++exponent;  // a cut integer digit still counts as a power of ten
            if (c != '0')
                sticky = true;
        }
    }
    // Fraction.
    if (i < len && text[i] == mark) {
        taken = true;
        ++i;
        for (; i < len && IsDigit(text[i]); ++i) {
            const char c = text[i];
            if (count == 0 && c == '0') {
                --exponent;  // leading zero after the mark
            } else if (count < kMaxDigits) {
                number.Digits[count++] = c;
                --exponent;
            } else if (c != '0') {
                sticky = true;  // cut fraction digit
            }
        }
    }
    number.Count = count;
    number.Exponent = exponent;
    return taken;
}

// The exponent after e or E from i on, added to exponent: digits are taken
// while the value is below 500; a digit after the value has reached 500 makes
// the text invalid (false).
bool ScanExponent(std::string_view text, std::size_t& i, std::int64_t& exponent) {
    const std::size_t len = text.size();
    if (i >= len || (text[i] != 'e' && text[i] != 'E'))
        return true;
    ++i;
    bool expNegative = false;
    if (i < len && (text[i] == '+' || text[i] == '-')) {
        expNegative = text[i] == '-';
        ++i;
    }
    int expValue = 0;
    for (; i < len && IsDigit(text[i]); ++i) {
        if (expValue >= 500)
            return false;
        expValue = expValue * 10 + (text[i] - '0');
    }
    exponent += expNegative ? -expValue : expValue;
    return true;
}

// The syntax of the float parse. Returns false for a
// syntax error. Does not allocate.
bool ScanFloat(std::string_view text, char mark, TDecimalNumber& number) {
    const std::size_t len = text.size();
    std::size_t i = 0;
    while (i < len && text[i] == ' ')
        ++i;
    if (i < len && (text[i] == '+' || text[i] == '-')) {
        number.Negative = text[i] == '-';
        ++i;
    }
    bool sticky = false;
    if (!ScanMantissa(text, i, mark, number, sticky) || !ScanExponent(text, i, number.Exponent))
        return false;
    while (i < len && text[i] == ' ')
        ++i;
    if (i != len)
        return false;

    if (sticky) {
        number.Digits[number.Count++] = '1';
        --number.Exponent;
    }
    return true;
}

// Writes "digits e exponent" (no sign) into buffer; returns its end.
char* WriteDigitsAndExponent(const TDecimalNumber& number, std::int64_t exponent, char* buffer,
                             char* bufferEnd) {
    std::memcpy(buffer, number.Digits, number.Count);
    char* p = buffer + number.Count;
    *p++ = 'e';
    return std::to_chars(p, bufferEnd, exponent).ptr;
}

constexpr std::size_t kConvertBufferSize = kMaxDigits + 1 + 32;

// The magnitude (no sign) of a valid number with count > 0 in the long double
// intermediate. Returns false when it is too large for the intermediate.
bool ToExtendedMagnitude(const TDecimalNumber& number, long double& magnitude) {
    const std::int64_t x = number.magnitude();
    // LDBL_MAX is about 1.19E4932: X > 4933 is beyond it, X < 4933 within it.
    if (x > 4933)
        return false;
    // Below 10^-4952 the value is less than half the smallest subnormal.
    if (x < -4952) {
        magnitude = 0.0L;
        return true;
    }
    char buffer[kConvertBufferSize];
    char* end = WriteDigitsAndExponent(number, number.Exponent, buffer, buffer + sizeof buffer);
    long double value = 0.0L;
    const auto result = std::from_chars(buffer, end, value, std::chars_format::general);
    if (result.ec == std::errc()) {
        magnitude = value;
        return true;
    }
    if (x > 0)
        return false;  // overflow of the intermediate
    // Underflow: the library reports every subnormal long double as out of
    // range. Convert the value scaled up by 10^64 and scale it back down; the
    // last bits of such a subnormal may differ from the nearest one, which
    // nothing can see (every value here stores into a double as 0).
    end = WriteDigitsAndExponent(number, number.Exponent + 64, buffer, buffer + sizeof buffer);
    value = 0.0L;
    if (std::from_chars(buffer, end, value, std::chars_format::general).ec != std::errc()) {
        value = 0.0L;
    }
    magnitude = value * 1e-64L;
    return true;
}

enum class TFloatStatus { Ok, Rejected, Overflow };

// The float parse into a double for the texts the short path leaves. The
// double is converted directly from the scanned digits by fast_float
// (correctly rounded to the nearest double, no double rounding through the
// intermediate); the long double intermediate is
// formed only for values beyond the double range, to decide between the
// syntax-level rejection (too large for the intermediate) and the overflow of
// storing it. Does not allocate.
TFloatStatus ParseFloatCore(std::string_view text, char mark, double& result, long double& extended) {
    TDecimalNumber number;
    if (!ScanFloat(text, mark, number))
        return TFloatStatus::Rejected;
    if (number.Count == 0) {
        result = number.Negative ? -0.0 : 0.0;
        return TFloatStatus::Ok;
    }
    const std::int64_t x = number.magnitude();
    bool overflow = false;
    double magnitude = 0.0;
    if (x > 310) {
        overflow = true;  // at least 10^310
    } else if (x < -330) {
        magnitude = 0.0;  // below 10^-330: silently 0
    } else {
        char buffer[kConvertBufferSize];
        const char* const end =
            WriteDigitsAndExponent(number, number.Exponent, buffer, buffer + sizeof buffer);
        // The library rounds a value beyond the largest double to infinity and
        // one below the smallest to 0.
        fast_float::from_chars(buffer, end, magnitude);
        overflow = !std::isfinite(magnitude);
    }
    if (overflow) {
        long double wide = 0.0L;
        if (!ToExtendedMagnitude(number, wide))
            return TFloatStatus::Rejected;
        extended = number.Negative ? -wide : wide;
        return TFloatStatus::Overflow;
    }
    result = number.Negative ? -magnitude : magnitude;
    return TFloatStatus::Ok;
}

// Raises the overflow of storing an intermediate beyond the double range.
[[noreturn]] void RaiseStoreOverflow(long double extended) {
    StoreDouble(extended);  // raises EOverflow for every value that gets here
    RaiseOverflow();
}

// ---------------------------------------------------------------------------
// Formatting helpers
// ---------------------------------------------------------------------------

// Appends the decimal digits of a non-negative value to p; returns the end.
char* WriteUnsigned(char* p, std::uint64_t value) {
    char reversed[24];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0)
        *p++ = reversed[--n];
    return p;
}

}  // namespace

// ---------------------------------------------------------------------------
// Public operations
// ---------------------------------------------------------------------------

bool TryParsePlainInteger(std::string_view text, int& value) {
    const char* const end = text.data() + text.size();
    int parsed = 0;
    const auto [stop, error] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || error != std::errc() || stop != end) {
        return false;
    }
    value = parsed;
    return true;
}

std::int32_t ParseInteger(std::string_view text) {
    std::int32_t value = 0;
    if (!TryParseInteger(text, value))
        RaiseIntegerConvertError(text);
    return value;
}

bool TryParseExtended(std::string_view text, TNumberFormat format, long double& value) {
    TDecimalNumber number;
    if (!ScanFloat(text, format.DecimalMark, number))
        return false;
    if (number.Count == 0) {
        value = number.Negative ? -0.0L : 0.0L;
        return true;
    }
    long double magnitude = 0.0L;
    if (!ToExtendedMagnitude(number, magnitude))
        return false;
    value = number.Negative ? -magnitude : magnitude;
    return true;
}

bool TryParseFloat(std::string_view text, TNumberFormat format, double& result) {
    if (TryParseShortFloat(text, format.DecimalMark, result))
        return true;
    long double extended = 0.0L;
    switch (ParseFloatCore(text, format.DecimalMark, result, extended)) {
        case TFloatStatus::Ok:
            return true;
        case TFloatStatus::Overflow:
            RaiseStoreOverflow(extended);
        case TFloatStatus::Rejected:
            break;
    }
    return false;
}

double ParseFloat(std::string_view text, TNumberFormat format) {
    double result = 0.0;
    if (!TryParseFloat(text, format, result)) {
        RaiseFloatConvertError(text);
    }
    return result;
}

namespace {

// The plain fields from p on (see ParsePlainFields); parsed counts those in a
// row that were plain numbers followed by the separator or the line's end.
// A line ends at end, or, inText, at its first CR, LF or NUL before end (end
// is then the end of the text read so far, where a number may still go on).
// Returns where the last field parsed stops: at the line's end or at the
// separator before further fields; nullptr when the line is anything else.
template <bool inText>
const char* ParsePlainFieldsFrom(const char* p, const char* const end, char separator, TNumberFormat format,
                                 double* values, std::size_t count, std::size_t& parsed) {
    const auto blank = [separator](char c) {
        return static_cast<unsigned char>(c) <= 32 && c != separator && !(inText && IsBreakOrNul(c));
    };
    const auto lineEnds = [end](const char* at) {
        return inText ? at != end && IsBreakOrNul(*at) : at == end;
    };
    for (parsed = 0; parsed < count;) {
        while (p < end && blank(*p))
            ++p;
        p = ParseShortNumber(p, end, format.DecimalMark, values[parsed]);
        if (p == nullptr)
            return nullptr;
        while (p < end && blank(*p))
            ++p;
        if (lineEnds(p)) {
            ++parsed;
            return p;
        }
        if (p == end || *p != separator)
            return nullptr;
        if (++parsed == count)
            return p;
        ++p;
    }
    return p;
}

}  // namespace

std::size_t ParsePlainFields(std::string_view line, char separator, TNumberFormat format, double* values,
                             std::size_t count) {
    std::size_t parsed = 0;
    ParsePlainFieldsFrom<false>(line.data(), line.data() + line.size(), separator, format, values, count,
                                parsed);
    return parsed;
}

bool TryParsePlainPair(std::string_view line, char separator, TNumberFormat format, double& left,
                       double& right) {
    double values[2];
    std::size_t parsed = 0;
    const char* const end = line.data() + line.size();
    if (ParsePlainFieldsFrom<false>(line.data(), end, separator, format, values, 2, parsed) != end ||
        parsed != 2) {
        return false;
    }
    left = values[0];
    right = values[1];
    return true;
}

const char* ParsePlainFieldsInText(const char* /*first*/, const char* line, const char* end, char separator,
                                   TNumberFormat format, double* values, std::size_t count) {
    std::size_t parsed = 0;
    const char* const stop = ParsePlainFieldsFrom<true>(line, end, separator, format, values, count, parsed);
    return parsed == count ? stop : nullptr;
}

double ParseFloatOr(std::string_view text, TNumberFormat format, double defaultValue) {
    double result = 0.0;
    return TryParseFloat(text, format, result) ? result : defaultValue;
}

namespace {

// A finite, non-zero magnitude as 0.d1d2...dCount * 10^Point, at most 15
// significant digits, no trailing zero.
struct TGeneralDigits {
    char Digits[18];
    int Count = 0;
    int Point = 0;
};

// 18 significant digits correctly rounded, then cut to 15, rounding half up on
// the 16th digit.
TGeneralDigits GeneralDigits(double magnitude) {
    char sci[40];
    const auto written = std::to_chars(sci, sci + sizeof sci, magnitude, std::chars_format::scientific, 17);
    TGeneralDigits result;
    char* const digits = result.Digits;
    const char* p = sci;
    int n = 0;
    for (; p < written.ptr && *p != 'e'; ++p) {
        if (IsDigit(*p))
            digits[n++] = *p;
    }
    int exp10 = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), written.ptr, exp10);
    int x = exp10 + 1;

    n = 15;
    if (digits[15] >= '5') {
        int k = 14;
        while (k >= 0 && digits[k] == '9') {
            digits[k] = '0';
            --k;
        }
        if (k < 0) {
            digits[0] = '1';
            for (int j = 1; j < 15; ++j)
                digits[j] = '0';
            ++x;
        } else {
            ++digits[k];
        }
    }
    while (n > 0 && digits[n - 1] == '0')
        --n;
    result.Count = n;
    result.Point = x;
    return result;
}

}  // namespace

std::string FormatFloatGeneral(double value, TNumberFormat format) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0.0)
        return "0";

    const TGeneralDigits general = GeneralDigits(std::fabs(value));
    const char* const digits = general.Digits;
    const int n = general.Count;
    const int x = general.Point;  // value = 0.d1d2... * 10^x
    char out[48];
    char* o = out;
    if (value < 0)
        *o++ = '-';
    if (x > 15 || x < -3) {
        *o++ = digits[0];
        if (n > 1) {
            *o++ = format.DecimalMark;
            for (int j = 1; j < n; ++j)
                *o++ = digits[j];
        }
        *o++ = 'E';
        const int e = x - 1;
        if (e < 0)
            *o++ = '-';
        o = WriteUnsigned(o, static_cast<std::uint64_t>(e < 0 ? -e : e));
    } else if (x <= 0) {
        *o++ = '0';
        *o++ = format.DecimalMark;
        for (int j = 0; j < -x; ++j)
            *o++ = '0';
        for (int j = 0; j < n; ++j)
            *o++ = digits[j];
    } else {
        for (int j = 0; j < x; ++j)
            *o++ = j < n ? digits[j] : '0';
        if (n > x) {
            *o++ = format.DecimalMark;
            for (int j = x; j < n; ++j)
                *o++ = digits[j];
        }
    }
    return std::string(out, o);
}

std::string FormatInteger(std::int64_t value) {
    char out[24];
    char* o = out;
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        *o++ = '-';
        magnitude = 0u - magnitude;
    }
    o = WriteUnsigned(o, magnitude);
    return std::string(out, o);
}

std::string FormatEventNumber(std::int64_t n) {
    std::string text = FormatInteger(n);
    if (n < 10)
        text.insert(text.begin(), '0');
    return text;
}

}  // namespace morvane
