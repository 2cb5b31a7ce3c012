#pragma once

// Builds the event list from the cylinder table, and copies the first
// cylinder's timing to the others.

#include "events/EngineEvent.h"
#include "util/controls.h"

namespace morvane {

// Cylinder-table columns; column 0 is the row number, shown only.
enum TCylinderColumn : int {
    ccNumber = 0,
    ccOffset = 1,
    ccIgnition = 2,
    ccIntakeOpens = 3,
    ccIntakeCloses = 4,
    ccExhaustOpens = 5,
    ccExhaustCloses = 6,
};

constexpr int CylinderRows = 12;
constexpr int CylinderColumns = 7;

// Row 1 of the main-parameter list: "Počet válců [1]".
constexpr int CylinderCountRow = 1;

// Replaces the events with nine per cylinder: pistons (two passes),
// ignitions, valves. A failed conversion stops it; events appended before the
// failure stay.
void CreateEvents(const IValueList& mainParameters, const ICellGrid& cylinderTable, TEventList& events);

// Copies columns 2..6 of row 1 into rows 2..N as texts.
void FillFromFirst(const IValueList& mainParameters, ICellGrid& cylinderTable);

}  // namespace morvane
