#include "events/FiringOrder.h"

#include <algorithm>
#include <cmath>

#include "events/EventGeneration.h"
#include "util/errors.h"
#include "util/fpfault.h"
#include "util/numtext.h"
#include "util/quote.h"
#include "util/textfile.h"

namespace morvane {

namespace {

constexpr long double kCycleDegrees = 720;
// Interval texts such as "240,1;239,9;240" are summed from rounded doubles.
constexpr long double kSumTolerance = 1e-9L;

std::vector<std::string_view> SplitFields(std::string_view text, char separator) {
    std::vector<std::string_view> fields;
    while (true) {
        const std::size_t at = text.find(separator);
        fields.push_back(TrimBlanksView(text.substr(0, at)));
        if (at == std::string_view::npos) {
            return fields;
        }
        text.remove_prefix(at + 1);
    }
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string CountText(std::size_t given, int count) {
    return "zadáno " + FormatInteger(static_cast<std::int64_t>(given)) + ", válců je " + FormatInteger(count);
}

}  // namespace

std::vector<int> ParseFiringOrder(std::string_view order, int count) {
    std::vector<int> sequence;
    std::vector<bool> seen(static_cast<std::size_t>(std::max(count, 0)) + 1, false);
    for (const std::string_view field : SplitFields(order, '-')) {
        if (!AllDigits(field)) {
            RaiseFiringOrderError(order, "'" + ShortenedQuote(field) + "' není číslo válce");
        }
        const int cylinder = std::stoi(std::string(field));
        if (cylinder < 1 || cylinder > count) {
            RaiseFiringOrderError(
                order, "válec " + FormatInteger(cylinder) + " není od 1 do " + FormatInteger(count));
        }
        if (seen[cylinder]) {
            RaiseFiringOrderError(order, "válec " + FormatInteger(cylinder) + " je uveden dvakrát");
        }
        seen[cylinder] = true;
        sequence.push_back(cylinder);
    }
    for (int cylinder = 1; cylinder <= count; ++cylinder) {
        if (!seen[cylinder]) {
            RaiseFiringOrderError(order, "chybí válec " + FormatInteger(cylinder));
        }
    }
    return sequence;
}

std::vector<double> ParseFiringIntervals(std::string_view intervals, int count, TNumberFormat format) {
    const char separator = intervals.find(';') != std::string_view::npos ? ';' : ',';
    const std::vector<std::string_view> fields = SplitFields(intervals, separator);
    if (fields.size() != static_cast<std::size_t>(count)) {
        RaiseFiringIntervalsError(intervals,
                                  "počet intervalů nesouhlasí (" + CountText(fields.size(), count) + ")");
    }
    std::vector<double> values;
    long double sum = 0;
    for (const std::string_view field : fields) {
        const double value = ParseFloat(field, format);
        if (value <= 0) {
            RaiseFiringIntervalsError(intervals,
                                      "interval " + FormatFloatGeneral(value, format) + "° není kladný");
        }
        sum += value;
        values.push_back(value);
    }
    if (std::fabs(sum - kCycleDegrees) > kSumTolerance) {
        RaiseFiringIntervalsError(
            intervals, "součet je " + FormatFloatGeneral(StoreDouble(sum), format) + "°, má být 720°");
    }
    return values;
}

std::vector<std::string> FiringOrderOffsets(std::string_view order, std::string_view intervals, int count,
                                            TNumberFormat format) {
    const std::vector<int> sequence = ParseFiringOrder(order, count);
    const bool even = TrimBlanksView(intervals).empty();
    const std::vector<double> gaps =
        even ? std::vector<double>() : ParseFiringIntervals(intervals, count, format);

    std::vector<std::string> offsets(sequence.size());
    long double offset = 0;
    for (std::size_t position = 0; position < sequence.size(); ++position) {
        const long double angle =
            even ? Divide(kCycleDegrees * static_cast<long double>(position), count) : offset;
        offsets[sequence[position] - 1] = FormatFloatGeneral(StoreDouble(angle), format);
        if (!even) {
            offset += gaps[position];
        }
    }
    return offsets;
}

int TableCylinderCount(const IValueList& mainParameters) {
    const int count = ParseInteger(mainParameters.value(kCylinderCountRow));
    if (count < 1 || count > kCylinderRows) {
        RaiseCylinderCountError(count, 1, kCylinderRows);
    }
    return count;
}

void ApplyFiringOrder(const IValueList& mainParameters, ICellGrid& cylinderTable, std::string_view order,
                      std::string_view intervals, TNumberFormat format) {
    const std::vector<std::string> offsets =
        FiringOrderOffsets(order, intervals, TableCylinderCount(mainParameters), format);
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        cylinderTable.setCellText(OffsetColumn, static_cast<int>(i) + 1, offsets[i]);
    }
}

}  // namespace morvane
