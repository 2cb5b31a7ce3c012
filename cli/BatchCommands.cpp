#include "cli/BatchCommands.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "cli/Arguments.h"
#include "events/EngineEvent.h"
#include "events/EventGeneration.h"
#include "events/MainControls.h"
#include "events/Recalculation.h"
#include "signal/EncoderImport.h"
#include "signal/ImportCommand.h"
#include "signal/Signal.h"
#include "timeline/PngWriter.h"
#include "timeline/Raster.h"
#include "timeline/Timeline.h"
#include "util/dialogutil.h"
#include "util/memorycontrols.h"
#include "util/messages.h"
#include "util/numtext.h"

namespace morvane {

namespace {

// Both boxes print their text as a line on the error stream: the summary of an
// import is a remark beside the result, not part of it.
class TStreamBoxes : public IMessageBoxes {
public:
    explicit TStreamBoxes(std::ostream& stream) : m_stream(stream) {}
    void ShowInfo(const std::string& text) override { m_stream << text << '\n'; }
    void ShowErrorBox(const std::string& text) override { m_stream << text << '\n'; }

private:
    std::ostream& m_stream;
};

// An open dialog whose user always picks the file named on the command line.
class TGivenFileDialog : public IOpenDialog {
public:
    explicit TGivenFileDialog(std::string path) : m_path(std::move(path)) {}
    void setFilter(const std::string&) override {}
    void setDefaultExt(const std::string&) override {}
    void setFilterIndex(int) override {}
    void setFileName(const std::string&) override {}
    bool execute() override { return true; }
    std::string fileName() const override { return m_path; }

private:
    std::string m_path;
};

std::string usageMistake(std::string_view reason, TCliCommand command) {
    return "morvane-cli: " + std::string(reason) + "\n" + UsageText(command);
}

// What "Vytvořit události", the global-correction box and "Korigovat" do, in
// that order, with the texts of the command line in the controls.
void runEventCommands(const TEventsOptions& options, int tableLines, TMemoryMainControls& window) {
    window.MainParameters.setValue(
        CylinderCountRow, options.Cylinders.value_or(options.TablePath ? FormatInteger(tableLines) : "1"));
    window.MainParameters.setValue(SpeedRow, options.Rpm);

    CreateEventsAndRecalculate(window.CylinderTable, window.Recalc);
    GlobalCorrectionChanged(options.Global, window.Recalc);
    if (options.CorrectionsPath) {
        // The user's edits of the correction list: by position, as far as both reach.
        const TTextLines corrections = ReadTextLines(*options.CorrectionsPath);
        const int rows = std::min(window.CorrectionList.rowCount(), static_cast<int>(corrections.size()));
        for (int row = 1; row <= rows; ++row) {
            window.CorrectionList.setValue(row, std::string(corrections[row - 1]));
        }
        ApplyCorrectionsAndRecalculate(window.Recalc);
    }
}

std::string eventReport(const TMemoryMainControls& window) {
    std::string text = window.ComputedParameters.key(CycleTimeRow) + ";" +
                       window.ComputedParameters.value(CycleTimeRow) + "\n";
    for (int row = 0; row < window.EventGrid.rowCount(); ++row) {
        text += window.EventGrid.cellText(0, row) + ";" + window.EventGrid.cellText(1, row) + ";" +
                window.EventGrid.cellText(2, row) + "\n";
    }
    return text;
}

void importSignal(const TSignalFile& file, IMessageBoxes& boxes) {
    if (file.Kind == TSignalFileKind::sfEncoder) {
        // Only the mean is printed, so the cycles need not be kept.
        TEncoderOptions options = file.Encoder;
        options.KeepCycles = false;
        ImportEncoderSignal(options, boxes, Signal);
        return;
    }
    TGivenFileDialog dialog(file.Path);
    const TImportKind kind =
        file.Kind == TSignalFileKind::sfAngle ? TImportKind::ikAngle : TImportKind::ikTime;
    RunImportCommand(&dialog, boxes, kind, {});
}

std::string signalReport() {
    std::string text;
    for (double entry : Signal) {
        text += FormatFloatGeneral(entry);
        text += '\n';
    }
    return text;
}

void renderPicture(const TRenderOptions& options) {
    TTimelineInput input;
    input.W = options.Width;
    input.H = options.Height;
    input.Visible = options.Kinds;
    input.P = options.Cursor;
    input.Pmax = 720;
    input.F = options.Filter;
    input.G = options.Gain;
    input.Signal = &Signal;
    input.Events = &Events;
    TRaster picture(input.W, input.H);
    DrawTimeline(input, picture, SignalTrend);
    WritePng(picture, options.OutputPath);
}

int runCommand(const TCliArguments& arguments, std::ostream& out, std::ostream& err) {
    TStreamBoxes boxes(err);
    std::string report;
    if (arguments.Command == TCliCommand::ccSignal) {
        if (!RunGuarded(boxes, [&] {
                importSignal(arguments.SignalFile, boxes);
                report = signalReport();
            })) {
            return ExitFailure;
        }
        out << report;
        return ExitSuccess;
    }

    TMemoryMainControls window;
    std::optional<TTextLines> table;
    if (arguments.Events.TablePath &&
        !RunGuarded(boxes, [&] { table = ReadTextLines(*arguments.Events.TablePath); })) {
        return ExitFailure;
    }
    int tableLines = 0;
    try {
        if (table) {
            tableLines = FillCylinderTable(*table, window.CylinderTable);
        }
    } catch (const EUsageError& mistake) {
        err << usageMistake(mistake.what(), arguments.Command);
        return ExitUsage;
    }

    const bool succeeded = RunGuarded(boxes, [&] {
        runEventCommands(arguments.Events, tableLines, window);
        if (arguments.Command == TCliCommand::ccEvents) {
            report = eventReport(window);
            return;
        }
        if (arguments.SignalFile.Kind != TSignalFileKind::sfNone) {
            importSignal(arguments.SignalFile, boxes);
        }
        renderPicture(arguments.Render);
    });
    if (!succeeded) {
        return ExitFailure;
    }
    out << report;
    return ExitSuccess;
}

}  // namespace

int FillCylinderTable(const TTextLines& lines, ICellGrid& table) {
    const int dataLines = lines.empty() ? 0 : static_cast<int>(lines.size()) - 1;
    if (dataLines > CylinderRows) {
        throw EUsageError("the cylinder table has " + std::to_string(CylinderRows) +
                          " rows, the file gives " + std::to_string(dataLines));
    }
    for (int row = 1; row <= dataLines; ++row) {
        std::string_view rest = lines[row];
        // Field 0 is the row number, which the window writes itself.
        for (int column = 0; column < CylinderColumns; ++column) {
            const std::size_t semicolon = rest.find(';');
            const std::string_view field = rest.substr(0, semicolon);
            if (column != ccNumber) {
                table.setCellText(column, row, TrimBlanks(field));
            }
            rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
        }
    }
    return dataLines;
}

int RunCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    TCliArguments parsed;
    try {
        parsed = ParseArguments(arguments);
    } catch (const EUsageError& mistake) {
        err << usageMistake(mistake.what(),
                            arguments.empty() ? TCliCommand::ccNone : CommandNamed(arguments[0]));
        return ExitUsage;
    }
    if (parsed.Action == TCliAction::caHelp) {
        out << HelpText(parsed.Command);
        return ExitSuccess;
    }
    if (parsed.Action == TCliAction::caVersion) {
        out << VersionText();
        return ExitSuccess;
    }
    return runCommand(parsed, out, err);
}

}  // namespace morvane
