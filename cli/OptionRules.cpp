#include "cli/OptionRules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

#include "cli/BatchCommands.h"
#include "signal/import/EncoderRanges.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/pairtext.h"

namespace morvane {

namespace {

[[noreturn]] void RaiseUsage(std::string_view name, std::string_view problem) {
    throw EUsageError(std::string(name) + " " + std::string(problem));
}

// A bound as the help writes it: whole numbers without decimals, else with the decimal comma.
std::string BoundText(double bound) {
    char digits[400];
    const auto written = std::to_chars(digits, digits + sizeof digits, bound, std::chars_format::fixed);
    std::string text(digits, written.ptr);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

// A plain decimal integer, the whole text, within [low, high].
bool ParseBounded(std::string_view text, double low, double high, int& value) {
    int parsed = 0;
    if (!TryParsePlainInteger(text, parsed) || parsed < low || parsed > high) {
        return false;
    }
    value = parsed;
    return true;
}

// A decimal number with a comma or a point.
bool ParseDecimal(std::string text, double& value) {
    std::replace(text.begin(), text.end(), ',', '.');
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end && std::isfinite(value);
}

bool InRange(const TValueRule& rule, double value) {
    switch (rule.Ends) {
        case TRangeEnds::Both:
            return value >= rule.Low && value <= rule.High;
        case TRangeEnds::BelowHigh:
            return value >= rule.Low && value < rule.High;
        case TRangeEnds::AboveLow:
            return value > rule.Low && (rule.High <= rule.Low || value <= rule.High);
    }
    return false;
}

std::string EndsText(const TValueRule& rule) {
    switch (rule.Ends) {
        case TRangeEnds::Both:
            return "from " + BoundText(rule.Low) + " to " + BoundText(rule.High);
        case TRangeEnds::BelowHigh:
            return "from " + BoundText(rule.Low) + " to below " + BoundText(rule.High);
        case TRangeEnds::AboveLow:
            return "above " + BoundText(rule.Low) +
                   (rule.High > rule.Low ? " and at most " + BoundText(rule.High) : std::string());
    }
    return {};
}

bool HasSensibleRange(const TValueRule& rule) {
    return rule.SensibleHigh > rule.SensibleLow;
}

std::string BothEndsText(double low, double high) {
    return "from " + BoundText(low) + " to " + BoundText(high);
}

// "nan", "inf" or "infinity" in any case, after blanks and a sign: numbers the
// core does not read, yet a user means one by them.
bool SpellsNonFinite(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    text.remove_prefix(first == std::string_view::npos ? text.size() : first);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    std::string word(text);
    std::transform(word.begin(), word.end(), word.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return word == "nan" || word == "inf" || word == "infinity";
}

enum class TFieldReading { InRange, OutOfRange, NotFinite, LeftToCore };

TFieldReading ReadField(const TValueRule& rule, std::string_view text) {
    double value = 0;
    try {
        if (!TryParseFloat(text, kBatchNumbers, value)) {
            return SpellsNonFinite(text) ? TFieldReading::NotFinite : TFieldReading::LeftToCore;
        }
    } catch (const EOverflow&) {
        return TFieldReading::LeftToCore;
    }
    return value >= rule.Low && value <= rule.High ? TFieldReading::InRange : TFieldReading::OutOfRange;
}

void CheckField(const TValueRule& rule, std::string_view name, std::string_view text) {
    switch (ReadField(rule, text)) {
        case TFieldReading::NotFinite:
            RaiseUsage(name, "must be a number");
        case TFieldReading::OutOfRange:
            RaiseUsage(name, "must be " + RangeText(rule));
        default:
            break;
    }
}

// Both parts of a ranged pair: a part that is no number names the option as a
// whole, a part out of range the range of both.
void CheckPairParts(const TValueRule& rule, std::string_view name, std::string_view valueName,
                    const TOptionValue& value) {
    if (rule.High <= rule.Low) {
        return;
    }
    for (const std::string* part : {&value.First, &value.Last}) {
        switch (ReadField(rule, *part)) {
            case TFieldReading::NotFinite:
                RaiseUsage(name, "must be " + std::string(valueName) + ", both numbers");
            case TFieldReading::OutOfRange:
                RaiseUsage(name, "must be " + std::string(valueName) + " with both " + RangeText(rule));
            default:
                break;
        }
    }
}

std::string CountWord(std::size_t count) {
    constexpr std::array<const char*, 9> kWords = {"no",   "one", "two",   "three", "four",
                                                   "five", "six", "seven", "eight"};
    return count < kWords.size() ? kWords[count] : std::to_string(count);
}

void ReadSize(const TValueRule& rule, std::string_view name, std::string_view text, TOptionValue& value) {
    const std::size_t cross = text.find('x');
    if (cross == std::string_view::npos ||
        !ParseBounded(text.substr(0, cross), rule.Low, rule.High, value.Integer) ||
        !ParseBounded(text.substr(cross + 1), rule.Low, rule.High, value.Second)) {
        RaiseUsage(name, "must be WxH with both " + RangeText(rule));
    }
}

void ReadWheel(std::string_view name, const std::string& text, TOptionValue& value) {
    if (!TryParseWheelForm(text, value.Wheel)) {
        try {
            ParseWheel(text);
        } catch (const EImportError& mistake) {
            throw EUsageError(mistake.what());
        }
    }
    if (!IsWheelInRange(value.Wheel.Teeth, value.Wheel.Missing)) {
        RaiseUsage(name, "must be T-M with T from " + std::to_string(kFewestWheelTeeth) + " to " +
                             std::to_string(kMostWheelTeeth) + " and M from 0 to T/2");
    }
}

// The kinds whose form needs more than a line.
void ReadShaped(const TValueRule& rule, std::string_view name, std::string_view valueName,
                const std::string& text, TOptionValue& value) {
    switch (rule.Kind) {
        case TValueKind::Pair:
            if (!SplitPairText(text, value.First, value.Last)) {
                std::string decimals(valueName);
                std::replace(decimals.begin(), decimals.end(), ',', ';');
                RaiseUsage(name, "must be " + std::string(valueName) + " (with decimals " + decimals +
                                     ", e.g. " + std::string(rule.Detail) + ")");
            }
            CheckPairParts(rule, name, valueName, value);
            break;
        case TValueKind::Flags:
            if (text.size() != valueName.size() ||
                !std::all_of(text.begin(), text.end(), [](char c) { return c == '0' || c == '1'; })) {
                RaiseUsage(name, "must be " + CountWord(valueName.size()) + " characters 0 or 1 (" +
                                     std::string(rule.Detail) + ")");
            }
            break;
        case TValueKind::Size:
            ReadSize(rule, name, text, value);
            break;
        case TValueKind::Wheel:
            ReadWheel(name, text, value);
            break;
        default:
            break;
    }
}

}  // namespace

std::string RangeText(const TValueRule& rule) {
    switch (rule.Kind) {
        case TValueKind::Number:
            return HasSensibleRange(rule) ? BothEndsText(rule.SensibleLow, rule.SensibleHigh)
                                          : EndsText(rule);
        case TValueKind::Integer:
        case TValueKind::Size:
            return EndsText(rule);
        case TValueKind::Field:
        case TValueKind::Pair:
            return rule.High > rule.Low ? BothEndsText(rule.Low, rule.High) : std::string();
        default:
            return {};
    }
}

std::string ChoicesText(std::string_view choices, std::string_view last) {
    std::string text(choices);
    const std::size_t lastBar = text.rfind('|');
    if (lastBar != std::string::npos) {
        text.replace(lastBar, 1, " " + std::string(last) + " ");
    }
    for (std::size_t bar = text.find('|'); bar != std::string::npos; bar = text.find('|', bar)) {
        text.replace(bar, 1, ", ");
    }
    return text;
}

int ChoiceIndex(std::string_view choices, std::string_view text) {
    int index = 0;
    for (std::size_t at = 0;; ++index) {
        const std::size_t bar = choices.find('|', at);
        if (choices.substr(at, bar == std::string_view::npos ? bar : bar - at) == text) {
            return index;
        }
        if (bar == std::string_view::npos) {
            return -1;
        }
        at = bar + 1;
    }
}

namespace {

double ReadNumber(const TValueRule& rule, std::string_view name, const std::string& text) {
    double number = 0;
    if (!ParseDecimal(text, number)) {
        RaiseUsage(name, "must be a number");
    }
    if (!InRange(rule, number)) {
        RaiseUsage(name, "must be " + EndsText(rule));
    }
    if (HasSensibleRange(rule) && (number < rule.SensibleLow || number > rule.SensibleHigh)) {
        RaiseUsage(name, "must be " + RangeText(rule));
    }
    return number;
}

// One comma alone is the decimal mark of one number.
std::vector<std::string> ListParts(const std::string& text) {
    const bool semicolons = text.find(';') != std::string::npos;
    if (!semicolons && std::count(text.begin(), text.end(), ',') < 2) {
        return {text};
    }
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == (semicolons ? ';' : ',')) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

}  // namespace

TOptionValue ReadOptionValue(const TValueRule& rule, std::string_view name, std::string_view valueName,
                             const std::string& text) {
    TOptionValue value;
    value.Text = text;
    if (rule.NotEmpty && text.empty()) {
        RaiseUsage(name, rule.Kind == TValueKind::Path ? "needs a file" : "needs a value");
    }
    switch (rule.Kind) {
        case TValueKind::Text:
        case TValueKind::Path:
            break;
        case TValueKind::Integer:
            if (!ParseBounded(text, rule.Low, rule.High, value.Integer)) {
                RaiseUsage(name, "must be an integer " + RangeText(rule));
            }
            break;
        case TValueKind::Number:
            for (const std::string& part : rule.List ? ListParts(text) : std::vector<std::string>{text}) {
                value.Number = ReadNumber(rule, name, part);
                value.Numbers.push_back(value.Number);
            }
            break;
        case TValueKind::Field:
            CheckField(rule, name, text);
            break;
        case TValueKind::Choice:
            value.Integer = ChoiceIndex(rule.Choices, text);
            if (value.Integer < 0) {
                RaiseUsage(name, "must be " + ChoicesText(rule.Choices));
            }
            break;
        default:
            ReadShaped(rule, name, valueName, text, value);
            break;
    }
    return value;
}

}  // namespace morvane
