#include "events/Recalculation.h"

#include <optional>
#include <string>
#include <utility>

#include "events/EngineEvent.h"
#include "events/EventGeneration.h"
#include "util/errors.h"
#include "util/fpfault.h"
#include "util/mathutil.h"
#include "util/numtext.h"

namespace morvane {

namespace {

// Milliseconds in a minute times the two crank revolutions of one cycle.
constexpr long double kCycleMilliseconds = 120000.0L;
constexpr double kCycleTimeStep = 0.1;

const char* const kEventGridHeader[] = {"ID", "Úhel", "Popis"};

std::string CycleTimeText(const IValueList& mainParameters, TNumberFormat format) {
    const double rpm = ParseFloat(mainParameters.value(kSpeedRow), format);
    const double cycle = RoundToStep(StoreDouble(Divide(kCycleMilliseconds, rpm)), kCycleTimeStep);
    return FormatFloatGeneral(cycle, format);
}

// The cycle time, or nothing when the speed gives none.
std::optional<std::string> CycleTimeTextIfAny(const IValueList& mainParameters, TNumberFormat format) {
    try {
        return CycleTimeText(mainParameters, format);
    } catch (const EMorvaneError&) {
        return std::nullopt;
    }
}

// The events with their final angles, in order, or nothing when an angle
// leaves the double range.
std::optional<TEventList> UpdatedEventsIfAny(TEventList events, double globalCorrection) {
    try {
        UpdateEventAngles(events, globalCorrection);
        SortEvents(events);
        return events;
    } catch (const EMorvaneError&) {
        return std::nullopt;
    }
}

// Correction list, event table, timeline.
void ShowEvents(const TSession& session, const TRecalcControls& controls) {
    FillCorrectionList(session.Events, *controls.CorrectionList, session.Numbers);
    FillEventGrid(session.Events, *controls.EventGrid, session.Numbers);
    if (controls.DrawTimeline) {
        controls.DrawTimeline();
    }
}

}  // namespace

void UpdateCycleTime(const IValueList& mainParameters, IValueList& computedParameters, TNumberFormat format) {
    computedParameters.setValue(kCycleTimeRow, CycleTimeText(mainParameters, format));
}

void FillCorrectionList(const TEventList& events, IValueList& correctionList, TNumberFormat format) {
    correctionList.clear();
    for (const TEngineEvent& event : events) {
        correctionList.append(event.Name, FormatFloatGeneral(event.Correction, format));
    }
}

void FillEventGrid(const TEventList& events, ICellGrid& eventGrid, TNumberFormat format) {
    const int count = static_cast<int>(events.size());
    eventGrid.setRowCount(count + 1);
    for (int column = 0; column < 3; ++column) {
        eventGrid.setCellText(column, 0, kEventGridHeader[column]);
    }
    for (int p = 0; p < count; ++p) {
        const TEngineEvent& event = events[p];
        eventGrid.setCellText(0, p + 1, FormatEventNumber(p));
        eventGrid.setCellText(1, p + 1, FormatFloatGeneral(event.FinalAngle, format));
        eventGrid.setCellText(2, p + 1, event.Name);
    }
}

void ApplyCorrections(const IValueList& correctionList, TEventList& events, TNumberFormat format) {
    const int rows = correctionList.rowCount();
    for (std::size_t p = 0; p < events.size(); ++p) {
        const int row = static_cast<int>(p) + 1;
        std::string text;
        if (row <= rows) {
            text = correctionList.value(row);
        } else if (rows > 0) {
            // The list was filled from an older, shorter event list.
            RaiseListIndexError(static_cast<long long>(p));
        }
        // An empty list reads as an empty value, which the parse rejects.
        events[p].Correction = ParseFloat(text, format);
    }
}

void RecalculateAll(TSession& session, const TRecalcControls& controls) {
    UpdateCycleTime(*controls.MainParameters, *controls.ComputedParameters, session.Numbers);
    UpdateEventAngles(session.Events, session.GlobalCorrection);
    SortEvents(session.Events);
    ShowEvents(session, controls);
}

void RecalculateRestored(TSession& session, const TRecalcControls& controls) {
    if (std::optional<std::string> cycle = CycleTimeTextIfAny(*controls.MainParameters, session.Numbers)) {
        controls.ComputedParameters->setValue(kCycleTimeRow, *cycle);
    }
    if (std::optional<TEventList> events = UpdatedEventsIfAny(session.Events, session.GlobalCorrection)) {
        session.Events = std::move(*events);
    }
    ShowEvents(session, controls);
}

void GlobalCorrectionChanged(const std::string& text, TSession& session, const TRecalcControls& controls) {
    session.GlobalCorrection = ParseFloatOr(text, session.Numbers, 0);
    RecalculateAll(session, controls);
}

void CreateEventsAndRecalculate(const ICellGrid& cylinderTable, TSession& session,
                                const TRecalcControls& controls) {
    CreateEvents(*controls.MainParameters, cylinderTable, session.Events, session.Numbers);
    RecalculateAll(session, controls);
}

void ApplyCorrectionsAndRecalculate(TSession& session, const TRecalcControls& controls) {
    ApplyCorrections(*controls.CorrectionList, session.Events, session.Numbers);
    RecalculateAll(session, controls);
}

}  // namespace morvane
