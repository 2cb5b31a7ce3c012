// A pressure-cycle file of arbitrary bytes through the reader and the
// analysis the page and the batch tool run, with the page's start-up
// geometry and no reference: every step ends normally or with a documented
// failure, and every figure given is finite.

#include <cmath>
#include <string>

#include "fuzz/fuzz_support.h"
#include "signal/pressure/CombustionFigures.h"
#include "signal/pressure/CombustionInputs.h"
#include "signal/pressure/CycleFigures.h"
#include "signal/pressure/CycleTable.h"
#include "signal/pressure/PressureCycle.h"
#include "util/errors.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"

namespace morvane::fuzz {
namespace {

void CheckFigures(const TPressureAnalysis& analysis) {
    const TCombustionFigures& figures = analysis.Mean;
    for (const double figure :
         {figures.NetImep, figures.GrossImep, figures.PeakPressure, figures.PeakAngle, figures.LossAngle}) {
        Check(std::isfinite(figure), "every combustion figure is finite");
    }
    if (figures.Burn) {
        for (const double angle : {figures.Burn->Mfb10, figures.Burn->Mfb50, figures.Burn->Mfb90}) {
            Check(std::isfinite(angle) && angle >= 0 && angle <= 720, "burn angles lie within the cycle");
        }
        Check(figures.Burn->Mfb10 <= figures.Burn->Mfb50 && figures.Burn->Mfb50 <= figures.Burn->Mfb90,
              "the burn angles are in order");
    }
    TMemoryValueList list;
    ListPressureAnalysis(analysis, list, kDecimalComma);
    Check(list.rowCount() > 0, "the figures are listed");
}

}  // namespace
}  // namespace morvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    static fuzz::TScratchFile file;
    static const TCombustionInputs inputs = ParseCombustionTexts(TCombustionTexts{}, kDecimalComma);

    try {
        const TPressureCycle cycle = ReadPressureCycle(file.write(fuzz::AsText(data, size)), kDecimalComma);
        for (const double pressure : cycle.Mean) {
            fuzz::Check(std::isfinite(pressure), "every pressure read is finite");
        }
        fuzz::CheckFigures(AnalysePressureCycle(cycle, inputs.Geometry, inputs.Settings, {}));
    } catch (const EMorvaneError&) {
    }
    return 0;
}
