#include "events/MainControls.h"

#include "util/numtext.h"

namespace morvane {

namespace {

const char* const kCylinderTableHeaders[kCylinderColumns] = {
    "Válec č.", "Přesazení", "Zapalování", "SV otvírá", "SV zavírá", "VV otvírá", "VV zavírá"};

}  // namespace

void FillDefaultMainParameters(IValueList& mainParameters) {
    mainParameters.append("Počet válců [1]", "1");
    mainParameters.append("Taktnost [-]", "4");
    mainParameters.append("Otáčky motoru [RPM]", "1000");
}

void FillDefaultComputedParameters(IValueList& computedParameters) {
    computedParameters.append("Doba cyklu [ms]", "0");
}

void FillDefaultCylinderTable(ICellGrid& cylinderTable) {
    for (int column = 0; column < kCylinderColumns; ++column) {
        cylinderTable.setCellText(column, 0, kCylinderTableHeaders[column]);
    }
    for (int row = 1; row <= kCylinderRows; ++row) {
        cylinderTable.setCellText(NumberColumn, row, FormatInteger(row));
    }
    for (int row = 1; row <= kCylinderRows; ++row) {
        for (int column = OffsetColumn; column < kCylinderColumns; ++column) {
            cylinderTable.setCellText(column, row, "0");
        }
    }
}

std::string CrankAngleCaption(int position) {
    return "Úhel kliky: " + FormatInteger(position) + "°";
}

TMemoryMainControls::TMemoryMainControls() {
    FillDefaultMainParameters(MainParameters);
    FillDefaultComputedParameters(ComputedParameters);
    FillDefaultCylinderTable(CylinderTable);
    Recalc.MainParameters = &MainParameters;
    Recalc.ComputedParameters = &ComputedParameters;
    Recalc.CorrectionList = &CorrectionList;
    Recalc.EventGrid = &EventGrid;
}

}  // namespace morvane
