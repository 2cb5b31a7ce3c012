// The decimal parse of util/numtext before fast_float converted its long
// numbers (std::from_chars did), kept word for word (only the raising ends turned into outcomes) as the
// reference of numparse_diff_fuzz. Not part of the product.

#include "fuzz/handwritten_parse.h"

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <system_error>

#include "util/linebreaks.h"

namespace morvane::fuzz::handwritten {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
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

// The powers of ten that are doubles exactly: 5^22 still fits the 53-bit
// significand, 5^23 does not.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPower = 22;
constexpr std::uint64_t kMaxExactInteger = std::uint64_t{1} << 53;

// The short path's exponent after e or E, from p on, added to exponent; where
// it ends, or nullptr when it has more than three digits or none (the full
// parse judges those).
const char* ShortExponent(const char* p, const char* const end, std::ptrdiff_t& exponent) {
    bool expNegative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        expNegative = *p == '-';
        ++p;
    }
    const char* const expDigits = p;
    std::ptrdiff_t expValue = 0;
    for (; p < end && IsDigit(*p); ++p) {
        // Stopped before the value can wrap: the 500 rule is the full parse's.
        if (p - expDigits == 3)
            return nullptr;
        expValue = expValue * 10 + (*p - '0');
    }
    if (p == expDigits)
        return nullptr;
    exponent += expNegative ? -expValue : expValue;
    return p;
}

// digits * 10^exponent in one correctly rounded step; false when the digit
// integer or the power of ten is not a double exactly.
bool ScaleExactly(std::uint64_t digits, std::ptrdiff_t exponent, double& magnitude) {
    if (digits > kMaxExactInteger || exponent < -kMaxExactPower || exponent > kMaxExactPower)
        return false;
    magnitude = static_cast<double>(digits);
    if (exponent < 0) {
        magnitude /= kExactPowersOfTen[-exponent];
    } else {
        magnitude *= kExactPowersOfTen[exponent];
    }
    return true;
}

// The bytes at p as a little-endian word, read only inside [first, end):
// where fewer than eight bytes are left, the word ends with zero bytes (no
// digit), taken from a load that ends at end when the text allows one.
[[gnu::always_inline]] inline std::uint64_t LoadEight(const char* const first, const char* const p,
                                                      const char* const end) {
    std::uint64_t word = 0;
    const std::ptrdiff_t left = end - p;
    if (left >= 8) {
        std::memcpy(&word, p, 8);
    } else if (left <= 0) {
        return 0;
    } else if (end - first >= 8) {
        std::memcpy(&word, end - 8, 8);
        if constexpr (std::endian::native == std::endian::big)
            word = __builtin_bswap64(word);
        return word >> (8 * (8 - left));
    } else {
        std::memcpy(&word, p, static_cast<std::size_t>(left));
    }
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    return word;
}

// How many of the word's bytes, from its first, are digits (0 to 8). Below the
// first non-digit no byte carries or borrows, so that one is always flagged.
[[gnu::always_inline]] inline int LeadingDigits(std::uint64_t word) {
    const std::uint64_t nonDigits =
        ((word + 0x4646464646464646u) | (word - 0x3030303030303030u)) & 0x8080808080808080u;
    return std::countr_zero(nonDigits) / 8;
}

// The value of the first count (1 to 8) digits of the word, eight at a time:
// the digits move to the top, zeros in front of them, and are combined pairwise.
[[gnu::always_inline]] inline std::uint64_t DigitsValue(std::uint64_t word, int count) {
    word = (word - 0x3030303030303030u) << (8 * (8 - count));
    word = word * 10 + (word >> 8);
    constexpr std::uint64_t kPairs = 0x000000FF000000FFu;
    constexpr std::uint64_t kHigh = 100 + (std::uint64_t{1000000} << 32);
    constexpr std::uint64_t kLow = 1 + (std::uint64_t{10000} << 32);
    return (((word & kPairs) * kHigh) + (((word >> 16) & kPairs) * kLow)) >> 32;
}

constexpr std::uint64_t kDigitScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// The run of digits from p on appended to digits (which wraps beyond 19
// digits; the caller counts them); returns where the run ends.
[[gnu::always_inline]] inline const char* AppendDigitRun(const char* const first, const char* p,
                                                         const char* const end, std::uint64_t& digits) {
    for (;;) {
        const std::uint64_t word = LoadEight(first, p, end);
        const int count = LeadingDigits(word);
        if (count == 0)
            return p;
        digits = digits * kDigitScale[count] + DigitsValue(word, count);
        p += count;
        if (count < 8)
            return p;
    }
}

// The short path for the common number: at most 19 digits, an
// exponent of at most three digits and nothing unusual around it. When the
// digit integer is a double exactly (below 2^53) and so is the power of ten,
// one multiplication or division, correctly rounded, gives the nearest double
// to the text's value, the same result as the digit-string conversion.
// Reads a sign, digits, the decimal mark, digits and an exponent from p on and
// returns where the number ends, or nullptr when it cannot decide, which is
// not a rejection: the caller then takes the full parse, which owns every
// failure. Only the starts of valid texts are ever accepted here. Bytes are
// read only inside [first, end); first is at or before p.
[[gnu::always_inline]] inline const char* ParseShortNumber(const char* const first, const char* p,
                                                           const char* const end, char mark, double& result) {
#if FLT_EVAL_METHOD != 0
    // With a wider evaluation type the quotient would be rounded twice.
    (void)first;
    (void)p;
    (void)end;
    (void)mark;
    (void)result;
    return nullptr;
#else
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }

    // Leading zeros count as digits: a text of more than 19 digits, however
    // many of them lead, is left to the full parse.
    const char* const mantissa = p;
    std::uint64_t digits = 0;
    p = AppendDigitRun(first, p, end, digits);
    std::ptrdiff_t count = p - mantissa;
    std::ptrdiff_t exponent = 0;
    if (p < end && *p == mark) {
        ++p;
        const char* const fraction = p;
        p = AppendDigitRun(first, p, end, digits);
        count += p - fraction;
        exponent = fraction - p;
    }
    if (p == mantissa || count > 19)
        return nullptr;  // nothing taken, or the digits may have wrapped

    if (p < end && (*p == 'e' || *p == 'E')) {
        p = ShortExponent(p + 1, end, exponent);
        if (p == nullptr)
            return nullptr;
    }

    if (digits == 0) {
        result = negative ? -0.0 : 0.0;
        return p;
    }
    double magnitude = 0.0;
    if (!ScaleExactly(digits, exponent, magnitude))
        return nullptr;
    result = negative ? -magnitude : magnitude;
    return p;
#endif
}

bool TryParseShortFloat(std::string_view text, char mark, double& result) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end && *p == ' ')
        ++p;
    p = ParseShortNumber(text.data(), p, end, mark, result);
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
// double is converted directly from the same digits with from_chars
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
        char* end = WriteDigitsAndExponent(number, number.Exponent, buffer, buffer + sizeof buffer);
        const auto converted = std::from_chars(buffer, end, magnitude, std::chars_format::general);
        if (converted.ec != std::errc()) {
            // Out of range: beyond the largest double, or rounds to 0.
            if (x > 0) {
                overflow = true;
            } else {
                magnitude = 0.0;
            }
        }
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
// The plain fields from p on (see ParsePlainFields); parsed counts those in a
// row that were plain numbers followed by the separator or the line's end.
// A line ends at end, or, inText, at its first CR, LF or NUL before end (end
// is then the end of the text read so far, where a number may still go on).
// Returns where the last field parsed stops: at the line's end or at the
// separator before further fields; nullptr when the line is anything else.
template <bool inText>
const char* ParsePlainFieldsFrom(const char* const first, const char* p, const char* const end,
                                 char separator, TNumberFormat format, double* values, std::size_t count,
                                 std::size_t& parsed) {
    const auto blank = [separator](char c) {
        return static_cast<unsigned char>(c) <= 32 && c != separator && !(inText && IsBreakOrNul(c));
    };
    const auto lineEnds = [end](const char* at) {
        return inText ? at != end && IsBreakOrNul(*at) : at == end;
    };
    for (parsed = 0; parsed < count;) {
        while (p < end && blank(*p))
            ++p;
        p = ParseShortNumber(first, p, end, format.DecimalMark, values[parsed]);
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

TOutcome ParseFloat(std::string_view text, TNumberFormat format, double& result) {
    if (TryParseShortFloat(text, format.DecimalMark, result))
        return TOutcome::Value;
    long double extended = 0.0L;
    switch (ParseFloatCore(text, format.DecimalMark, result, extended)) {
        case TFloatStatus::Ok:
            return TOutcome::Value;
        case TFloatStatus::Overflow:
            return TOutcome::Overflow;
        case TFloatStatus::Rejected:
            break;
    }
    return TOutcome::Rejected;
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

std::size_t ParsePlainFields(std::string_view line, char separator, TNumberFormat format, double* values,
                             std::size_t count) {
    std::size_t parsed = 0;
    ParsePlainFieldsFrom<false>(line.data(), line.data(), line.data() + line.size(), separator, format,
                                values, count, parsed);
    return parsed;
}

bool TryParsePlainPair(std::string_view line, char separator, TNumberFormat format, double& left,
                       double& right) {
    double values[2];
    std::size_t parsed = 0;
    const char* const end = line.data() + line.size();
    if (ParsePlainFieldsFrom<false>(line.data(), line.data(), end, separator, format, values, 2, parsed) !=
            end ||
        parsed != 2) {
        return false;
    }
    left = values[0];
    right = values[1];
    return true;
}

const char* ParsePlainFieldsInText(const char* first, const char* line, const char* end, char separator,
                                   TNumberFormat format, double* values, std::size_t count) {
    std::size_t parsed = 0;
    const char* const stop =
        ParsePlainFieldsFrom<true>(first, line, end, separator, format, values, count, parsed);
    return parsed == count ? stop : nullptr;
}

}  // namespace morvane::fuzz::handwritten
