#pragma once

// The kinds of value an option of the batch tool takes, and the checks of
// form and range that go with each. A rule turns the text after the option's
// name into a value, or raises EUsageError with a one-line reason that names
// the option and what it accepts.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "signal/import/ToothedWheel.h"

namespace morvane {

// A mistake in the command line itself (exit code 2), as opposed to a failure
// of the core, which the error box would show (exit code 1).
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TValueKind {
    Text,     // passed on unread: the core judges it as it judges what a user types
    Path,     // a file name
    Integer,  // whole number within [Low, High]; a count is one with Low = 1
    Number,   // decimal comma or point, within the range of Ends
    Field,    // a number the core reads as the window's entries, passed on as typed (see below)
    Pair,     // "A,B" or, with decimals, "A;B" (util/pairtext.h); parts passed on as Field when ranged
    Choice,   // one of the words of Choices, separated by '|'
    Size,     // "WxH", both integers within [Low, High]
    Flags,    // as many characters 0 or 1 as the value name has
    Wheel,    // "T-M" of a toothed wheel within its range
};

// A Field, or a part of a Pair with a range (High above Low), is passed on as
// typed, so the core reads it as it reads the window's entry. A number the
// core reads must lie within the range; a spelled-out "nan" or "inf" is
// refused naming the option; any other text, or a number beyond the double
// range, is left to the core, whose message names the text or the quantity.

// Which ends of [Low, High] a Number may take. AboveLow: above Low, and at
// most High when High lies above Low (without a High, no upper end).
enum class TRangeEnds { Both, BelowHigh, AboveLow };

// Whether a path is read or written by the command: a written one must not
// name a file that is read.
enum class TPathRole { None, Input, Output };

struct TValueRule {
    TValueKind Kind = TValueKind::Text;
    double Low = 0;
    double High = 0;
    TRangeEnds Ends = TRangeEnds::Both;
    // Number: the range a value of that form must also lie in to make sense,
    // both ends included; none when SensibleHigh is not above SensibleLow.
    double SensibleLow = 0;
    double SensibleHigh = 0;
    std::string_view Choices = {};  // Choice: "1|2", "none|point|polytropic"
    std::string_view Detail = {};   // Pair: an example with decimals; Flags: what each character means
    bool NotEmpty = false;          // Text and Path: an empty value is a usage mistake
    TPathRole Role = TPathRole::None;
    // Number: a list of them, each within the range, separated by ';' or,
    // when the text holds no ';' and two commas or more, by ','.
    bool List = false;
};

// The value as the rule read it; only the fields of its kind are set.
struct TOptionValue {
    std::string Text;             // as given
    double Number = 0;            // Number: the last of a list
    std::vector<double> Numbers;  // Number: every one, in order
    int Integer = 0;              // Integer, Choice (the word's index), Size (width)
    int Second = 0;               // Size (height)
    std::string First;
    std::string Last;  // Pair
    TWheel Wheel;
};

// The range a value of rule must lie in, as the help and the mistakes say it
// ("from 1 to 2000", "above 0"); empty for a rule without one.
std::string RangeText(const TValueRule& rule);

// "a, b or c" of "a|b|c"; with last "and": "a, b and c".
std::string ChoicesText(std::string_view choices, std::string_view last = "or");

// The index of text among the words of choices ("none|point|polytropic"), or -1.
int ChoiceIndex(std::string_view choices, std::string_view text);

// Reads text by rule for the option name (valueName is its value's name in
// the help, such as "FROM,TO" or "BBBB"); raises EUsageError.
TOptionValue ReadOptionValue(const TValueRule& rule, std::string_view name, std::string_view valueName,
                             const std::string& text);

}  // namespace morvane
