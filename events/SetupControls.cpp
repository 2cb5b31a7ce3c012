#include "events/SetupControls.h"

#include <algorithm>

#include "events/EventGeneration.h"

namespace morvane {

namespace {

// The set-up's main parameters with their rows.
struct TMainRow {
    int Row;
    std::string TSetup::*Text;
};

constexpr TMainRow kMainRows[] = {
    {kCylinderCountRow, &TSetup::Cylinders}, {kStrokesRow, &TSetup::Strokes}, {kSpeedRow, &TSetup::Speed}};

}  // namespace

void TakeEditTexts(const IValueList& mainParameters, const ICellGrid& cylinderTable,
                   const IValueList& correctionList, TSetup& setup) {
    for (const TMainRow& main : kMainRows) {
        setup.*main.Text = mainParameters.value(main.Row);
    }
    for (int row = 1; row <= kCylinderRows; ++row) {
        TCylinderRowTexts& cells = setup.CylinderTable[row - 1];
        for (int column = OffsetColumn; column < kCylinderColumns; ++column) {
            cells[column - OffsetColumn] = cylinderTable.cellText(column, row);
        }
    }
    setup.Corrections.clear();
    for (int row = 1; row <= correctionList.rowCount(); ++row) {
        setup.Corrections.push_back({correctionList.key(row), correctionList.value(row)});
    }
}

void FillEditControls(const TSetup& setup, IValueList& mainParameters, ICellGrid& cylinderTable) {
    for (const TMainRow& main : kMainRows) {
        mainParameters.setValue(main.Row, setup.*main.Text);
    }
    for (int row = 1; row <= kCylinderRows; ++row) {
        const TCylinderRowTexts& cells = setup.CylinderTable[row - 1];
        for (int column = OffsetColumn; column < kCylinderColumns; ++column) {
            cylinderTable.setCellText(column, row, cells[column - OffsetColumn]);
        }
    }
}

void FillCorrectionTexts(const std::vector<TCorrectionText>& corrections, IValueList& correctionList) {
    std::vector<bool> used(corrections.size(), false);
    for (int row = 1; row <= correctionList.rowCount(); ++row) {
        const std::string event = correctionList.key(row);
        for (std::size_t k = 0; k < corrections.size(); ++k) {
            if (!used[k] && corrections[k].Event == event) {
                used[k] = true;
                correctionList.setValue(row, corrections[k].Text);
                break;
            }
        }
    }
}

void CreateSetupEvents(const ICellGrid& cylinderTable, const std::string& globalCorrection,
                       const std::vector<TCorrectionText>& corrections, TSession& session,
                       const TRecalcControls& controls) {
    CreateEventsAndRecalculate(cylinderTable, session, controls);
    GlobalCorrectionChanged(globalCorrection, session, controls);
    const bool namesAnEvent = std::any_of(corrections.begin(), corrections.end(),
                                          [](const TCorrectionText& row) { return !row.Event.empty(); });
    if (namesAnEvent) {
        FillCorrectionTexts(corrections, *controls.CorrectionList);
        ApplyCorrectionsAndRecalculate(session, controls);
    }
}

}  // namespace morvane
