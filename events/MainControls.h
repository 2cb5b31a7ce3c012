#pragma once

// The texts the window's lists and tables start with, and the same controls in
// memory, as the batch tool, the benchmarks and the tests use them.

#include <string>

#include "events/EventGeneration.h"
#include "events/Recalculation.h"
#include "util/controls.h"
#include "util/memorycontrols.h"

namespace morvane {

// "Počet válců [1]" = 1, "Taktnost [-]" = 4, "Otáčky motoru [RPM]" = 1000.
void FillDefaultMainParameters(IValueList& mainParameters);

// "Doba cyklu [ms]" = 0 until the first recalculation.
void FillDefaultComputedParameters(IValueList& computedParameters);

// The header row, the row numbers 1..12 and "0" in every data cell.
void FillDefaultCylinderTable(ICellGrid& cylinderTable);

// The caption above the crank-angle slider once it has moved: "Úhel kliky: 90°".
std::string CrankAngleCaption(int position);

// The window's key/value lists and grids in memory, as the window's creation
// leaves them, wired to a recalculation that draws nothing until DrawTimeline
// is set.
struct TMemoryMainControls {
    TMemoryMainControls();
    TMemoryMainControls(const TMemoryMainControls&) = delete;
    TMemoryMainControls& operator=(const TMemoryMainControls&) = delete;

    TMemoryValueList MainParameters;
    TMemoryValueList ComputedParameters;
    TMemoryValueList CorrectionList{{{"", ""}}};
    TMemoryGrid EventGrid{3, 5};
    TMemoryGrid CylinderTable{kCylinderColumns, kCylinderRows + 1};
    TRecalcControls Recalc;
};

}  // namespace morvane
