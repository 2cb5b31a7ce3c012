// The cylinder table through event creation and the recalculation, with
// arbitrary texts. The input's lines are the texts: the cylinder count, the
// engine speed, the global correction, then six cells (offset, ignition,
// valves) for each of the thirteen rows the grid holds, then corrections.
// Every command ends normally or with a documented failure; after a command
// that succeeded the list is sorted, complete and shown as it is.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "events/EngineEvent.h"
#include "events/EventGeneration.h"
#include "events/Recalculation.h"
#include "fuzz/fuzz_support.h"
#include "signal/Signal.h"
#include "timeline/Raster.h"
#include "timeline/Timeline.h"
#include "util/errors.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"

namespace morvane::fuzz {
namespace {

// The grid has a thirteenth row, which event creation must never read.
constexpr int GridRows = kCylinderRows + 2;

class TTexts {
public:
    explicit TTexts(std::string_view input) {
        std::size_t start = 0;
        while (start <= input.size()) {
            const std::size_t end = std::min(input.find('\n', start), input.size());
            m_texts.emplace_back(input.substr(start, end - start));
            start = end + 1;
        }
    }
    // The texts run out into empty ones.
    std::string next() { return m_next < m_texts.size() ? std::string(m_texts[m_next++]) : std::string(); }
    bool exhausted() const { return m_next >= m_texts.size(); }

private:
    std::vector<std::string_view> m_texts;
    std::size_t m_next = 0;
};

// Every number in the list is finite, whatever the outcome of a command.
void CheckStoredData(const TSession& session) {
    for (const TEngineEvent& event : session.Events) {
        Check(std::isfinite(event.NominalAngle) && std::isfinite(event.FinalAngle) &&
                  std::isfinite(event.Correction),
              "every angle and correction is finite", event.Name);
        Check(!event.Name.empty(), "every event has a name");
        Check(event.Kind < kEventKindCount, "every event has one of the four kinds", event.Name);
    }
    Check(std::isfinite(session.GlobalCorrection), "the global correction is finite");
}

// After a recalculation that ran to its end.
void CheckRecalculated(const TEventList& events, const TMemoryValueList& corrections,
                       const TMemoryGrid& eventGrid, const TMemoryValueList& computed) {
    const int count = static_cast<int>(events.size());
    for (std::size_t p = 1; p < events.size(); ++p) {
        Check(events[p - 1].FinalAngle <= events[p].FinalAngle, "the list is sorted by final angle",
              events[p].Name);
    }
    Check(corrections.rowCount() == count, "one correction row per event");
    Check(eventGrid.rowCount() == count + 1, "one table row per event below the header");
    for (int p = 0; p < count; ++p) {
        const TEngineEvent& event = events[static_cast<std::size_t>(p)];
        Check(corrections.key(p + 1) == event.Name, "the correction list follows the list", event.Name);
        Check(corrections.value(p + 1) == FormatFloatGeneral(event.Correction, kDecimalComma),
              "the correction list shows each event's correction", event.Name);
        Check(eventGrid.cellText(0, p + 1) == FormatEventNumber(p), "the table numbers the events");
        Check(eventGrid.cellText(1, p + 1) == FormatFloatGeneral(event.FinalAngle, kDecimalComma),
              "the table shows each event's final angle", event.Name);
        Check(eventGrid.cellText(2, p + 1) == event.Name, "the table names the events", event.Name);
    }
    Check(std::isfinite(ParseFloat(computed.value(kCycleTimeRow), kDecimalComma)),
          "the cycle time is a number");
}

// Runs one command; false when it ended with one of the documented failures.
template <typename Command>
bool RunCommand(Command&& command) {
    try {
        command();
        return true;
    } catch (const EConvertError&) {
    } catch (const EMathError&) {
    } catch (const EListError&) {
    }
    return false;
}

}  // namespace
}  // namespace morvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    using fuzz::Check;
    TSession session;

    fuzz::TTexts texts(fuzz::AsText(data, size));
    const std::string countText = texts.next();
    const TMemoryValueList mainParameters(
        {{"Počet válců [1]", countText}, {"Taktnost [-]", "4"}, {"Otáčky motoru [RPM]", texts.next()}});
    const std::string globalText = texts.next();
    TMemoryGrid table(kCylinderColumns, fuzz::GridRows);
    for (int row = 1; row < fuzz::GridRows; ++row) {
        for (int column = OffsetColumn; column <= ExhaustClosesColumn; ++column) {
            table.setCellText(column, row, texts.next());
        }
    }

    TMemoryValueList computed({{"Doba cyklu [ms]", ""}});
    TMemoryValueList corrections;
    TMemoryGrid eventGrid(3, 1);
    TRaster picture(48, 24);
    TTimelineInput timeline;
    timeline.W = 48;
    timeline.H = 24;
    timeline.F = 90;
    const TRecalcControls controls{&mainParameters, &computed, &corrections, &eventGrid,
                                   [&] { DrawSessionTimeline(session, timeline, picture); }};

    // The count decides how many events a successful creation gives.
    int count = 0;
    bool countValid = true;
    try {
        count = ParseInteger(countText);
    } catch (const EConvertError&) {
        countValid = false;
    }

    const bool created = fuzz::RunCommand([&] { CreateEventsAndRecalculate(table, session, controls); });
    fuzz::CheckStoredData(session);
    if (created) {
        Check(countValid && count <= kCylinderRows, "only a count of at most twelve cylinders succeeds");
        Check(session.Events.size() == 9 * static_cast<std::size_t>(std::max(count, 0)),
              "nine events per cylinder");
        fuzz::CheckRecalculated(session.Events, corrections, eventGrid, computed);
    } else {
        Check(static_cast<int>(session.Events.size()) <= 9 * std::min(std::max(count, 0), kCylinderRows),
              "a failed creation keeps only events it appended");
    }

    const bool changed = fuzz::RunCommand([&] { GlobalCorrectionChanged(globalText, session, controls); });
    fuzz::CheckStoredData(session);
    if (changed) {
        fuzz::CheckRecalculated(session.Events, corrections, eventGrid, computed);
    }

    // The rest of the texts are typed into the correction list, row by row.
    for (int row = 1; row <= corrections.rowCount() && !texts.exhausted(); ++row) {
        corrections.setValue(row, texts.next());
    }
    const std::size_t before = session.Events.size();
    const bool corrected = fuzz::RunCommand([&] { ApplyCorrectionsAndRecalculate(session, controls); });
    fuzz::CheckStoredData(session);
    if (corrected) {
        Check(session.Events.size() == before, "corrections keep every event");
        fuzz::CheckRecalculated(session.Events, corrections, eventGrid, computed);
    }
    return 0;
}
