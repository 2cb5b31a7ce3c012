#include "cli/ValvesCommand.h"

#include "cli/Arguments.h"
#include "events/EventGeneration.h"
#include "events/FiringOrder.h"
#include "events/ValveTiming.h"
#include "timeline/PngWriter.h"
#include "timeline/Raster.h"
#include "timeline/ValveDiagram.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"

namespace morvane {

std::string CylinderCountText(const TEventsOptions& options, int tableLines) {
    return options.Cylinders.value_or(options.TablePath ? FormatInteger(tableLines) : "1");
}

void ApplyCylinderOptions(const TEventsOptions& options, int tableLines, TMemoryMainControls& window) {
    window.MainParameters.setValue(kCylinderCountRow, CylinderCountText(options, tableLines));
    if (options.FiringOrder) {
        ApplyFiringOrder(window.MainParameters, window.CylinderTable, *options.FiringOrder,
                         options.FiringIntervals.value_or(""));
    }
}

void RunValvesCommand(const TCliArguments& arguments, int tableLines, TMemoryMainControls& window,
                      std::string& report) {
    ApplyCylinderOptions(arguments.Events, tableLines, window);
    TMemoryGrid summary(kValveSummaryColumns, 1);
    FillValveSummary(window.MainParameters, window.CylinderTable, summary);

    const TValvesOptions& valves = arguments.Valves;
    if (valves.DiagramPath) {
        TValveDiagramInput input;
        input.W = valves.Width;
        input.H = valves.Height;
        input.Cylinder = valves.Cylinder;
        input.Angles = ReadValveAngles(window.CylinderTable, valves.Cylinder);
        TRaster picture(input.W, input.H);
        DrawValveDiagram(input, picture);
        WritePng(picture, *valves.DiagramPath);
    }

    std::string text;
    for (int row = 0; row < summary.rowCount(); ++row) {
        for (int column = 0; column < kValveSummaryColumns; ++column) {
            text += summary.cellText(column, row);
            text += column + 1 < kValveSummaryColumns ? ';' : '\n';
        }
    }
    report = std::move(text);
}

}  // namespace morvane
