#include "signal/EncoderSettings.h"

#include "signal/EncoderRanges.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/textfile.h"

namespace morvane {

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
    return options;
}

}  // namespace morvane
