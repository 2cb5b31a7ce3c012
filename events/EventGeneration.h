#pragma once

// Builds the event list from the cylinder table, and copies the first
// cylinder's timing to the others.

#include "events/EngineEvent.h"
#include "util/controls.h"
#include "util/numtext.h"

namespace morvane {

// Cylinder-table columns; column 0 is the row number, shown only.
enum TCylinderColumn : int {
    NumberColumn = 0,
    OffsetColumn = 1,
    IgnitionColumn = 2,
    IntakeOpensColumn = 3,
    IntakeClosesColumn = 4,
    ExhaustOpensColumn = 5,
    ExhaustClosesColumn = 6,
};

constexpr int kCylinderRows = 12;
constexpr int kCylinderColumns = 7;

// Row 1 of the main-parameter list: "Počet válců [1]".
constexpr int kCylinderCountRow = 1;

// Replaces the events with nine per cylinder: pistons (two passes),
// ignitions, valves. A failed conversion stops it; events appended before the
// failure stay.
void CreateEvents(const IValueList& mainParameters, const ICellGrid& cylinderTable, TEventList& events,
                  TNumberFormat format);

// Copies columns 2..6 of row 1 into rows 2..N as texts.
void FillFromFirst(const IValueList& mainParameters, ICellGrid& cylinderTable);

}  // namespace morvane
