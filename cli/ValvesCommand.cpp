#include "cli/ValvesCommand.h"

#include "cli/Arguments.h"
#include "cli/BatchCommands.h"
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
                         options.FiringIntervals.value_or(""), kBatchNumbers);
    }
}

void RunValvesCommand(const TCliArguments& arguments, int tableLines, TMemoryMainControls& window,
                      std::string& report) {
    ApplyCylinderOptions(arguments.Events, tableLines, window);
    std::string text = ValveSummaryText(window.MainParameters, window.CylinderTable, kBatchNumbers);

    const TValvesOptions& valves = arguments.Valves;
    if (valves.DiagramPath) {
        const int count = TableCylinderCount(window.MainParameters);
        if (valves.Cylinder > count) {
            // An empty diagram of a cylinder the engine does not have would pass for a result.
            throw EUsageError("--cylinder must be an integer from 1 to " + FormatInteger(count) +
                              ", the cylinders of the table");
        }
        TValveDiagramInput input;
        input.W = valves.Width;
        input.H = valves.Height;
        input.Cylinder = valves.Cylinder;
        input.Angles = ReadValveAngles(window.CylinderTable, valves.Cylinder, kBatchNumbers);
        TRaster picture(input.W, input.H);
        DrawValveDiagram(input, picture);
        WritePng(picture, *valves.DiagramPath);
    }
    report = std::move(text);
}

}  // namespace morvane
