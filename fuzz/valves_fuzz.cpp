// The valve-timing inputs with arbitrary texts: the input's first lines are
// the cylinder count, the firing order, its intervals and the four cam-card
// figures; the rest is a cylinder-table file. Every step ends normally or with
// a documented failure; a table that was read holds only numbers, and every
// figure computed is finite.

#include <cmath>
#include <string>
#include <string_view>

#include "events/CylinderTableFile.h"
#include "events/EventGeneration.h"
#include "events/FiringOrder.h"
#include "events/MainControls.h"
#include "events/ValveTiming.h"
#include "fuzz/fuzz_support.h"
#include "util/errors.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"

namespace morvane::fuzz {
namespace {

// Cuts the next line off the input; the input runs out into empty texts.
std::string NextText(std::string_view& input) {
    const std::size_t end = input.find('\n');
    const std::string text(input.substr(0, end));
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    return text;
}

void CheckFinite(const TValveSummary& summary) {
    for (const double figure :
         {summary.IntakeDuration, summary.ExhaustDuration, summary.Overlap, summary.IntakeCentreline,
          summary.ExhaustCentreline, summary.LobeSeparation}) {
        Check(std::isfinite(figure), "every valve figure is finite");
    }
}

void ReadTable(const std::string& path, TMemoryMainControls& window) {
    try {
        const int rows = ReadCylinderTableFile(path, window.CylinderTable, kDecimalComma);
        Check(rows >= 0 && rows <= kCylinderRows, "the table file gives at most the table's rows");
        for (int row = 1; row <= rows; ++row) {
            CheckFinite(SummarizeValveTiming(ReadValveAngles(window.CylinderTable, row, kDecimalComma)));
        }
    } catch (const EMorvaneError&) {
    }
}

void WriteCamCard(std::string_view& input, TMemoryMainControls& window) {
    TCamCard card;
    try {
        card.IntakeDuration = ParseFloat(NextText(input), kDecimalComma);
        card.ExhaustDuration = ParseFloat(NextText(input), kDecimalComma);
        card.IntakeCentreline = ParseFloat(NextText(input), kDecimalComma);
        card.ExhaustCentreline = ParseFloat(NextText(input), kDecimalComma);
        WriteValveAngles(window.CylinderTable, 1, ValveAnglesFromCamCard(card), kDecimalComma);
        CheckFinite(SummarizeValveTiming(ReadValveAngles(window.CylinderTable, 1, kDecimalComma)));
    } catch (const EMorvaneError&) {
    }
}

}  // namespace
}  // namespace morvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    static fuzz::TScratchFile file;
    std::string_view input = fuzz::AsText(data, size);

    TMemoryMainControls window;
    window.MainParameters.setValue(kCylinderCountRow, fuzz::NextText(input));
    const std::string order = fuzz::NextText(input);
    const std::string intervals = fuzz::NextText(input);
    std::string_view camCard = input;
    for (int skipped = 0; skipped < 4; ++skipped) {
        fuzz::NextText(input);
    }
    fuzz::ReadTable(file.write(input), window);
    try {
        ApplyFiringOrder(window.MainParameters, window.CylinderTable, order, intervals, kDecimalComma);
    } catch (const EMorvaneError&) {
    }
    fuzz::WriteCamCard(camCard, window);
    TMemoryGrid summary(kValveSummaryColumns, kCylinderRows + 1);
    try {
        FillValveSummary(window.MainParameters, window.CylinderTable, summary, kDecimalComma);
    } catch (const EMorvaneError&) {
    }
    return 0;
}
