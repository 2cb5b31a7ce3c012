#include "events/Recalculation.h"

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

}  // namespace

void UpdateCycleTime(const IValueList& mainParameters, IValueList& computedParameters, TNumberFormat format) {
    const double rpm = ParseFloat(mainParameters.value(kSpeedRow), format);
    const double cycle = RoundToStep(StoreDouble(Divide(kCycleMilliseconds, rpm)), kCycleTimeStep);
    computedParameters.setValue(kCycleTimeRow, FormatFloatGeneral(cycle, format));
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
    FillCorrectionList(session.Events, *controls.CorrectionList, session.Numbers);
    FillEventGrid(session.Events, *controls.EventGrid, session.Numbers);
    if (controls.DrawTimeline) {
        controls.DrawTimeline();
    }
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
