#pragma once

// The recalculation pipeline and the corrections: one fixed sequence brings the
// cycle time, the final angles, the order of the list, the correction list, the
// event table and the timeline up to date.

#include <functional>
#include <string>

#include "events/Session.h"
#include "util/controls.h"
#include "util/numtext.h"

namespace morvane {

// Rows of the key/value lists.
constexpr int kSpeedRow = 3;      // "Otáčky motoru [RPM]" of the main parameters
constexpr int kCycleTimeRow = 1;  // "Doba cyklu [ms]" of the computed parameters

// The controls the pipeline reads and writes, and the timeline's redraw.
struct TRecalcControls {
    const IValueList* MainParameters = nullptr;  // engine speed
    IValueList* ComputedParameters = nullptr;    // cycle time
    IValueList* CorrectionList = nullptr;        // one row per event: name, correction
    ICellGrid* EventGrid = nullptr;              // ID, angle, name
    std::function<void()> DrawTimeline;
};

// Speed text in, cycle time text out: 120000 / rpm to the nearest 0,1 ms.
void UpdateCycleTime(const IValueList& mainParameters, IValueList& computedParameters, TNumberFormat format);

// Rebuilds the correction list from the events, one row per event in list order.
void FillCorrectionList(const TEventList& events, IValueList& correctionList, TNumberFormat format);

// Rebuilds the event table: a header row, then ID, final angle and name.
void FillEventGrid(const TEventList& events, ICellGrid& eventGrid, TNumberFormat format);

// Reads the correction list's values back into the events, matched by
// position; each correction is stored before the next row is parsed.
void ApplyCorrections(const IValueList& correctionList, TEventList& events, TNumberFormat format);

// Cycle time, final angles, sort, correction list, event table, timeline.
void RecalculateAll(TSession& session, const TRecalcControls& controls);

// RecalculateAll for events put back by an undo, quietly: the events held
// these values before, so an undo never fails. A speed restored as typed and
// not a number leaves the cycle time as it was; final angles that do not
// compute leave the events as restored.
void RecalculateRestored(TSession& session, const TRecalcControls& controls);

// The three commands that run the pipeline; each runs its second step only
// when the first has succeeded.
void GlobalCorrectionChanged(const std::string& text, TSession& session, const TRecalcControls& controls);
void CreateEventsAndRecalculate(const ICellGrid& cylinderTable, TSession& session,
                                const TRecalcControls& controls);
void ApplyCorrectionsAndRecalculate(TSession& session, const TRecalcControls& controls);

}  // namespace morvane
