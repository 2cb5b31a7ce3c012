#include "cli/BatchCommands.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "cli/Arguments.h"
#include "cli/ChannelsCommand.h"
#include "cli/CombustionCommand.h"
#include "cli/CylinderCommand.h"
#include "cli/EngineSetup.h"
#include "cli/RecordingTable.h"
#include "cli/TerminalProgress.h"
#include "cli/ValvesCommand.h"
#include "events/CorrectionsFile.h"
#include "events/CylinderTableFile.h"
#include "events/EngineEvent.h"
#include "events/EngineInput.h"
#include "events/EventGeneration.h"
#include "events/EventTableText.h"
#include "events/MainControls.h"
#include "events/Recalculation.h"
#include "events/SetupControls.h"
#include "events/SetupFile.h"
#include "events/SetupNumbers.h"
#include "events/SetupSignalFile.h"
#include "signal/import/EncoderImport.h"
#include "signal/import/EncoderSettings.h"
#include "signal/import/ImportCommand.h"
#include "signal/import/SignalText.h"
#include "signal/pressure/CombustionInputs.h"
#include "timeline/PngWriter.h"
#include "timeline/Raster.h"
#include "timeline/Timeline.h"
#include "util/dialogutil.h"
#include "util/memorycontrols.h"
#include "util/messages.h"

namespace morvane {

namespace {

// Both boxes print their text as a line on the error stream: the summary of an
// import is a remark beside the result, not part of it.
class TStreamBoxes : public IMessageBoxes {
public:
    explicit TStreamBoxes(std::ostream& stream) : m_stream(stream) {}
    void ShowInfo(const std::string& text) override { say(text); }
    void ShowErrorBox(const std::string& text) override { say(text); }

private:
    // On a clean line, not after a progress line that a terminal shows.
    void say(const std::string& text) {
        const auto paused = TTerminalProgress::standard().pause();
        m_stream << text << '\n' << std::flush;
    }

    std::ostream& m_stream;
};

std::string UsageMistake(std::string_view reason, TCliCommand command) {
    return "morvane-cli: " + std::string(reason) + "\n" + UsageText(command);
}

// What "Vytvořit události", the global-correction box and "Korigovat" do, in
// that order, with the texts of the command line in the controls.
// A set-up file's corrections, by event, come before a corrections file's.
void RunEventCommands(const TEventsOptions& options, int tableLines, const std::optional<TSetup>& setup,
                      TMemoryMainControls& window, TSession& session) {
    ApplyCylinderOptions(options, tableLines, window);
    window.MainParameters.setValue(kSpeedRow, options.Rpm);

    if (setup) {
        CreateSetupEvents(window.CylinderTable, options.Global, setup->Corrections, session, window.Recalc);
    } else {
        CreateEventsAndRecalculate(window.CylinderTable, session, window.Recalc);
        GlobalCorrectionChanged(options.Global, session, window.Recalc);
    }
    if (options.CorrectionsPath) {
        ApplyCorrectionsFile(*options.CorrectionsPath, session, window.Recalc);
    }
}

void ImportSignal(const TSignalFile& file, IMessageBoxes& boxes, TSession& session) {
    const TFileProgress shown(file.Kind == TSignalFileKind::Encoder ? file.Encoder.Path : file.Path);
    if (file.Kind == TSignalFileKind::Encoder) {
        // Only the mean is printed, so the cycles need not be kept.
        TEncoderOptions options = file.Encoder;
        options.KeepCycles = false;
        ImportEncoderSignal(options, boxes, session.Signal);
        return;
    }
    TKnownFileDialog dialog(file.Path);
    RunImportCommand(&dialog, boxes, FileImportKind(file.Kind), ImportTargetOf(session), {});
}

void RenderPicture(const TRenderOptions& options, TSession& session) {
    TTimelineInput settings;
    settings.W = options.Width;
    settings.H = options.Height;
    settings.Visible = options.Kinds;
    settings.P = options.Cursor;
    settings.Pmax = 720;
    settings.F = options.Filter;
    settings.G = options.Gain;
    TRaster picture(settings.W, settings.H);
    DrawSessionTimeline(session, settings, picture);
    WritePng(picture, options.OutputPath);
}

// The set-up's last import as the command line would give it.
TSignalFile SetupSignalFile(const TSignalImportTexts& import) {
    TSignalFile file;
    file.Kind = import.Kind;
    file.Path = SetupSignalPath(import);
    if (import.Kind == TSignalImportKind::Encoder) {
        file.Encoder = EncoderOptionsOf(import.Encoder, kBatchNumbers);
    }
    return file;
}

// A set-up file's values where the command line gives none: what the window
// shows for the set-up, with the command line's changes.
TCliArguments WithSetupValues(const TCliArguments& arguments, const TSetup& setup, const std::string& path) {
    TCliArguments result = arguments;
    TEventsOptions& events = result.Events;
    events.Cylinders = events.Cylinders.value_or(setup.Cylinders);
    if (!events.RpmGiven) {
        events.Rpm = setup.Speed;
    }
    if (!events.GlobalGiven) {
        events.Global = setup.GlobalCorrection;
    }
    if (arguments.Command == TCliCommand::Valves) {
        return result;
    }
    CheckSetupNumbers(
        setup,
        {.Cylinders = !arguments.Events.Cylinders, .Speed = !events.RpmGiven, .Offsets = !events.FiringOrder},
        *events.Cylinders, path, kBatchNumbers);
    if (arguments.Command != TCliCommand::Render) {
        return result;
    }
    TRenderOptions& render = result.Render;
    render.Cursor = render.CursorGiven ? render.Cursor : setup.CrankAngle;
    render.Filter = render.FilterGiven ? render.Filter : setup.Filter;
    render.Gain = render.GainGiven ? render.Gain : setup.Gain;
    render.Kinds = render.KindsGiven ? render.Kinds : setup.KindsShown;
    if (result.SignalFile.Kind == TSignalFileKind::None) {
        CheckSetupSignalFile(setup.SignalImport, path);
        result.SignalFile = SetupSignalFile(setup.SignalImport);
    }
    return result;
}

// Runs command under the guard; a mistake in what was asked for (EUsageError)
// becomes the usage text and exit code 2 instead of the error box.
template <typename Command>
int RunChecked(TCliCommand cliCommand, IMessageBoxes& boxes, std::ostream& err, Command&& command) {
    std::string mistake;
    const bool succeeded = RunGuarded(boxes, [&] {
        try {
            command();
        } catch (const EUsageError& usage) {
            mistake = usage.what();
        }
    });
    if (!mistake.empty()) {
        err << UsageMistake(mistake, cliCommand);
        return kExitUsage;
    }
    return succeeded ? kExitSuccess : kExitFailure;
}

// The commands on the window's controls: events, render and valves.
void RunOnControls(const TCliArguments& arguments, IMessageBoxes& boxes, std::string& report) {
    TMemoryMainControls window;
    TSession session;
    session.Numbers = kBatchNumbers;
    int tableLines = 0;
    std::optional<TSetup> setup;
    if (arguments.Events.TablePath) {
        // A table too long for the window is a mistake in what was asked for,
        // not a failure the error box would show.
        try {
            TEngineInput input =
                ReadEngineInput(*arguments.Events.TablePath, window.CylinderTable, kBatchNumbers);
            tableLines = input.TableLines;
            setup = std::move(input.Setup);
        } catch (const ECylinderTableError& tooLong) {
            throw EUsageError(tooLong.what());
        }
    }
    if (setup) {
        FillEditControls(*setup, window.MainParameters, window.CylinderTable);
    }
    const TCliArguments effective =
        setup ? WithSetupValues(arguments, *setup, *arguments.Events.TablePath) : arguments;
    if (arguments.Command == TCliCommand::Valves) {
        RunValvesCommand(effective, tableLines, window, report);
        return;
    }
    RunEventCommands(effective.Events, tableLines, setup, window, session);
    if (arguments.Command == TCliCommand::Events) {
        report = EventTableText(window.Recalc);
        return;
    }
    if (effective.SignalFile.Kind != TSignalFileKind::None) {
        ImportSignal(effective.SignalFile, boxes, session);
    }
    RenderPicture(effective.Render, session);
}

bool PrintsTable(const TCliArguments& arguments) {
    const TCombustionOptions& options = arguments.Combustion;
    return arguments.Command == TCliCommand::Combustion &&
           (options.Paths.size() > 1 || options.Table != TRecordingTableForm::Automatic);
}

// The table's rows go out as they are known, a failed file's among them; the
// engine's texts are judged once before, as for one file.
int RunTable(TCombustionOptions options, std::ostream& out, std::ostream& err) {
    TStreamBoxes boxes(err);
    const int checked = RunChecked(TCliCommand::Combustion, boxes, err, [&] {
        ReadPressureOptions(TCliCommand::Combustion, options);
        ReadCylinderOptions(options);
        ParseCombustionTexts(options.Texts, kBatchNumbers);
    });
    if (checked != kExitSuccess) {
        return checked;
    }
    return WriteRecordingTable(options, out) ? kExitSuccess : kExitFailure;
}

int RunCommand(const TCliArguments& arguments, std::ostream& out, std::ostream& err) {
    if (PrintsTable(arguments)) {
        return RunTable(arguments.Combustion, out, err);
    }
    TStreamBoxes boxes(err);
    std::string report;
    const int exitCode = RunChecked(arguments.Command, boxes, err, [&] {
        if (arguments.Command == TCliCommand::Tdc || arguments.Command == TCliCommand::Combustion) {
            TCombustionOptions options = arguments.Combustion;
            ReadPressureOptions(arguments.Command, options);
            ReadCylinderOptions(options);
            report = arguments.Command == TCliCommand::Tdc ? TdcReport(options, boxes)
                                                           : CombustionReportWithin(options, boxes);
        } else if (arguments.Command == TCliCommand::Channels) {
            report = ChannelListText(arguments.ChannelsPath);
        } else if (arguments.Command == TCliCommand::Signal) {
            TSession session;
            session.Numbers = kBatchNumbers;
            session.Numbers = kBatchNumbers;
            ImportSignal(arguments.SignalFile, boxes, session);
            report = SignalEntriesText(session.Signal, session.Numbers);
        } else {
            RunOnControls(arguments, boxes, report);
        }
    });
    if (exitCode == kExitSuccess) {
        out << report;
    }
    return exitCode;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    TCliArguments parsed;
    try {
        parsed = ParseArguments(WithEngineSetup(arguments));
    } catch (const EUsageError& mistake) {
        err << UsageMistake(mistake.what(),
                            arguments.empty() ? TCliCommand::None : CommandNamed(arguments[0]));
        return kExitUsage;
    }
    if (parsed.Action == TCliAction::Help) {
        out << HelpText(parsed.Command);
        return kExitSuccess;
    }
    if (parsed.Action == TCliAction::Version) {
        out << VersionText();
        return kExitSuccess;
    }
    return RunCommand(parsed, out, err);
}

}  // namespace morvane
