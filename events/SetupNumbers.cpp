#include "events/SetupNumbers.h"

#include <algorithm>
#include <string>

#include "events/EngineEvent.h"
#include "events/EventGeneration.h"
#include "util/errors.h"
#include "util/quote.h"

namespace morvane {

namespace {

constexpr std::string_view kCellNames[] = {"přesazení", "zapalování", "SV otvírá",
                                           "SV zavírá", "VV otvírá",  "VV zavírá"};

std::string NotANumber(std::string_view text, std::string_view what) {
    return "'" + ShortenedQuote(text) + "' " + std::string(what);
}

// The count as event creation reads it, or -1 when it does not read.
int CountOf(std::string_view text) {
    try {
        return ParseInteger(text);
    } catch (const EConvertError&) {
        return -1;
    }
}

}  // namespace

void CheckSetupNumbers(const TSetup& setup, const TSetupTextsUsed& used, std::string_view countText,
                       std::string_view path, TNumberFormat format) {
    const int count = CountOf(countText);
    if (count < 0 && used.Cylinders) {
        RaiseSetupKeyError(path, "Hlavní parametry", "Počet válců [1]",
                           NotANumber(countText, "není celé číslo"));
    }
    double ignored = 0;
    for (int row = 1; row <= std::min(count, kCylinderRows); ++row) {
        const TCylinderRowTexts& cells = setup.CylinderTable[row - 1];
        for (std::size_t cell = used.Offsets ? 0 : 1; cell < cells.size(); ++cell) {
            if (!TryParseFloat(cells[cell], format, ignored)) {
                RaiseSetupKeyError(
                    path, "Válce", std::to_string(row),
                    NotANumber(cells[cell], "v buňce " + std::string(kCellNames[cell]) + " není číslo"));
            }
        }
    }
    if (used.Speed && !TryParseFloat(setup.Speed, format, ignored)) {
        RaiseSetupKeyError(path, "Hlavní parametry", "Otáčky motoru [RPM]",
                           NotANumber(setup.Speed, "není číslo"));
    }
}

}  // namespace morvane
