#include "signal/EncoderSettings.h"

#include <cmath>
#include <optional>

#include "signal/EncoderRanges.h"
#include "signal/PressureReference.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/textfile.h"

namespace morvane {

namespace {

constexpr const char* kPressureScaleName = "Citlivost snímače [bar/jednotka]";
constexpr const char* kKnockBandName = "Pásmo klepání [Hz]";

std::optional<TKnockSettings> KnockSettingsOf(const TEncoderTexts& texts) {
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
    settings.Low = ParseFloat(low);
    settings.High = ParseFloat(high);
    settings.Threshold = ParseFloat(texts.KnockThreshold);
    return settings;
}

}  // namespace

TEncoderOptions EncoderOptionsOf(const TEncoderTexts& texts) {
    TEncoderOptions options;
    options.Path = TrimBlanks(texts.Path);
    if (options.Path.empty()) {
        RaiseInputError("Soubor", "zadán");
    }
    options.Wheel = ParseWheel(TrimBlanks(texts.Wheel));
    options.ReferenceAngle = ParseFloat(texts.ReferenceAngle);
    if (!IsReferenceAngleInRange(options.ReferenceAngle)) {
        RaiseInputError("Úhel referenční hrany [°]", "od 0 do méně než 360");
    }
    options.EncoderColumn = TrimBlanks(texts.EncoderColumn);
    options.ValueColumn = TrimBlanks(texts.ValueColumn);
    options.TimeColumn = TrimBlanks(texts.TimeColumn);
    options.IndexColumn = TrimBlanks(texts.IndexColumn);
    if (options.TimeColumn.empty()) {
        options.SampleRate = ParseFloat(texts.SampleRate);
        if (!IsSampleRateInRange(options.SampleRate)) {
            RaiseInputError("Vzorkovací frekvence [Hz]", "větší než 0");
        }
    }
    options.Phase = texts.Phase;
    const std::string scale = TrimBlanks(texts.PressureScale);
    if (!scale.empty()) {
        const double barPerUnit = ParseFloat(scale);
        if (!std::isfinite(barPerUnit) || barPerUnit <= 0) {
            RaiseInputError(kPressureScaleName, "větší než 0");
        }
        options.PressureScale = barPerUnit;
        options.Knock = KnockSettingsOf(texts);
        if (options.Knock && options.TimeColumn.empty()) {
            CheckKnockSettings(*options.Knock, options.SampleRate);
        }
    }
    return options;
}

}  // namespace morvane
