#include "cli/CylinderCommand.h"

#include <algorithm>

#include "cli/BatchCommands.h"
#include "cli/CombustionCommand.h"
#include "cli/HeatTransferOptions.h"
#include "events/EngineEvent.h"
#include "events/EngineInput.h"
#include "events/EventGeneration.h"
#include "events/FiringOrder.h"
#include "events/MainControls.h"
#include "events/SetupControls.h"
#include "events/ValveTiming.h"
#include "signal/pressure/CombustionInputs.h"
#include "timeline/CylinderPressureDiagram.h"
#include "timeline/PngWriter.h"
#include "timeline/Raster.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/replacefile.h"
#include "util/semicolonrows.h"

namespace morvane {

namespace {

std::string Count(std::size_t count) {
    return FormatInteger(static_cast<std::int64_t>(count));
}

// One scale for every channel, or one each. Two channels and "19,5": one
// scale or two, so the list needs its ';'.
std::vector<double> ChannelScales(const TCombustionOptions& options, std::size_t channels) {
    const std::vector<double>& scales = options.PressureScales;
    if (scales.size() == 1 && channels == 2 && options.PressureScaleText.find(',') != std::string::npos) {
        throw EUsageError("--pressure-scale " + options.PressureScaleText +
                          " is one scale or two: separate the scales of the columns by ';'");
    }
    if (scales.size() > 1 && scales.size() != channels) {
        throw EUsageError("--pressure-scale gives " + Count(scales.size()) + " scales for " +
                          Count(channels) + " pressure columns: give one for all or one per column");
    }
    return scales.size() == 1 ? std::vector<double>(channels, scales[0]) : scales;
}

// The cylinder table of --engine with the cylinder count it holds.
int ReadEngineTable(const std::string& path, TMemoryMainControls& window) {
    TEngineInput input = ReadEngineInput(path, window.CylinderTable, kBatchNumbers);
    if (!input.Setup) {
        return input.TableLines;
    }
    FillEditControls(*input.Setup, window.MainParameters, window.CylinderTable);
    return TableCylinderCount(window.MainParameters);
}

}  // namespace

void ReadEngineAngles(TCombustionOptions& options) {
    const THeatTransferOptions& heat = options.HeatTransfer;
    options.CylinderAngles.clear();
    if (!options.EnginePath || (heat.Model == THeatModel::None && heat.Gamma == TGammaModel::Constant)) {
        return;
    }
    TMemoryMainControls window;
    const auto cylinders = static_cast<std::size_t>(ReadEngineTable(*options.EnginePath, window));
    const std::size_t rows = std::min(std::max<std::size_t>(options.PressureColumns.size(), 1), cylinders);
    for (std::size_t k = 1; k <= rows; ++k) {
        options.CylinderAngles.push_back(
            ReadValveAngles(window.CylinderTable, static_cast<int>(k), kBatchNumbers));
    }
}

namespace {

// The offsets of cylinders 1..channels: the firing order's (of as many
// cylinders as the table has, or as the columns without a table), or the table's.
std::vector<double> EngineOffsets(const TCombustionOptions& options, std::size_t channels) {
    TMemoryMainControls window;
    std::size_t cylinders = channels;
    std::vector<std::string> texts;
    try {
        if (options.EnginePath) {
            cylinders = static_cast<std::size_t>(ReadEngineTable(*options.EnginePath, window));
        }
        if (options.FiringOrder) {
            texts = FiringOrderOffsets(*options.FiringOrder, options.FiringIntervals.value_or(""),
                                       static_cast<int>(cylinders), kBatchNumbers);
        }
    } catch (const EMorvaneError& mistake) {
        throw EUsageError(mistake.what());
    }
    if (channels > cylinders) {
        throw EUsageError("--pressure-columns gives " + Count(channels) + " columns, the engine has " +
                          Count(cylinders) + " cylinders");
    }
    std::vector<double> offsets;
    for (std::size_t k = 1; k <= channels; ++k) {
        const std::string text = options.FiringOrder
                                     ? texts[k - 1]
                                     : window.CylinderTable.cellText(OffsetColumn, static_cast<int>(k));
        double offset = 0;
        if (!TryParseFloat(text, kBatchNumbers, offset)) {
            throw EUsageError("--engine: the offset (Přesazení) of cylinder " + Count(k) +
                              " is no number: \"" + text + "\"");
        }
        offsets.push_back(offset);
    }
    return offsets;
}

// The events the picture marks: the cylinder's ignition, intake closing and
// exhaust opening, on its own angle.
std::vector<TPictureEvent> CylinderEvents(const TCombustionOptions& options, int cylinder) {
    TMemoryMainControls window;
    std::size_t cylinders = options.PressureColumns.size();
    if (options.EnginePath) {
        cylinders = static_cast<std::size_t>(ReadEngineTable(*options.EnginePath, window));
    }
    // An engine beyond the table's rows has no event list to mark.
    if (cylinders > static_cast<std::size_t>(kCylinderRows)) {
        return {};
    }
    if (options.FiringOrder) {
        window.MainParameters.setValue(kCylinderCountRow, Count(cylinders));
        ApplyFiringOrder(window.MainParameters, window.CylinderTable, *options.FiringOrder,
                         options.FiringIntervals.value_or(""), kBatchNumbers);
    }
    window.MainParameters.setValue(kCylinderCountRow, Count(cylinders));
    TEventList events;
    CreateEvents(window.MainParameters, window.CylinderTable, events, kBatchNumbers);
    UpdateEventAngles(events, 0);
    const double offset = ParseFloat(window.CylinderTable.cellText(OffsetColumn, cylinder), kBatchNumbers);
    return CylinderPictureEvents(events, cylinder, offset);
}

void WritePressurePicture(const TCombustionOptions& options, const TCylinderRecording& recording) {
    const int cylinder = options.PictureCylinder;
    if (static_cast<std::size_t>(cylinder) > recording.Cylinders.size()) {
        throw EUsageError("--picture-cylinder must be an integer from 1 to " +
                          Count(recording.Cylinders.size()) + ", the pressure columns");
    }
    std::vector<TSignalTable> means;
    for (const TCylinderFigures& figures : recording.Cylinders) {
        means.push_back(figures.Analysis.Pressure);
    }
    TRaster picture(kPressurePictureWidth, kPressurePictureHeight);
    DrawCylinderPressures(means, CylinderEvents(options, cylinder), cylinder, picture);
    WritePng(picture, *options.PicturePath);
}

std::string RowsText(const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    for (const std::vector<std::string>& row : rows) {
        text += SemicolonLine(row);
    }
    return text;
}

}  // namespace

bool HasCylinders(const TCombustionOptions& options) {
    return options.PressureColumns.size() > 1;
}

void ReadCylinderOptions(TCombustionOptions& options) {
    const std::size_t channels = options.PressureColumns.size();
    if (channels <= 1) {
        if (channels == 1) {
            options.Recording.ValueColumn = options.PressureColumns[0];
        }
        // The one-channel figures draw no picture; none must be left unwritten silently.
        if (options.PicturePath) {
            throw EUsageError("--pressure-picture needs two --pressure-columns or more");
        }
        if (options.PressureScales.size() > 1) {
            throw EUsageError("--pressure-scale gives " + Count(options.PressureScales.size()) +
                              " scales for 1 pressure column");
        }
        return;
    }
    for (std::size_t k = 0; k < channels; ++k) {
        if (options.PressureColumns[k].empty()) {
            throw EUsageError("--pressure-columns: column " + Count(k + 1) + " of the list is missing");
        }
    }
    if (channels > kMostPressureChannels) {
        throw EUsageError("--pressure-columns takes at most " + Count(kMostPressureChannels) + " columns");
    }
    if (!options.EnginePath && !options.FiringOrder) {
        throw EUsageError(
            "several pressure columns need the cylinders' offsets: give --engine FILE or --firing-order "
            "ORDER");
    }
    const std::vector<double> scales = ChannelScales(options, channels);
    options.Recording.Channels =
        PressureChannels(options.PressureColumns, scales, EngineOffsets(options, channels));
}

TCylinderRecording AnalyseCylinderFile(const TCombustionOptions& options, const std::string& path,
                                       IMessageBoxes& boxes) {
    const TCombustionInputs inputs = ParseCombustionTexts(options.Texts, kBatchNumbers);
    const TPressureReference reference = ParseReferenceTexts(options.Reference, kBatchNumbers);
    TEncoderOptions recording = options.Recording;
    recording.Path = path;
    // Each cylinder with its own angles.
    std::vector<TCombustionSettings> settings(recording.Channels.size(), inputs.Settings);
    for (std::size_t k = 0; k < settings.size(); ++k) {
        settings[k].HeatTransfer = HeatTransferOf(options, reference, k);
    }
    TCylinderRecording result = AnalyseCylinderRecording(recording, inputs.Geometry, settings, reference);
    TSignalTable shown{};
    ShowEncoderResult(result.Import, boxes, shown);
    return result;
}

std::string CylinderReport(const TCombustionOptions& options, IMessageBoxes& boxes) {
    const TCylinderRecording recording = AnalyseCylinderFile(options, options.CyclePath, boxes);
    if (options.CyclesPath) {
        WriteFileReplacing(*options.CyclesPath, CylinderCycleText(recording.Cylinders, kBatchNumbers));
    }
    if (options.PicturePath) {
        WritePressurePicture(options, recording);
    }
    return RowsText(BalanceTableRows(recording.Cylinders, BalanceOf(recording.Cylinders), kBatchNumbers));
}

std::string CylinderTableHeader() {
    const std::vector<std::string> balance = BalanceTableRows({}, {}, kBatchNumbers).front();
    std::vector<std::string> header = {"Soubor"};
    header.insert(header.end(), balance.begin(), balance.end());
    return SemicolonLine(header);
}

std::string CylinderTableRows(const std::string& path, const TCylinderRecording& recording) {
    std::vector<std::vector<std::string>> rows =
        BalanceTableRows(recording.Cylinders, BalanceOf(recording.Cylinders), kBatchNumbers);
    std::string text;
    for (std::size_t k = 1; k < rows.size(); ++k) {
        std::vector<std::string> row = {path};
        row.insert(row.end(), rows[k].begin(), rows[k].end());
        text += SemicolonLine(row);
    }
    return text;
}

}  // namespace morvane
