#include "signal/import/EncoderSettings.h"

#include <cmath>
#include <cstddef>
#include <optional>

#include "signal/import/CylinderRecording.h"
#include "signal/import/EncoderRanges.h"
#include "signal/pressure/PressureReference.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/textfile.h"

namespace morvane {

namespace {

constexpr const char* kPressureScaleName = "Citlivost snímače [bar/jednotka]";
constexpr const char* kKnockBandName = "Pásmo klepání [Hz]";

std::optional<TKnockSettings> KnockSettingsOf(const TEncoderTexts& texts, TNumberFormat format) {
    const std::string band = TrimBlanks(texts.KnockBand);
    if (band.empty()) {
        return std::nullopt;
    }
    std::string low;
    std::string high;
    if (!SplitAngleRange(band, low, high)) {
        RaiseInputError(kKnockBandName, "zadáno jako dolní a horní mez, např. 4000,20000");
    }
    TKnockSettings settings;
    settings.Low = ParseFloat(low, format);
    settings.High = ParseFloat(high, format);
    settings.Threshold = ParseFloat(texts.KnockThreshold, format);
    return settings;
}

}  // namespace

TEncoderOptions EncoderOptionsOf(const TEncoderTexts& texts, TNumberFormat format) {
    TEncoderOptions options;
    options.Numbers = format;
    options.Path = TrimBlanks(texts.Path);
    if (options.Path.empty()) {
        RaiseInputError("Soubor", "zadán");
    }
    options.Wheel = ParseWheel(TrimBlanks(texts.Wheel));
    options.ReferenceAngle = ParseFloat(texts.ReferenceAngle, format);
    if (!IsReferenceAngleInRange(options.ReferenceAngle)) {
        RaiseInputError("Úhel referenční hrany [°]", "od 0 do méně než 360");
    }
    options.EncoderColumn = TrimBlanks(texts.EncoderColumn);
    options.ValueColumn = TrimBlanks(texts.ValueColumn);
    options.TimeColumn = TrimBlanks(texts.TimeColumn);
    options.IndexColumn = TrimBlanks(texts.IndexColumn);
    if (options.TimeColumn.empty()) {
        options.SampleRate = ParseFloat(texts.SampleRate, format);
        if (!IsSampleRateInRange(options.SampleRate)) {
            RaiseInputError("Vzorkovací frekvence [Hz]", "větší než 0");
        }
    }
    options.Phase = texts.Phase;
    const std::string scale = TrimBlanks(texts.PressureScale);
    if (!scale.empty()) {
        const double barPerUnit = ParseFloat(scale, format);
        if (!std::isfinite(barPerUnit) || barPerUnit <= 0) {
            RaiseInputError(kPressureScaleName, "větší než 0");
        }
        options.PressureScale = barPerUnit;
        options.Knock = KnockSettingsOf(texts, format);
        if (options.Knock && options.TimeColumn.empty()) {
            CheckKnockSettings(*options.Knock, options.SampleRate, format);
        }
    }
    return options;
}

void TakePressureColumns(TEncoderOptions& options, const TEncoderTexts& texts,
                         const std::vector<double>& offsets) {
    constexpr const char* kField = "Sloupce tlaku válců";
    std::vector<std::string> columns(1);
    for (const char c : texts.PressureColumns) {
        if (c == ',' || c == ';') {
            columns.emplace_back();
        } else {
            columns.back().push_back(c);
        }
    }
    if (columns.size() < 2) {
        return;
    }
    for (std::string& column : columns) {
        column = TrimBlanks(column);
        if (column.empty()) {
            RaiseInputError(kField, "čísla nebo názvy sloupců oddělené čárkou");
        }
    }
    if (columns.size() > offsets.size()) {
        RaiseInputError(kField, "nejvýše tolik sloupců, kolik má motor válců");
    }
    if (!options.PressureScale) {
        RaiseInputError(kPressureScaleName, "zadána: sloupce tlaku válců jsou tlak");
    }
    options.Channels = PressureChannels(
        columns, std::vector<double>(columns.size(), *options.PressureScale),
        std::vector<double>(offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(columns.size())));
}

}  // namespace morvane
