#include "util/numtext.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <optional>
#include <system_error>

#include <fast_float/fast_float.h>

#include "util/errors.h"
#include "util/fpfault.h"
#include "util/hexdigits.h"
#include "util/linebreaks.h"

// Number texts. Nothing here depends on the process locale: the
// float parse builds the digits and the exponent itself and converts them
// exactly (short numbers by one exact double operation, all others with
// fast_float), the float format takes its digits from std::to_chars.

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
// double is converted directly from the same digits by fast_float
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

namespace {

#if defined(__SSE2__)
// One bit for each of the 64 bytes at text, the first byte's lowest: set
// where match marks the byte in its block of sixteen.
template <typename TMatch>
[[gnu::always_inline]] inline std::uint64_t MatchingBytes(const char* const text, TMatch match) {
    std::uint64_t mask = 0;
    for (std::ptrdiff_t part = 0; part < 4; ++part) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 16 * part));
        mask |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(match(block))))
                << (16 * part);
    }
    return mask;
}
#endif

// The common field of a recording: unsigned, no blanks, one to eight digits
// on either side of the mark, perhaps an exponent of at most three digits
// ("12,345678", "1,234567E+1"), its bytes [start, stop) and at least 24 from
// start readable. Takes its shape from one look at sixteen bytes and sets
// value as ParseShortNumber would; false leaves any other field, and one
// whose value is not exact in one step, to ParseShortNumber.
[[gnu::always_inline]] inline bool ParseCommonField(const char* const start, const char* const stop,
                                                    const char* const end, char mark, double& value) {
    if (end - start < 24) {
        return false;
    }
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(start));
    const __m128i offsets = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
    const __m128i digitLanes = _mm_cmpeq_epi8(_mm_min_epu8(offsets, _mm_set1_epi8(9)), offsets);
    // Bits 16 and up stay clear: a run of digits ends at the window's end at the latest.
    const auto digits = static_cast<unsigned>(_mm_movemask_epi8(digitLanes));
    const auto integers = static_cast<unsigned>(std::countr_one(digits));
    if (integers == 0 || integers > 8 || start[integers] != mark) {
        return false;
    }
    const unsigned fraction = integers + 1;
    const auto decimals = static_cast<unsigned>(std::countr_one(digits >> fraction));
    const unsigned after = fraction + decimals;
    if (decimals == 0 || decimals > 8 || after >= 16) {
        return false;  // none, too many, or the run may go on beyond the window
    }
    std::ptrdiff_t exponent = -static_cast<std::ptrdiff_t>(decimals);
    if (start + after != stop && ((start[after] != 'e' && start[after] != 'E') ||
                                  ShortExponent(start + after + 1, stop, exponent) != stop)) {
        return false;
    }
    std::uint64_t integerWord = 0;
    std::uint64_t fractionWord = 0;
    std::memcpy(&integerWord, start, 8);
    std::memcpy(&fractionWord, start + fraction, 8);
    if constexpr (std::endian::native == std::endian::big) {
        integerWord = __builtin_bswap64(integerWord);
        fractionWord = __builtin_bswap64(fractionWord);
    }
    std::uint64_t number = 0;
    if (after <= 9) {
        // At most eight digits: the fraction's digits follow the integer's in
        // one word, without the mark, which is read at once.
        const std::uint64_t integerBytes = (std::uint64_t{1} << (8 * integers)) - 1;
        const std::uint64_t joined = (integerWord & integerBytes) | (fractionWord << (8 * integers));
        number = DigitsValue(joined, static_cast<int>(after - 1));
    } else {
        number = DigitsValue(integerWord, static_cast<int>(integers)) * kDigitScale[decimals] +
                 DigitsValue(fractionWord, static_cast<int>(decimals));
    }
    if (number == 0) {
        value = 0.0;
        return true;
    }
    return ScaleExactly(number, exponent, value);
}

// ParsePlainFieldsFrom<true> for a line that ends within the 64 bytes at line
// (all readable): the separators and the break are found first, so each
// field is parsed from its known start and the fields' parses overlap in the
// processor instead of each waiting for the one before. Nothing when it
// cannot tell; the caller then parses field after field.
[[gnu::always_inline]] inline std::optional<const char*> ParseShortLine(const char* const first,
                                                                        const char* const line,
                                                                        const char* const end, char separator,
                                                                        char mark, double* values,
                                                                        std::size_t count) {
#if defined(__SSE2__)
    // Below three fields the search costs more than the overlap gains.
    if (count < 3 || end - line < 64) {
        return std::nullopt;
    }
    const std::uint64_t breaks = MatchingBytes(line, [](__m128i block) {
        const __m128i returns = _mm_cmpeq_epi8(block, _mm_set1_epi8('\r'));
        const __m128i feeds = _mm_cmpeq_epi8(block, _mm_set1_epi8('\n'));
        return _mm_or_si128(_mm_or_si128(returns, feeds), _mm_cmpeq_epi8(block, _mm_setzero_si128()));
    });
    if (breaks == 0) {
        return std::nullopt;
    }
    const auto length = static_cast<unsigned>(std::countr_zero(breaks));
    const auto separatorBytes = [separator](__m128i block) {
        return _mm_cmpeq_epi8(block, _mm_set1_epi8(separator));
    };
    std::uint64_t separators = MatchingBytes(line, separatorBytes) & ((std::uint64_t{1} << length) - 1);
    const char* start = line;
    const char* stop = nullptr;
    for (std::size_t field = 0; field < count; ++field) {
        if (separators != 0) {
            stop = line + std::countr_zero(separators);
            separators &= separators - 1;
        } else if (field + 1 == count) {
            stop = line + length;
        } else {
            return nullptr;  // fewer fields than asked for
        }
        // No separator, break or NUL lies within the field: every other byte up to ' ' is a blank.
        const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
        if (!ParseCommonField(start, stop, end, mark, values[field])) {
            const char* p = start;
            while (p < stop && blank(*p))
                ++p;
            p = ParseShortNumber(first, p, end, mark, values[field]);
            if (p == nullptr)
                return nullptr;
            while (p < stop && blank(*p))
                ++p;
            if (p != stop)
                return nullptr;
        }
        start = stop + 1;
    }
    return stop;
#else
    (void)first;
    (void)line;
    (void)end;
    (void)separator;
    (void)mark;
    (void)values;
    (void)count;
    return std::nullopt;
#endif
}

}  // namespace

const char* ParsePlainFieldsInText(const char* first, const char* line, const char* end, char separator,
                                   TNumberFormat format, double* values, std::size_t count) {
    if (const std::optional<const char*> stop =
            ParseShortLine(first, line, end, separator, format.DecimalMark, values, count)) {
        return *stop;
    }
    std::size_t parsed = 0;
    const char* const stop =
        ParsePlainFieldsFrom<true>(first, line, end, separator, format, values, count, parsed);
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
