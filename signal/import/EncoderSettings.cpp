#include "signal/import/EncoderSettings.h"

#include <cmath>
#include <optional>

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

}  // namespace morvane
