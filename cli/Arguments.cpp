#include "cli/Arguments.h"

#include <algorithm>
#include <set>

#include "cli/OptionTable.h"
#include "util/quote.h"
#include "util/samefile.h"

namespace morvane {

namespace {

// What a command's help says besides its options' lines.
struct TCommandText {
    TCliCommand Command;
    std::string_view Word;
    std::string_view Usage;
    std::string_view Intro;
    std::string_view Closing;
};

const TCommandText kCommandTexts[] = {
    {TCliCommand::Events, "events",
     "morvane-cli events [TABLE] [--cylinders TEXT] [--rpm TEXT] [--global TEXT] [--corrections FILE]",
     "Creates the events of one cycle from the cylinder table and prints the cycle time\n"
     "and the event table (ID;Úhel;Popis).\n\n",
     ""},
    {TCliCommand::Signal, "signal",
     "morvane-cli signal (--angle FILE | --time FILE | --encoder FILE --wheel T-M [encoder options])",
     "Imports a signal and prints its 1441 entries, one per line.\n\n", ""},
    {TCliCommand::Render, "render",
     "morvane-cli render [TABLE] [events options] [--angle FILE | --time FILE] [--cursor 0..720]\n"
     "                   [--filter 0..96] [--gain 10..100] [--kinds BBBB] [--size WxH] --output FILE.png",
     "Creates the events, imports the signal when given and writes the timeline picture.\n\n", ""},
    {TCliCommand::Combustion, "combustion",
     "morvane-cli combustion FILE... --bore MM --stroke MM --rod MM --compression E [--gamma G] [--window "
     "FROM,TO]\n"
     "                       [--tdc-shift DEG] [--peg METHOD [--peg-range FROM,TO] ...] [--cycles FILE]\n"
     "                       [--wheel T-M (--sample-rate HZ | --time-column C) --pressure-scale "
     "BAR_PER_UNIT\n"
     "                        [other encoder options] [knock options]] [-j N] [--timeout SECONDS]",
     "Prints the combustion figures of a pressure cycle, one name;value line each.\n\n",
     "\nWith --wheel and the other encoder options of signal (see signal --help), FILE is a\n"
     "recording: its complete cycles are averaged onto the cycle, the summary\n"
     "goes to stderr, and CoV IMEP [%] is printed too.\n"
     "A recording is in the DAQ's unit and needs --pressure-scale; then the spread of its cycles,\n"
     "its misfires and its knock figures (MAPO) are printed too.\n"
     "Several FILEs print one table instead, a row per file in the order given, the files read\n"
     "at once; a file that fails gives its error text in its row, and the exit status is 1.\n"
     "A cell holding ';', '\"' or a line break is quoted as CSV quotes it.\n"},
    {TCliCommand::Tdc, "tdc",
     "morvane-cli tdc FILE [--loss-angle DEG] [--peg METHOD [--peg-range FROM,TO] ...]\n"
     "                    [--wheel T-M (--sample-rate HZ | --time-column C)\n"
     "                    --pressure-scale BAR_PER_UNIT [other encoder options]]",
     "Proposes the top-dead-centre shift of combustion --tdc-shift from a motored pressure cycle\n"
     "(or recording): Posun HÚ [°];DEG.\n\n",
     "\nWith --wheel and the other encoder options of signal (see signal --help), FILE is a\n"
     "recording.\n"
     "The proposal's chords lie at shares of the peak pressure, so a relative trace needs --peg;\n"
     "polytropic pegging needs --bore, --stroke, --rod and --compression.\n"},
    {TCliCommand::Valves, "valves",
     "morvane-cli valves [TABLE] [--cylinders TEXT] [--firing-order 1-3-4-2 [--intervals LIST]]\n"
     "                   [--diagram FILE.png [--cylinder 1..12] [--size WxH]]",
     "Prints the valve timing of cylinders 1..N as the page \"Rozvod\" shows it: a header line,\n"
     "then Válec;Přesazení;intake and exhaust duration;overlap;intake centreline after and\n"
     "exhaust centreline before the gas-exchange top dead centre;lobe separation.\n\n",
     "\nevents and render take --firing-order and --intervals too: the order sets the offsets\n"
     "before the events are built.\n"},
    {TCliCommand::None, "",
     "morvane-cli (events | signal | render | valves | combustion | tdc) [options]; --help, --version",
     "Commands:\n"
     "  events      print the cycle time and the event table\n"
     "  signal      print an imported signal's 1441 entries\n"
     "  render      write the timeline picture as PNG\n"
     "  valves      print the valve timing per cylinder; the valve-timing diagram\n"
     "  combustion  print the combustion figures of a pressure cycle\n"
     "  tdc         propose the top-dead-centre shift from a motored pressure cycle\n\n"
     "Numbers use the decimal comma. A failure prints the error box's text and exits 1;\n"
     "a usage mistake exits 2. \"morvane-cli COMMAND --help\" tells more.\n",
     ""},
};

const TCommandText& TextsOf(TCliCommand command) {
    return *std::find_if(std::begin(kCommandTexts), std::end(kCommandTexts),
                         [&](const TCommandText& texts) { return texts.Command == command; });
}

bool IsHelp(std::string_view word) {
    return word == "--help" || word == "-h";
}

// A path the command reads or writes, as given.
struct TGivenPath {
    std::string_view Name;
    std::string Path;
    TPathRole Role;
};

// An option and its value as the command line gave them, before the value is read.
struct TGivenOption {
    const TOptionRow* Row;
    std::string Text;
};

// What the words after the command gave.
struct TGiven {
    std::set<std::string> Names;
    std::vector<TGivenOption> Options;
    std::vector<std::string> Positional;
    std::vector<TGivenPath> Paths;
};

void ApplyRow(const TOptionRow& row, const std::string& text, TCliArguments& result, TGiven& given) {
    const TOptionValue value = ReadOptionValue(row.Rule, row.Name, row.ValueName, text);
    row.Apply(result, value);
    if (row.Rule.Role != TPathRole::None) {
        given.Paths.push_back({row.Name, text, row.Rule.Role});
    }
}

void ApplyDefaults(TCliArguments& result) {
    TGiven ignored;
    for (const TOptionRow& row : OptionRows()) {
        if (!row.Default.empty() && (row.Commands & CommandBit(result.Command)) != 0) {
            ApplyRow(row, std::string(row.Default), result, ignored);
        }
    }
}

// "--name value" or "--name=value"; a value may itself start with '-' ("--rpm -1000").
// The values are read later, once the options that go together are known.
void ReadWords(const std::vector<std::string>& arguments, TCliArguments& result, TGiven& given) {
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            given.Positional.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        const TOptionRow* const row = FindOption(result.Command, name);
        if (row == nullptr) {
            throw EUsageError("unknown option '" + ShortenedQuote(name) + "'");
        }
        if (!given.Names.insert(name).second) {
            throw EUsageError(name + " is given twice");
        }
        if (equals == std::string::npos && i + 1 >= arguments.size()) {
            throw EUsageError(name + " needs a value");
        }
        given.Options.push_back(
            {row, equals != std::string::npos ? word.substr(equals + 1) : arguments[++i]});
    }
}

// The text given for the option name, or its default.
std::string_view GivenText(TCliCommand command, const TGiven& given, std::string_view name) {
    for (const TGivenOption& option : given.Options) {
        if (option.Row->Name == name) {
            return option.Text;
        }
    }
    const TOptionRow* const row = FindOption(command, name);
    return row == nullptr ? std::string_view() : row->Default;
}

// An option that the chosen value of another does not use (--peg-pressure
// without --peg point) is a mistake, told before its own value is judged. A
// value its option does not take at all is left to that option's own mistake.
void CheckOnlyWith(TCliCommand command, const TGiven& given) {
    for (const TGivenOption& option : given.Options) {
        const TOnlyWith& onlyWith = option.Row->OnlyWith;
        if (onlyWith.Option.empty()) {
            continue;
        }
        const std::string_view chosen = GivenText(command, given, onlyWith.Option);
        const TOptionRow* const other = FindOption(command, onlyWith.Option);
        if (other != nullptr && ChoiceIndex(onlyWith.Values, chosen) < 0 &&
            ChoiceIndex(other->Rule.Choices, chosen) >= 0) {
            throw EUsageError(std::string(option.Row->Name) + " goes only with " +
                              std::string(onlyWith.Option) + " " + ChoicesText(onlyWith.Values));
        }
    }
}

void ApplyOptions(TCliArguments& result, TGiven& given) {
    for (const TGivenOption& option : given.Options) {
        ApplyRow(*option.Row, option.Text, result, given);
    }
}

void ReadPositional(TCliArguments& result, TGiven& given) {
    const TOptionRow* const row = PositionalOption(result.Command);
    const std::size_t allowed = row == nullptr ? 0 : row->Repeats ? given.Positional.size() : 1;
    if (given.Positional.size() > allowed) {
        throw EUsageError("unexpected argument '" + ShortenedQuote(given.Positional[allowed]) + "'");
    }
    for (const std::string& word : given.Positional) {
        ApplyRow(*row, word, result, given);
        given.Names.insert(std::string(row->Name));
    }
}

// The options that only go with --encoder make one import together: --wheel
// and either --time-column or --sample-rate.
void CheckEncoderOptions(TCliCommand command, bool encoder, const std::set<std::string>& names) {
    if (!encoder) {
        for (const std::string& name : names) {
            const TOptionRow* const row = FindOption(command, name);
            if (row != nullptr && row->Encoder) {
                throw EUsageError(name + " goes only with --encoder");
            }
        }
        return;
    }
    if (!names.contains("--wheel")) {
        throw EUsageError("--encoder needs --wheel T-M");
    }
    if (names.contains("--time-column") == names.contains("--sample-rate")) {
        throw EUsageError("--encoder needs either --time-column or --sample-rate");
    }
}

void CheckRequired(TCliCommand command, const std::set<std::string>& names) {
    for (const TOptionRow& row : OptionRows()) {
        if ((row.Commands & CommandBit(command)) != 0 && !row.Missing.empty() &&
            !names.contains(std::string(row.Name))) {
            throw EUsageError(std::string(row.Missing));
        }
    }
}

void CheckNeeds(TCliCommand command, const std::set<std::string>& names) {
    for (const TOptionRow& row : OptionRows()) {
        if ((row.Commands & CommandBit(command)) != 0 && !row.Needs.empty() &&
            names.contains(std::string(row.Name)) && !names.contains(std::string(row.Needs))) {
            throw EUsageError(row.NeedsMistake.empty()
                                  ? std::string(row.Name) + " needs " + std::string(row.Needs)
                                  : std::string(row.NeedsMistake));
        }
    }
}

// A command never writes over a file it reads, also not through a link.
void CheckOutputsAreNotInputs(const std::vector<TGivenPath>& paths) {
    for (const TGivenPath& output : paths) {
        if (output.Role != TPathRole::Output) {
            continue;
        }
        for (const TGivenPath& input : paths) {
            if (input.Role == TPathRole::Input && IsSameFile(output.Path, input.Path)) {
                throw EUsageError(std::string(output.Name) + " must not name a file the command reads ('" +
                                  ShortenedQuote(output.Path) + "' is given as " + std::string(input.Name) +
                                  ")");
            }
        }
    }
}

// A recording in the DAQ's unit must never give figures in bar.
void CheckPressureOptions(TCombustionOptions& options, const std::set<std::string>& names) {
    if (options.FromRecording && !options.Recording.PressureScale) {
        throw EUsageError(
            "the recording is not in bar: give the sensor's scale with --pressure-scale BAR_PER_UNIT "
            "(záznam není v barech: zadejte citlivost snímače)");
    }
    if (options.CyclesPath && options.Paths.size() > 1) {
        throw EUsageError("--cycles takes the cycles of one FILE");
    }
    // Combustion requires the engine anyway; tdc reads it for polytropic pegging only.
    const bool engineGiven = names.contains("--bore") && names.contains("--stroke") &&
                             names.contains("--rod") && names.contains("--compression");
    if (options.Reference.PegMethod == "polytropic" && !engineGiven) {
        throw EUsageError("--peg polytropic needs --bore, --stroke, --rod and --compression");
    }
    options.KnockGiven = names.contains("--knock-band") || names.contains("--knock-window") ||
                         names.contains("--knock-threshold");
}

void CheckGiven(TCliArguments& result, const TGiven& given) {
    const TCliCommand command = result.Command;
    if (command == TCliCommand::Signal && result.SignalFile.Kind == TSignalFileKind::None) {
        throw EUsageError("signal needs --angle FILE or --time FILE");
    }
    // combustion and tdc take a recording without --encoder: checked below.
    if (command != TCliCommand::Combustion && command != TCliCommand::Tdc) {
        CheckEncoderOptions(command, result.SignalFile.Kind == TSignalFileKind::Encoder, given.Names);
    }
    CheckRequired(command, given.Names);
    if (command == TCliCommand::Combustion || command == TCliCommand::Tdc) {
        // Any encoder option makes the file a recording.
        result.Combustion.FromRecording =
            std::any_of(given.Names.begin(), given.Names.end(), [](const auto& name) {
                const TOptionRow* const row = FindOption(TCliCommand::Combustion, name);
                return row != nullptr && row->Encoder;
            });
        CheckEncoderOptions(command, result.Combustion.FromRecording, given.Names);
        CheckPressureOptions(result.Combustion, given.Names);
    }
    CheckNeeds(command, given.Names);
    CheckOutputsAreNotInputs(given.Paths);
}

}  // namespace

TCliCommand CommandNamed(std::string_view word) {
    const auto* const found = std::find_if(std::begin(kCommandTexts), std::end(kCommandTexts),
                                           [&](const TCommandText& texts) { return texts.Word == word; });
    return found == std::end(kCommandTexts) || word.empty() ? TCliCommand::None : found->Command;
}

TCliArguments ParseArguments(const std::vector<std::string>& arguments) {
    TCliArguments result;
    if (!arguments.empty()) {
        result.Command = CommandNamed(arguments.front());
    }
    // Help and version are honoured wherever they stand, before anything else is judged.
    for (const std::string& word : arguments) {
        if (word == "--") {
            break;
        }
        if (IsHelp(word) || word == "--version") {
            result.Action = IsHelp(word) ? TCliAction::Help : TCliAction::Version;
            return result;
        }
    }
    if (arguments.empty()) {
        throw EUsageError("no command given");
    }
    if (result.Command == TCliCommand::None) {
        throw EUsageError("unknown command '" + ShortenedQuote(arguments.front()) + "'");
    }
    ApplyDefaults(result);
    TGiven given;
    ReadWords(arguments, result, given);
    CheckOnlyWith(result.Command, given);
    ApplyOptions(result, given);
    result.Events.RpmGiven = given.Names.contains("--rpm");
    result.Events.GlobalGiven = given.Names.contains("--global");
    result.Render.CursorGiven = given.Names.contains("--cursor");
    result.Render.FilterGiven = given.Names.contains("--filter");
    result.Render.GainGiven = given.Names.contains("--gain");
    result.Render.KindsGiven = given.Names.contains("--kinds");
    ReadPositional(result, given);
    CheckGiven(result, given);
    return result;
}

std::string UsageText(TCliCommand command) {
    return "usage: " + std::string(TextsOf(command).Usage) + "\n";
}

std::string HelpText(TCliCommand command) {
    const TCommandText& texts = TextsOf(command);
    return UsageText(command) + "\n" + std::string(texts.Intro) + OptionHelpLines(command) +
           std::string(texts.Closing);
}

std::string VersionText() {
    return std::string("morvane-cli ") + MORVANE_VERSION + "\n";
}

}  // namespace morvane
