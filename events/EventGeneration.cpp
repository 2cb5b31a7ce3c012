#include "events/EventGeneration.h"

#include <algorithm>
#include <string>

#include "events/EngineEvent.h"
#include "util/fpfault.h"
#include "util/numtext.h"

namespace morvane {

namespace {

// The cylinder table has twelve data rows; a row beyond them reads as empty
// text whatever the grid behind it holds.
std::string CylinderCell(const ICellGrid& table, int column, int row) {
    return row <= kCylinderRows ? table.cellText(column, row) : std::string();
}

double CylinderAngle(const ICellGrid& table, int column, int row, TNumberFormat format) {
    return ParseFloat(CylinderCell(table, column, row), format);
}

int CylinderCount(const IValueList& mainParameters) {
    return ParseInteger(mainParameters.value(kCylinderCountRow));
}

void AppendEvent(TEventList& events, std::string name, TEventKind kind, long double angle) {
    TEngineEvent event;
    event.Name = std::move(name);
    event.Kind = kind;
    event.NominalAngle = StoreDouble(angle);
    AddEvent(events, event);
}

std::string PistonName(const std::string& number, const char* suffix) {
    return "Píst " + number + suffix;
}

}  // namespace

void CreateEvents(const IValueList& mainParameters, const ICellGrid& cylinderTable, TEventList& events,
                  TNumberFormat format) {
    events.clear();
    const int count = CylinderCount(mainParameters);
    if (count <= 0) {
        return;
    }
    events.reserve(9 * static_cast<std::size_t>(std::min(count, kCylinderRows)));

    // The cells are read in a fixed order, the offset once per phase, so a
    // bad cell always stops the creation at the same event.
    for (int pass = 0; pass < 2; ++pass) {
        for (int row = 1; row <= count; ++row) {
            const double offset = CylinderAngle(cylinderTable, OffsetColumn, row, format);
            const double base = StoreDouble(static_cast<long double>(offset) + 360.0L * pass);
            const std::string number = FormatInteger(row);
            AppendEvent(events, PistonName(number, " - HU"), ekPiston, base);
            AppendEvent(events, PistonName(number, " - DU"), ekPiston, static_cast<long double>(base) + 180);
        }
    }

    for (int row = 1; row <= count; ++row) {
        const double offset = CylinderAngle(cylinderTable, OffsetColumn, row, format);
        const double ignition = CylinderAngle(cylinderTable, IgnitionColumn, row, format);
        AppendEvent(events, "Zapalování " + FormatInteger(row), ekIgnition,
                    static_cast<long double>(offset) + ignition);
    }

    for (int row = 1; row <= count; ++row) {
        const long double offset = CylinderAngle(cylinderTable, OffsetColumn, row, format);
        const std::string number = FormatInteger(row);
        AppendEvent(events, PistonName(number, " - SV otvírá"), ekIntakeValve,
                    offset + CylinderAngle(cylinderTable, IntakeOpensColumn, row, format));
        AppendEvent(events, PistonName(number, " - SV zavírá"), ekIntakeValve,
                    offset + CylinderAngle(cylinderTable, IntakeClosesColumn, row, format));
        AppendEvent(events, PistonName(number, " - VV otvírá"), ekExhaustValve,
                    offset + CylinderAngle(cylinderTable, ExhaustOpensColumn, row, format));
        AppendEvent(events, PistonName(number, " - VV zavírá"), ekExhaustValve,
                    offset + CylinderAngle(cylinderTable, ExhaustClosesColumn, row, format));
    }
}

void FillFromFirst(const IValueList& mainParameters, ICellGrid& cylinderTable) {
    const int lastRow = std::min(CylinderCount(mainParameters), kCylinderRows);
    for (int row = 2; row <= lastRow; ++row) {
        for (int column = IgnitionColumn; column <= ExhaustClosesColumn; ++column) {
            cylinderTable.setCellText(column, row, cylinderTable.cellText(column, 1));
        }
    }
}

}  // namespace morvane
