// Number text conversions: every table of parse and format examples is a table here.

#include "util/numtext.h"

#include <gtest/gtest.h>

#include "tests/support/MessageOf.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "util/errors.h"
#include "util/textfile.h"

// Under the sanitizers these random sweeps run fifty times slower; a tenth of
// the cases still walks every path there, and the plain build runs them all.
// gcc names AddressSanitizer by a macro, clang 14 only as a feature.
#if defined(__SANITIZE_ADDRESS__)
#define MORVANE_ADDRESS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MORVANE_ADDRESS_SANITIZED 1
#endif
#endif
#ifdef MORVANE_ADDRESS_SANITIZED
constexpr int kSanitizedShare = 10;
#else
constexpr int kSanitizedShare = 1;
#endif

namespace morvane {
namespace {

const std::string kTab = "\t";

using morvane::testing::MessageOf;

std::string IntegerMessage(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

std::string FloatMessage(const std::string& text) {
    return "'" + text + "' is not a valid floating point value";
}

// ---------------------------------------------------------------------------
// The parse examples (· is a space), all three columns
// ---------------------------------------------------------------------------

enum class TExpect { Value, Fails, Overflow };

struct TParseRow {
    std::string Text;
    bool IntegerOk;
    std::int32_t IntegerValue;
    TExpect FloatExpect;
    double FloatValue;
};

const std::vector<TParseRow>& PartParseTable() {
    static const std::vector<TParseRow> kRows = {
        {"1", true, 1, TExpect::Value, 1.0},
        {"  7", true, 7, TExpect::Value, 7.0},
        {"7 ", false, 0, TExpect::Value, 7.0},
        {kTab + "7", false, 0, TExpect::Fails, 0},
        {"+0", true, 0, TExpect::Value, 0.0},
        {"-2147483648", true, INT32_MIN, TExpect::Value, -2147483648.0},
        {"2147483648", false, 0, TExpect::Value, 2147483648.0},
        {"$1F", true, 31, TExpect::Fails, 0},
        {"x1F", true, 31, TExpect::Fails, 0},
        {"0x1F", true, 31, TExpect::Fails, 0},
        {"-$10", true, -16, TExpect::Fails, 0},
        {"$FFFFFFFF", true, -1, TExpect::Fails, 0},
        {"$", false, 0, TExpect::Fails, 0},
        {" -2,5 ", false, 0, TExpect::Value, -2.5},
        {",5", false, 0, TExpect::Value, 0.5},
        {"5,", false, 0, TExpect::Value, 5.0},
        {",", false, 0, TExpect::Value, 0.0},
        {"1,5e3", false, 0, TExpect::Value, 1500.0},
        {"1E-2", false, 0, TExpect::Value, 0.01},
        {"1e", false, 0, TExpect::Value, 1.0},
        {"e5", false, 0, TExpect::Fails, 0},
        {"1.5", false, 0, TExpect::Fails, 0},
        {"1 000", false, 0, TExpect::Fails, 0},
        {"", false, 0, TExpect::Fails, 0},
        {"+", false, 0, TExpect::Fails, 0},
        {"1e1000", false, 0, TExpect::Overflow, 0},
        {"1e-1000", false, 0, TExpect::Value, 0.0},
    };
    return kRows;
}

TEST(ParseTable, IntegerColumn) {
    for (const TParseRow& row : PartParseTable()) {
        SCOPED_TRACE("text '" + row.Text + "'");
        if (row.IntegerOk) {
            EXPECT_EQ(ParseInteger(row.Text), row.IntegerValue);
        } else {
            EXPECT_EQ(MessageOf<EConvertError>([&] { ParseInteger(row.Text); }), IntegerMessage(row.Text));
        }
    }
}

TEST(ParseTable, FloatColumn) {
    for (const TParseRow& row : PartParseTable()) {
        SCOPED_TRACE("text '" + row.Text + "'");
        switch (row.FloatExpect) {
            case TExpect::Value:
                EXPECT_EQ(ParseFloat(row.Text, kDecimalComma), row.FloatValue);
                break;
            case TExpect::Fails:
                EXPECT_EQ(MessageOf<EConvertError>([&] { ParseFloat(row.Text, kDecimalComma); }),
                          FloatMessage(row.Text));
                break;
            case TExpect::Overflow:
                EXPECT_EQ(MessageOf<EOverflow>([&] { ParseFloat(row.Text, kDecimalComma); }),
                          "Floating point overflow");
                break;
        }
    }
}

TEST(ParseTable, FloatOrColumnWithDefaultZero) {
    for (const TParseRow& row : PartParseTable()) {
        SCOPED_TRACE("text '" + row.Text + "'");
        switch (row.FloatExpect) {
            case TExpect::Value:
                EXPECT_EQ(ParseFloatOr(row.Text, kDecimalComma, 0.0), row.FloatValue);
                break;
            case TExpect::Fails:
                EXPECT_EQ(ParseFloatOr(row.Text, kDecimalComma, 0.0), 0.0);
                break;
            case TExpect::Overflow:
                EXPECT_EQ(MessageOf<EOverflow>([&] { ParseFloatOr(row.Text, kDecimalComma, 0.0); }),
                          "Floating point overflow");
                break;
        }
    }
}

TEST(ParseTable, TryFloatColumnAnswersWithoutRaising) {
    for (const TParseRow& row : PartParseTable()) {
        SCOPED_TRACE("text '" + row.Text + "'");
        double value = -1;
        switch (row.FloatExpect) {
            case TExpect::Value:
                EXPECT_TRUE(TryParseFloat(row.Text, kDecimalComma, value));
                EXPECT_EQ(value, row.FloatValue);
                break;
            case TExpect::Fails:
                EXPECT_FALSE(TryParseFloat(row.Text, kDecimalComma, value));
                break;
            case TExpect::Overflow:
                EXPECT_THROW(TryParseFloat(row.Text, kDecimalComma, value), EOverflow);
                break;
        }
    }
}

// ---------------------------------------------------------------------------
// Integer parse: further syntax and range cases
// ---------------------------------------------------------------------------

TEST(ParseInteger, AcceptedTexts) {
    const struct {
        std::string Text;
        std::int32_t Value;
    } rows[] = {
        {"0", 0},
        {"-0", 0},
        {"012", 12},
        {"000000000000000012", 12},
        {"2147483647", 2147483647},
        {"+2147483647", 2147483647},
        {"-2147483647", -2147483647},
        {"   -12", -12},
        {"X1F", 31},
        {"0X1F", 31},
        {"$1f", 31},
        {"$aBcD", 0xABCD},
        {"+$1F", 31},
        {"$7FFFFFFF", 2147483647},
        {"$80000000", INT32_MIN},
        {"-$80000000", INT32_MIN},
        {"-$FFFFFFFF", 1},
        {"$0000000012345678", 0x12345678},  // leading zeros are not significant
        {"0x00", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("text '" + row.Text + "'");
        EXPECT_EQ(ParseInteger(row.Text), row.Value);
    }
}

TEST(ParseInteger, RejectedTexts) {
    const std::string rows[] = {
        "-2147483649", "21474836470", "99999999999999999999",
        "2147483650",  "- 1",         "+ 1",
        "+-1",         "--1",         "-",
        "x",           "X",           "0x",
        "$100000000",  "$123456789",  "$G",
        "0x1G",        "$-1",         "$ 1",
        "1a",          "12 ",         "1,5",
        "1.0",         " ",           "   ",
        kTab,          "1" + kTab,    "1e3",
        "0x 1",        "$$1",         "0xx1",
    };
    for (const std::string& text : rows) {
        SCOPED_TRACE("text '" + text + "'");
        EXPECT_EQ(MessageOf<EConvertError>([&] { ParseInteger(text); }), IntegerMessage(text));
    }
}

TEST(ParseInteger, DoesNotUseTheDecimalMark) {
    EXPECT_EQ(ParseInteger("15"), 15);
    EXPECT_THROW(ParseInteger("1.5"), EConvertError);
    EXPECT_THROW(ParseInteger("1,5"), EConvertError);
}

TEST(ParseInteger, MessageNamesTheUntrimmedText) {
    EXPECT_EQ(MessageOf<EConvertError>([] { ParseInteger(""); }), "'' is not a valid integer value");
    EXPECT_EQ(MessageOf<EConvertError>([] { ParseInteger("  12 "); }),
              "'  12 ' is not a valid integer value");
}

// The files' and options' integers: decimal digits and '-' only, the whole
// text; a refused text leaves the value as it was.
TEST(TryParsePlainInteger, TakesOnlyAWholeDecimalInteger) {
    const struct {
        std::string Text;
        std::optional<int> Value;
    } rows[] = {
        {"0", 0},
        {"-7", -7},
        {"0012", 12},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", {}},
        {"", {}},
        {"+1", {}},
        {" 1", {}},
        {"1 ", {}},
        {"1x", {}},
        {"0x1F", {}},
        {"$1F", {}},
        {"1,0", {}},
        {"-", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("text '" + row.Text + "'");
        int value = 99;
        EXPECT_EQ(TryParsePlainInteger(row.Text, value), row.Value.has_value());
        EXPECT_EQ(value, row.Value.value_or(99));
    }
}

// ---------------------------------------------------------------------------
// Float parse: further syntax, values and range edges
// ---------------------------------------------------------------------------

TEST(ParseFloat, AcceptedTexts) {
    const struct {
        std::string Text;
        double Value;
    } rows[] = {
        {"0", 0.0},
        {"+1", 1.0},
        {"-1", -1.0},
        {"   +1,25   ", 1.25},
        {"012,50", 12.5},
        {"00,001", 0.001},
        {"1e+", 1.0},
        {"1e-", 1.0},
        {"1E+3", 1000.0},
        {"1e3", 1000.0},
        {",5e1", 5.0},
        {"5,e1", 50.0},
        {",e5", 0.0},
        {"-,5", -0.5},
        {"1e0000000000000002", 100.0},  // leading zeros keep the value below 500
        {"123456789012345", 123456789012345.0},
        {"0,1", 0.1},
        {"0,3", 0.3},
        {"1,7976931348623157e308", DBL_MAX},
        {"-1,7976931348623157e308", -DBL_MAX},
        {"2,2250738585072014e-308", DBL_MIN},
        {"4,9406564584124654e-324", 4.9406564584124654e-324},  // smallest subnormal
        {"1e-320", 1e-320},
        {"2e-324", 0.0},  // below half the smallest subnormal: 0, silently
        {"1e-400", 0.0},
        {"1e-499", 0.0},
        {"1e-4999", 0.0},
        {"120000", 120000.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("text '" + row.Text + "'");
        EXPECT_EQ(ParseFloat(row.Text, kDecimalComma), row.Value);
        EXPECT_EQ(ParseFloatOr(row.Text, kDecimalComma, -77.0), row.Value);
    }
}

TEST(ParseFloat, NegativeZero) {
    for (const std::string text : {"-0", "-,", "-0,000", "-0e5", "-1e-1000", "  -,  "}) {
        SCOPED_TRACE("text '" + text + "'");
        const double value = ParseFloat(text, kDecimalComma);
        EXPECT_EQ(value, 0.0);
        EXPECT_TRUE(std::signbit(value));
        EXPECT_TRUE(std::signbit(ParseFloatOr(text, kDecimalComma, 5.0)));
    }
    EXPECT_FALSE(std::signbit(ParseFloat("0", kDecimalComma)));
    EXPECT_FALSE(std::signbit(ParseFloat("+,", kDecimalComma)));
}

TEST(ParseFloat, RejectedTexts) {
    const std::string rows[] = {
        "-",        " ",          "   ",     "- 1",        "+ 1",   "+-1",  "--1",    "1 e5",     "1e 5",
        "1e+-5",    "1e--5",      "1,5,",    ",,",         "1,,",   "1e5,", "1e5e",   "ee",       "E",
        "1e10000",  "1e5000",     "1e-5000", "1e00005000", "inf",   "nan",  "INF",    "0x1p3",    "1f",
        "1" + kTab, "1,5" + kTab, "1.",      ".5",         "1'000", "١",    "1e4999", "1,2e4932", "1e4933",
        "-1e4933",  "99999e4932", "1 ,5",    "1, 5",       "1d5",
    };
    for (const std::string& text : rows) {
        SCOPED_TRACE("text '" + text + "'");
        EXPECT_EQ(MessageOf<EConvertError>([&] { ParseFloat(text, kDecimalComma); }), FloatMessage(text));
        EXPECT_EQ(ParseFloatOr(text, kDecimalComma, -123.25), -123.25);
    }
}

TEST(ParseFloat, BeyondTheDoubleRangeOverflowsOnStore) {
    const std::string rows[] = {
        "1e400",
        "-1e400",
        "1e309",
        "1,8e308",
        "1e499",
        "1e1000",
        "-1e1000",
        "1e4931",
        "1,1e4932",
        "1,18973149535723176e4932",
        "17976931348623159e292",
        "  1e400  ",
    };
    for (const std::string& text : rows) {
        SCOPED_TRACE("text '" + text + "'");
        EXPECT_EQ(MessageOf<EOverflow>([&] { ParseFloat(text, kDecimalComma); }), "Floating point overflow");
        EXPECT_EQ(MessageOf<EOverflow>([&] { ParseFloatOr(text, kDecimalComma, 0.0); }),
                  "Floating point overflow");
    }
    // Just below the rounding boundary of the largest double: no overflow.
    EXPECT_EQ(ParseFloat("17976931348623158e292", kDecimalComma), DBL_MAX);
}

TEST(ParseFloat, MessageNamesTheUntrimmedText) {
    EXPECT_EQ(MessageOf<EConvertError>([] { ParseFloat("", kDecimalComma); }),
              "'' is not a valid floating point value");
    EXPECT_EQ(MessageOf<EConvertError>([] { ParseFloat(" 1 000 ", kDecimalComma); }),
              "' 1 000 ' is not a valid floating point value");
    EXPECT_EQ(MessageOf<EConvertError>([] { ParseFloat("  1.5  ", kDecimalComma); }),
              "'  1.5  ' is not a valid floating point value");
}

TEST(ParseFloat, UsesTheGivenDecimalMark) {
    {
        EXPECT_EQ(ParseFloat("1.5", kDecimalPoint), 1.5);
        EXPECT_EQ(ParseFloat(".5", kDecimalPoint), 0.5);
        EXPECT_THROW(ParseFloat("1,5", kDecimalPoint), EConvertError);
    }
    {
        EXPECT_EQ(ParseFloat("1,5", kDecimalComma), 1.5);
        EXPECT_THROW(ParseFloat("1.5", kDecimalComma), EConvertError);
    }
}

TEST(ParseFloat, ResultIsCorrectlyRounded) {
    // Halfway between 1 and the next double: ties to even gives 1.
    const std::string half = "1,00000000000000011102230246251565404236316680908203125";
    EXPECT_EQ(ParseFloat(half, kDecimalComma), 1.0);
    EXPECT_EQ(ParseFloat(half + "0000000000", kDecimalComma), 1.0);
    // A non-zero digit far beyond the kept digits still decides the rounding.
    const double next = std::nextafter(1.0, 2.0);
    EXPECT_EQ(ParseFloat(half + std::string(2000, '0') + "1", kDecimalComma), next);
    EXPECT_EQ(ParseFloat(half + std::string(2000, '0') + "1e0", kDecimalComma), next);
    EXPECT_EQ(ParseFloat(half + std::string(2000, '0'), kDecimalComma), 1.0);
}

TEST(ParseFloat, VeryLongDigitTexts) {
    // Many integer digits, brought back by the exponent.
    EXPECT_EQ(ParseFloat("1" + std::string(1000, '0') + "e-1000", kDecimalComma), 1.0);
    EXPECT_EQ(ParseFloat("25" + std::string(3000, '0') + "e-3001", kDecimalComma), 2.5);
    // Many leading fraction zeros, brought back by the exponent.
    EXPECT_EQ(ParseFloat("0," + std::string(1000, '0') + "15e1001", kDecimalComma), 1.5);
    // Only zeros.
    EXPECT_EQ(ParseFloat(std::string(5000, '0') + "," + std::string(5000, '0'), kDecimalComma), 0.0);
    // 1 followed by 400 zeros without exponent: beyond the double range.
    EXPECT_THROW(ParseFloat("1" + std::string(400, '0'), kDecimalComma), EOverflow);
    // 1 followed by 5000 zeros: beyond the intermediate.
    const std::string huge = "1" + std::string(5000, '0');
    // Its message quotes only the first 200 characters.
    EXPECT_EQ(MessageOf<EConvertError>([&] { ParseFloat(huge, kDecimalComma); }),
              FloatMessage(huge.substr(0, 200) + "…"));
    EXPECT_EQ(ParseFloatOr(huge, kDecimalComma, 3.0), 3.0);
    // A long fraction below the subnormal range: silently 0.
    EXPECT_EQ(ParseFloat("0," + std::string(5000, '0') + "1", kDecimalComma), 0.0);
    // The same number of significant digits as a 17-digit double, repeated.
    EXPECT_EQ(ParseFloat("0," + std::string(600, '3'), kDecimalComma), 1.0 / 3.0);
}

// ---------------------------------------------------------------------------
// The short path against the digit-string conversion
// ---------------------------------------------------------------------------

// A random number text of the shapes the signal files hold ("3,423876E+0",
// "-6,278913E-1", "12345", ",5"), some with more digits or a larger exponent
// than the short path takes. The reference is the same value written as
// "<digits>e<power>" and converted by std::from_chars.
struct TShapedText {
    std::string Text;
    std::string Reference;  // no sign
    bool Negative = false;
};

TShapedText RandomShapedText(std::mt19937_64& random) {
    auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    TShapedText shaped;
    std::string digits;
    const int sign = pick(0, 3);
    if (sign == 1 || sign == 2) {
        shaped.Text += sign == 1 ? '-' : '+';
        shaped.Negative = sign == 1;
    }
    const int integerDigits = pick(0, pick(0, 1) == 0 ? 3 : 22);
    const int fractionDigits = pick(0, pick(0, 1) == 0 ? 8 : 24);
    for (int d = 0; d < integerDigits; ++d)
        digits += static_cast<char>('0' + pick(0, 9));
    shaped.Text += digits;
    if (fractionDigits > 0 || integerDigits == 0 || pick(0, 3) == 0) {
        shaped.Text += ',';
        std::string fraction;
        for (int d = 0; d < fractionDigits; ++d)
            fraction += static_cast<char>('0' + pick(0, 9));
        shaped.Text += fraction;
        digits += fraction;
    }
    int power = -fractionDigits;
    if (pick(0, 2) == 0) {
        const int exponent = pick(-40, 40);
        shaped.Text += pick(0, 1) == 0 ? 'E' : 'e';
        if (exponent < 0) {
            shaped.Text += '-';
        } else if (pick(0, 1) == 0) {
            shaped.Text += '+';
        }
        shaped.Text += std::to_string(std::abs(exponent));
        power += exponent;
    }
    if (pick(0, 9) == 0)
        shaped.Text += "  ";
    shaped.Reference = (digits.empty() ? "0" : digits) + "e" + std::to_string(power);
    return shaped;
}

TEST(ParseFloat, ShortNumbersMatchTheDigitConversion) {
    std::mt19937_64 random(1441);
    for (int i = 0; i < 300000 / kSanitizedShare; ++i) {
        const TShapedText shaped = RandomShapedText(random);
        double expected = 0;
        const auto converted = std::from_chars(shaped.Reference.data(),
                                               shaped.Reference.data() + shaped.Reference.size(), expected);
        ASSERT_EQ(converted.ec, std::errc()) << shaped.Reference;
        if (shaped.Negative)
            expected = -expected;
        const double parsed = ParseFloat(shaped.Text, kDecimalComma);
        // The same bits: the same value and, for zero, the same sign.
        EXPECT_EQ(std::memcmp(&parsed, &expected, sizeof parsed), 0)
            << shaped.Text << " gave " << parsed << ", expected " << expected;
        if (HasFailure())
            break;
    }
}

TEST(ParseFloat, ShortPathEdges) {
    struct TRow {
        const char* Text;
        double Value;
    };
    const TRow rows[] = {
        {"9007199254740992", 9007199254740992.0},          // 2^53: the largest exact digit integer
        {"9007199254740993", 9007199254740992.0},          // 2^53 + 1 ties to even
        {"9007199254740995", 9007199254740996.0},          // 2^53 + 3 ties to even, upwards
        {"9999999999999999999", 1e19},                     // 19 digits, beyond 2^53
        {"18446744073709551617", 18446744073709551616.0},  // 20 digits: would wrap 64 bits
        {"1e22", 1e22},
        {"1e23", 1e23},
        {"1e-22", 1e-22},
        {"1e-23", 1e-23},
        {"123456789012345e-22", 123456789012345e-22},
        {"0,1", 0.1},
        {"-6,278913E-1", -0.6278913},
        {"3,423876E+0", 3.423876},
        {"0000000000000000000000001,5", 1.5},  // leading zeros are not significant
        {"1,50000000000000000000000", 1.5},    // trailing ones are, and leave the short path
        {"0e999", 0.0},
        {"5e099", 5e99},
        {"5e-0001", 0.5},  // a four-digit exponent leaves the short path
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(ParseFloat(row.Text, kDecimalComma), row.Value);
    }
    // Three exponent digits are always taken; the range is still checked.
    EXPECT_THROW(ParseFloat("1e400", kDecimalComma), EOverflow);
    EXPECT_THROW(ParseFloat("1e0400", kDecimalComma), EOverflow);
    EXPECT_EQ(ParseFloat("1e00000", kDecimalComma), 1.0);  // leading exponent zeros keep the value below 500
    EXPECT_EQ(MessageOf<EConvertError>([] { ParseFloat("1e5000", kDecimalComma); }), FloatMessage("1e5000"));
    // An exponent too long for an int is refused before its value can wrap.
    EXPECT_EQ(MessageOf<EConvertError>([] { ParseFloat("1E5225220676729", kDecimalComma); }),
              FloatMessage("1E5225220676729"));
}

// Digit runs read eight bytes at a time: runs that end on, before and after a
// word's end, and fields cut out of a longer line whose next bytes are digits.
TEST(ParsePlainFields, DigitRunsAndFieldEnds) {
    struct TRow {
        std::string_view Line;
        std::size_t Length;  // of the field at the line's start
        bool Accepted;
        double Value;
    };
    const TRow rows[] = {
        {"12345678", 8, true, 12345678.0},
        {"123456789", 9, true, 123456789.0},
        {"123456789012345,5", 17, true, 123456789012345.5},
        {"1,000000", 8, true, 1.0},
        {"41,123456E+0", 12, true, 41.123456},
        {" -0,00012345678 ", 16, true, -0.00012345678},
        {"1,2345678912", 5, true, 1.234},  // the digits after the field stay unread
        {"9876543210", 3, true, 987.0},    // a field of fewer than eight bytes at a line's start
        {"1,5\t", 4, true, 1.5},
        {"12a45678", 8, false, 0},
        {"1,5:2", 5, false, 0},
        {"\xC9\xB9", 2, false, 0},                   // bytes above 0x80 are no digits
        {"1,5000000000000000000001", 24, false, 0},  // beyond 19 digits: the general parse decides
        {"", 0, false, 0},
    };
    for (const TRow& row : rows) {
        const std::string_view field = row.Line.substr(0, row.Length);
        SCOPED_TRACE(std::string(field));
        double value = -1;
        EXPECT_EQ(ParsePlainFields(field, ';', kDecimalComma, &value, 1), row.Accepted ? 1u : 0u);
        if (row.Accepted) {
            EXPECT_EQ(value, row.Value);
            EXPECT_EQ(value, ParseFloat(TrimBlanks(field), kDecimalComma));
        }
    }
}

// Texts that the number library reads otherwise than our rules (a second
// sign, words, an exponent letter without digits, an exponent reaching 5000
// on a zero, a mark alone) are never taken as other values: a field is taken
// with ParseFloat's value, or left to it, which rejects it.
TEST(ParsePlainFields, TakesOnlyWhatParseFloatGives) {
    const char* const rows[] = {"+-1",   "-inf",   "nan",     "infinity",   "1e",
                                "1e+;2", "0e5000", "0e05000", "0,0e-50000", ",",
                                ",e5",   "-,",     "1e-400",  "5e-0001",    "0,000000E+0"};
    for (const char* const text : rows) {
        SCOPED_TRACE(text);
        const std::string_view field = std::string_view(text).substr(0, std::string_view(text).find(';'));
        double value = -1;
        if (ParsePlainFields(text, ';', kDecimalComma, &value, 1) == 1) {
            double parsed = 0;
            EXPECT_TRUE(TryParseFloat(field, kDecimalComma, parsed));
            EXPECT_TRUE(std::memcmp(&value, &parsed, sizeof value) == 0) << value << " against " << parsed;
        }
    }
}

// Only blanks other than the separator surround a field; counting stops at
// the first field that is no plain number, and nothing beyond count is read.
TEST(ParsePlainFields, FieldsOfALine) {
    struct TRow {
        std::string_view Line;
        char Separator;
        std::size_t Count;
        std::vector<double> Values;  // the fields taken
    };
    const TRow rows[] = {
        {"1,5;-2,5E+1", ';', 2, {1.5, -25}},
        {" 1 \t 2 ", '\t', 2, {1, 2}},
        {"\t1\t2", '\t', 2, {}},  // an empty first field
        {"1;;2", ';', 3, {1}},
        {"1;x;3", ';', 1, {1}},
        {"1;2", ';', 3, {1, 2}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(std::string(row.Line));
        std::vector<double> values(row.Count);
        const std::size_t taken =
            ParsePlainFields(row.Line, row.Separator, kDecimalComma, values.data(), row.Count);
        values.resize(taken);
        EXPECT_EQ(values, row.Values);
    }
    double values[2] = {};
    EXPECT_EQ(ParsePlainFields("1.5,2", ',', kDecimalPoint, values, 2), 2u);
    EXPECT_EQ(values[0], 1.5);
}

// A line of several fields parsed where it stands in a longer text takes the
// same fields, to the bit, and stops at the same place as the line parsed
// alone; shapes at the edges of the common field, then random lines.
TEST(ParsePlainFields, LinesInTextAsAlone) {
    const auto check = [](const std::string& line, char separator, std::size_t count) {
        SCOPED_TRACE(line);
        const std::string text = line + "\r\n" + std::string(80, '7');
        double alone[5] = {};
        double inText[5] = {};
        const std::size_t taken = ParsePlainFields(line, separator, kDecimalComma, alone, count);
        const char* const stop = ParsePlainFieldsInText(text.data(), text.data(), text.data() + text.size(),
                                                        separator, kDecimalComma, inText, count);
        ASSERT_EQ(stop != nullptr, taken == count);
        if (stop == nullptr) {
            return;
        }
        const std::size_t fieldsEnd = std::min(line.size(), line.find(separator, [&] {
            std::size_t at = 0;
            for (std::size_t k = 1; k < count; ++k) {
                at = line.find(separator, at) + 1;
            }
            return at;
        }()));
        EXPECT_EQ(static_cast<std::size_t>(stop - text.data()), fieldsEnd);
        EXPECT_EQ(std::memcmp(alone, inText, count * sizeof(double)), 0);
    };
    const char* const fields[] = {"12345678,12345678",
                                  "123456789,5",
                                  "1,123456789",
                                  "0,000000",
                                  "1,000000E+0",
                                  "2,5E-123",
                                  "2,5E1234",
                                  "2,5E+",
                                  "5,",
                                  ",5",
                                  "-1,5",
                                  " 1,5 ",
                                  "99999999,99999999",
                                  "1,5e3",
                                  "1,5x",
                                  "1234567890123456,5",
                                  "1,12345678",
                                  "123456,12345678",
                                  "12345678,1234567",
                                  "9,9E-22"};
    for (const char* const field : fields) {
        check(std::string("1,0;") + field + ";22,5;3,25;4", ';', 5);
        check(std::string("1,0;2,0;") + field, ';', 3);
        check(std::string("1,0\t") + field + "\t2", '\t', 3);
    }
    check("1;2", ';', 3);                                // fewer fields than asked for
    check(std::string(70, '1') + ";2;3", ';', 3);        // no break within reach
    check("1;2;" + std::string(56, '3') + "4", ';', 3);  // the break just within reach
    const char alphabet[] = "01234567890123456789,,eE+-; ";
    std::mt19937_64 random(1441);
    std::uniform_int_distribution<int> length(3, 60);
    std::uniform_int_distribution<std::size_t> letter(0, sizeof alphabet - 2);
    for (int i = 0; i < 100000 / kSanitizedShare; ++i) {
        std::string line;
        for (int n = length(random); n > 0; --n)
            line += alphabet[letter(random)];
        check(line, ';', 3 + static_cast<std::size_t>(i % 3));
    }
}

// Random texts over the characters of the syntax: the whole parse must accept
// exactly what the wide parse (which has no short path) accepts.
TEST(ParseFloat, AcceptsWhatTheWideParseAccepts) {
    const char alphabet[] = "0123456789,,..eE+-  \t";
    std::mt19937_64 random(720);
    std::uniform_int_distribution<int> length(0, 9);
    std::uniform_int_distribution<std::size_t> letter(0, sizeof alphabet - 2);
    for (int i = 0; i < 300000 / kSanitizedShare; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n)
            text += alphabet[letter(random)];
        long double wide = 0;
        const bool accepted = TryParseExtended(text, kDecimalComma, wide);
        try {
            const double parsed = ParseFloat(text, kDecimalComma);
            EXPECT_TRUE(accepted) << "'" << text << "'";
            EXPECT_EQ(std::signbit(parsed), std::signbit(wide)) << "'" << text << "'";
            EXPECT_LE(std::fabs(parsed - static_cast<double>(wide)), std::fabs(parsed) * 1e-15)
                << "'" << text << "'";
        } catch (const EConvertError&) {
            EXPECT_FALSE(accepted) << "'" << text << "'";
        } catch (const EOverflow&) {
            EXPECT_TRUE(accepted && std::fabs(wide) > DBL_MAX) << "'" << text << "'";
        }
        if (HasFailure())
            break;
    }
}

TEST(TryParseExtended, WideIntermediate) {
    long double value = 0;
    EXPECT_TRUE(TryParseExtended("1e1000", kDecimalComma, value));
    EXPECT_EQ(value, 1e1000L);
    EXPECT_TRUE(TryParseExtended("-1e1000", kDecimalComma, value));
    EXPECT_EQ(value, -1e1000L);
    EXPECT_TRUE(TryParseExtended("0,1", kDecimalComma, value));
    EXPECT_EQ(value, 0.1L);
    EXPECT_TRUE(TryParseExtended("1,18e4932", kDecimalComma, value));
    EXPECT_EQ(value, 1.18e4932L);
    EXPECT_TRUE(TryParseExtended("1,18973149535723176502e4932", kDecimalComma, value));
    EXPECT_EQ(value, LDBL_MAX);
    EXPECT_TRUE(TryParseExtended("1e-4940", kDecimalComma, value));  // a subnormal of the intermediate
    EXPECT_GT(value, 0.0L);
    EXPECT_LT(value, LDBL_MIN);
    EXPECT_NEAR(static_cast<double>(value / 1e-4940L), 1.0, 1e-9);
    EXPECT_TRUE(TryParseExtended("1e-4999", kDecimalComma, value));
    EXPECT_EQ(value, 0.0L);
    EXPECT_TRUE(TryParseExtended("-,", kDecimalComma, value));
    EXPECT_EQ(value, 0.0L);
    EXPECT_TRUE(std::signbit(value));

    value = 42.0L;
    EXPECT_FALSE(TryParseExtended("1,2e4932", kDecimalComma, value));
    EXPECT_FALSE(TryParseExtended("1e4933", kDecimalComma, value));
    EXPECT_FALSE(TryParseExtended("1e4999", kDecimalComma, value));
    EXPECT_FALSE(TryParseExtended("1e10000", kDecimalComma, value));
    EXPECT_FALSE(TryParseExtended("1.5", kDecimalComma, value));
    EXPECT_FALSE(TryParseExtended("", kDecimalComma, value));
    EXPECT_FALSE(TryParseExtended("e5", kDecimalComma, value));
}

// ---------------------------------------------------------------------------
// Float format
// ---------------------------------------------------------------------------

struct TFormatRow {
    double Value;
    std::string Text;
};

TEST(FormatFloatGeneral, PartExamples) {
    const TFormatRow rows[] = {
        {0.0, "0"},
        {1.0, "1"},
        {-1.5, "-1,5"},
        {0.05, "0,05"},
        {0.0001, "0,0001"},
        {0.00001, "1E-5"},
        {1.5e-10, "1,5E-10"},
        {1e14, "100000000000000"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E15"},
        {1234567890123456.0, "1,23456789012346E15"},
        {1.0 / 3.0, "0,333333333333333"},
        {2.0 / 3.0, "0,666666666666667"},
        {0.1 + 0.2, "0,3"},
        {120000.0 / 7.0, "17142,8571428571"},
        {1.5e300, "1,5E300"},
        {-2.5e-7, "-2,5E-7"},
    };
    for (const TFormatRow& row : rows) {
        SCOPED_TRACE("text " + row.Text);
        EXPECT_EQ(FormatFloatGeneral(row.Value, kDecimalComma), row.Text);
    }
}

TEST(FormatFloatGeneral, FurtherRowsAndBoundaries) {
    const TFormatRow rows[] = {
        {-0.0, "0"},
        {-1.0, "-1"},
        {100.0, "100"},
        {12345.0, "12345"},
        {120.0, "120"},
        {17.1, "17,1"},
        {133.3, "133,3"},
        {-120.0, "-120"},
        {0.5, "0,5"},
        // X = -3 is fixed, X = -4 is exponent form.
        {0.00012345, "0,00012345"},
        {0.000099, "9,9E-5"},
        {-0.00001, "-1E-5"},
        {0.00099999, "0,00099999"},
        // X = 15 is fixed, X = 16 is exponent form.
        {123456789012345.6, "123456789012346"},
        {100000000000000.5, "100000000000001"},  // 16th digit 5: up
        {1e16, "1E16"},
        {-1e15, "-1E15"},
        {1.5e15, "1,5E15"},
        {2e15, "2E15"},
        // A carry through all nines raises the exponent and can change the form.
        {999999999999999.9, "1E15"},
        {0.000099999999999999999, "0,0001"},
        {9.9999999999999999, "10"},
        {0.99999999999999994, "1"},
        // The 16th digit of the 18-digit expansion decides, not the exact value:
        // 2.421072493769444999855... is 2.42107249376944500 to 18 digits.
        {2.421072493769445, "2,42107249376945"},
        {7.123857119660995, "7,123857119661"},
        // Exponent form details.
        {1e100, "1E100"},
        {1e-100, "1E-100"},
        {1.25e-5, "1,25E-5"},
        {DBL_MAX, "1,79769313486232E308"},
        {-DBL_MAX, "-1,79769313486232E308"},
        {DBL_MIN, "2,2250738585072E-308"},
        {4.9406564584124654e-324, "4,94065645841247E-324"},
        {1e-320, "9,99988867182683E-321"},
        {123456789.123456789, "123456789,123457"},
        {0.1, "0,1"},
    };
    for (const TFormatRow& row : rows) {
        SCOPED_TRACE("text " + row.Text);
        EXPECT_EQ(FormatFloatGeneral(row.Value, kDecimalComma), row.Text);
    }
}

TEST(FormatFloatGeneral, UsesTheGivenDecimalMark) {
    EXPECT_EQ(FormatFloatGeneral(-1.5, kDecimalPoint), "-1.5");
    EXPECT_EQ(FormatFloatGeneral(1.5e300, kDecimalPoint), "1.5E300");
    EXPECT_EQ(FormatFloatGeneral(0.05, kDecimalPoint), "0.05");
}

// ---------------------------------------------------------------------------
// Integer format and event numbers
// ---------------------------------------------------------------------------

TEST(FormatInteger, Table) {
    const struct {
        std::int64_t Value;
        std::string Text;
    } rows[] = {
        {0, "0"},
        {-12, "-12"},
        {7, "7"},
        {123, "123"},
        {1000000, "1000000"},
        {2147483647, "2147483647"},
        {-2147483648LL, "-2147483648"},
        {2147483648LL, "2147483648"},
        {INT64_MAX, "9223372036854775807"},
        {INT64_MIN, "-9223372036854775808"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatInteger(row.Value), row.Text);
    }
}

TEST(FormatEventNumber, TwoDigits) {
    const struct {
        std::int64_t Value;
        std::string Text;
    } rows[] = {
        {0, "00"}, {1, "01"}, {9, "09"}, {10, "10"}, {17, "17"}, {99, "99"}, {100, "100"}, {123, "123"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatEventNumber(row.Value), row.Text);
    }
}

// ---------------------------------------------------------------------------
// Round trip: a double nearest to a decimal of at most 15 significant digits
// comes back from its own text.
// ---------------------------------------------------------------------------

double NearestDouble(std::uint64_t mantissa, int exponent) {
    char buffer[64];
    char* p = std::to_chars(buffer, buffer + 32, mantissa).ptr;
    *p++ = 'e';
    p = std::to_chars(p, buffer + sizeof buffer, exponent).ptr;
    double value = 0;
    std::from_chars(buffer, p, value);
    return value;
}

void ExpectRoundTrip(double value) {
    const std::string text = FormatFloatGeneral(value, kDecimalComma);
    const double back = ParseFloat(text, kDecimalComma);
    EXPECT_EQ(back, value) << "text " << text;
    if (value == 0.0) {
        EXPECT_FALSE(std::signbit(back)) << "'0' is positive";
    }
}

TEST(RoundTrip, EdgeValues) {
    const double values[] = {
        0.0,
        1.0,
        -1.0,
        0.1,
        0.2,
        0.3,
        0.5,
        1.5,
        2.5,
        1e-4,
        1e-5,
        9.99e-5,
        1e14,
        1e15,
        1e16,
        999999999999999.0,
        1e-300,
        1e300,
        1e308,
        -1e308,
        1e-307,
        2.2250738585072e-308,
        1.7976931348623e308,
        120.0,
        17.1,
        133.3,
        26.7,
        -120.0,
        360.0,
        720.0,
        0.05,
        123456789012345.0,
        1.23456789012345e-200,
        9.99999999999999e307,
        1e-320,
        4.9406564584124654e-324,
        120000.0 / 7.0,  // 15 digits: 17142.8571428571 must come back only up to the digits kept
    };
    for (const double value : values) {
        SCOPED_TRACE(value);
        if (value == 120000.0 / 7.0) {
            // Not a 15-digit decimal: the text is the nearest 15-digit decimal.
            EXPECT_NEAR(ParseFloat(FormatFloatGeneral(value, kDecimalComma), kDecimalComma), value, 1e-10);
            continue;
        }
        ExpectRoundTrip(value);
        ExpectRoundTrip(-value);
    }
}

TEST(RoundTrip, RandomDecimalsOfAtMost15Digits) {
    std::mt19937_64 random(20240517);
    std::uniform_int_distribution<int> digitCount(1, 15);
    std::uniform_int_distribution<int> exponent(-320, 292);
    for (int i = 0; i < 200000 / kSanitizedShare; ++i) {
        const int digits = digitCount(random);
        std::uint64_t limit = 1;
        for (int d = 0; d < digits; ++d)
            limit *= 10;
        const std::uint64_t mantissa = std::uniform_int_distribution<std::uint64_t>(1, limit - 1)(random);
        const double value = NearestDouble(mantissa, exponent(random));
        if (value == 0.0 || std::fpclassify(value) == FP_SUBNORMAL) {
            // A subnormal keeps fewer digits than its decimal; still the nearest.
            if (value != 0.0)
                ExpectRoundTrip(value);
            continue;
        }
        ExpectRoundTrip(i % 2 == 0 ? value : -value);
        if (HasFailure())
            break;
    }
}

TEST(RoundTrip, AnyDoubleComesBackWithin15Digits) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 200000 / kSanitizedShare; ++i) {
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            continue;
        const std::string text = FormatFloatGeneral(value, kDecimalComma);
        double back = 0;
        try {
            back = ParseFloat(text, kDecimalComma);
        } catch (const EOverflow&) {
            // Values within half a 15-digit step of the largest double round up
            // beyond it: 1,79769313486232E308 is above the largest double.
            EXPECT_GT(std::fabs(value), 1.797693134862315e308);
            continue;
        }
        if (std::fpclassify(value) == FP_SUBNORMAL) {
            EXPECT_NEAR(back, value, 1e-320);
        } else {
            EXPECT_LE(std::fabs(back - value), std::fabs(value) * 5.1e-15) << text;
        }
        if (HasFailure())
            break;
    }
}

}  // namespace
}  // namespace morvane
