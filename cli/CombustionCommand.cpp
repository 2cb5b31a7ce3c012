#include "cli/CombustionCommand.h"

#include "signal/CombustionFigures.h"
#include "signal/CombustionInputs.h"
#include "signal/PressureCycle.h"
#include "util/memorycontrols.h"

namespace morvane {

std::string CombustionReport(const TCombustionOptions& options) {
    const TCombustionInputs inputs = ParseCombustionTexts(options.Texts);
    const TCombustionFigures figures =
        ComputeCombustionFigures(ReadPressureCycle(options.CyclePath), inputs.Geometry, inputs.Settings);
    TMemoryValueList list;
    ListCombustionFigures(figures, list);
    std::string report;
    for (int row = 1; row <= list.rowCount(); ++row) {
        report += list.key(row) + ";" + list.value(row) + "\n";
    }
    return report;
}

}  // namespace morvane
