#pragma once

// A set-up and the controls the events are made from: the main parameters,
// the cylinder table, the correction list and the global correction. The
// window takes them into a set-up to save it and fills them when it opens
// one; the batch tool fills its in-memory controls the same way, so
// "morvane-cli events engine.morvane" prints what the window's event table
// shows for that file.

#include <string>
#include <vector>

#include "events/Recalculation.h"
#include "events/Session.h"
#include "events/Setup.h"
#include "util/controls.h"

namespace morvane {

// Row 2 of the main-parameter list: "Taktnost [-]".
constexpr int kStrokesRow = 2;

// Copies the typed texts into the set-up: main-parameter rows
// kCylinderCountRow, kStrokesRow and kSpeedRow, the cylinder table's rows
// 1 .. kCylinderRows (columns OffsetColumn .. ExhaustClosesColumn) and every
// row of the correction list, its event name and text.
void TakeEditTexts(const IValueList& mainParameters, const ICellGrid& cylinderTable,
                   const IValueList& correctionList, TSetup& setup);

// Writes the set-up's main parameters and cylinder cells into the controls,
// the reverse of TakeEditTexts; the correction list is rebuilt by the events.
void FillEditControls(const TSetup& setup, IValueList& mainParameters, ICellGrid& cylinderTable);

// Gives each row of the list the text of the correction with the row's event
// name, taking the corrections in order, each once: events that share a name
// (a piston's two passes) are matched in the order both lists hold them. A row
// no correction names keeps its text; a correction for an event the list
// lacks is left out.
void FillCorrectionTexts(const std::vector<TCorrectionText>& corrections, IValueList& correctionList);

// What opening a set-up does to the events: "Vytvořit události" on the table,
// the global correction's text as its box takes it, then, when a correction
// names an event, the corrections by name and "Korigovat". Fails as those
// commands fail; the window runs it only when SetupHasEvents.
void CreateSetupEvents(const ICellGrid& cylinderTable, const std::string& globalCorrection,
                       const std::vector<TCorrectionText>& corrections, TSession& session,
                       const TRecalcControls& controls);

}  // namespace morvane
