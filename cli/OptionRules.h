#pragma once

// The kinds of value an option of the batch tool takes, and the checks of
// form and range that go with each. A rule turns the text after the option's
// name into a value, or raises EUsageError with a one-line reason that names
// the option and what it accepts.

#include <stdexcept>
#include <string>
#include <string_view>

#include "signal/ToothedWheel.h"

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
    Pair,     // "A,B" or, with decimals, "A;B" (util/pairtext.h); parts passed on unread
    Choice,   // one of the words of Choices, separated by '|'
    Size,     // "WxH", both integers within [Low, High]
    Flags,    // as many characters 0 or 1 as the value name has
    Wheel,    // "T-M" of a toothed wheel within its range
};

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
    std::string_view Choices = {};  // Choice: "1|2", "none|point|polytropic"
    std::string_view Detail = {};   // Pair: an example with decimals; Flags: what each character means
    bool NotEmpty = false;          // Text and Path: an empty value is a usage mistake
    TPathRole Role = TPathRole::None;
};

// The value as the rule read it; only the fields of its kind are set.
struct TOptionValue {
    std::string Text;  // as given
    double Number = 0;
    int Integer = 0;  // Integer, Choice (the word's index), Size (width)
    int Second = 0;   // Size (height)
    std::string First;
    std::string Last;  // Pair
    TWheel Wheel;
};

// Reads text by rule for the option name (valueName is its value's name in
// the help, such as "FROM,TO" or "BBBB"); raises EUsageError.
TOptionValue ReadOptionValue(const TValueRule& rule, std::string_view name, std::string_view valueName,
                             const std::string& text);

}  // namespace morvane
