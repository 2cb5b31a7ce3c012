#include "cli/Arguments.h"

#include <algorithm>
#include <set>

#include "cli/OptionGroups.h"
#include "cli/OptionTable.h"
#include "cli/OptionUsage.h"
#include "signal/import/RecordingSource.h"
#include "util/errors.h"
#include "util/quote.h"
#include "util/samefile.h"

namespace morvane {

namespace {

bool IsHelp(std::string_view word) {
    return word == "--help" || word == "-h";
}

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
        if (!row.Default.empty() && Takes(row, result.Command)) {
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
        if (option.Row->MarkGiven != nullptr) {
            option.Row->MarkGiven(result);
        }
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

void CheckRequired(TCliCommand command, const std::set<std::string>& names) {
    for (const TOptionRow& row : OptionRows()) {
        if (Needed(row, command) && !names.contains(std::string(row.Name))) {
            std::string mistake(row.Missing);
            constexpr std::string_view kCommandMarker = "{command}";
            if (const std::size_t at = mistake.find(kCommandMarker); at != std::string::npos) {
                mistake.replace(at, kCommandMarker.size(), CommandOf(command).Word);
            }
            throw EUsageError(mistake);
        }
    }
}

void CheckNeeds(TCliCommand command, const std::set<std::string>& names) {
    for (const TOptionRow& row : OptionRows()) {
        if (Takes(row, command) && !row.Needs.empty() && names.contains(std::string(row.Name)) &&
            !names.contains(std::string(row.Needs))) {
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

void CheckGiven(TCliArguments& result, const TGiven& given) {
    CheckRequiredGroups(result.Command, given);
    CheckLedGroups(result, given);
    CheckRequired(result.Command, given.Names);
    CheckOpenedGroups(result, given);
    if (result.Combustion.CyclesPath && result.Combustion.Paths.size() > 1) {
        throw EUsageError("--cycles takes the cycles of one FILE");
    }
    CheckNeededWhen(result.Command, given);
    CheckNeeds(result.Command, given.Names);
    CheckOutputsAreNotInputs(given.Paths);
}

}  // namespace

TCliCommand CommandNamed(std::string_view word) {
    const auto commands = CommandRows();
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [&](const TCommandRow& row) { return row.Word == word; });
    return found == commands.end() || word.empty() ? TCliCommand::None : found->Command;
}

namespace {

// The recordings given: the positional files and --encoder's.
std::vector<std::string> RecordingPaths(const TGiven& given) {
    std::vector<std::string> paths = given.Positional;
    for (const TGivenOption& option : given.Options) {
        if (option.Row->Name == "--encoder") {
            paths.push_back(option.Text);
        }
    }
    return paths;
}

// An MDF recording's time master stands for --time-column: the import takes
// it from the file when no time column or sample rate is given.
void ImplyTimeOfMdfRecordings(TGiven& given) {
    if (given.Names.contains("--time-column") || given.Names.contains("--sample-rate")) {
        return;
    }
    const std::vector<std::string> paths = RecordingPaths(given);
    if (!paths.empty() && std::all_of(paths.begin(), paths.end(), [](const std::string& path) {
            return RecordingKindOf(path) == TRecordingKind::Mdf;
        })) {
        given.Names.insert("--time-column");
    }
}

// Whether every recording is an MDF file whose value channel's group has a
// crank-angle master; a file that cannot tell is left to the import to judge.
bool AllMdfInAngle(const std::vector<std::string>& paths, const TGiven& given) {
    std::string value = "2";
    for (const TGivenOption& option : given.Options) {
        value = option.Row->Name == "--value-column" ? option.Text : value;
    }
    try {
        return !paths.empty() && std::all_of(paths.begin(), paths.end(), [&](const std::string& path) {
            return !ImpliedAngleColumn(path, value).empty();
        });
    } catch (const EMorvaneError&) {
        return false;
    }
}

// An angle-domain recording (a crank-angle column, or an MDF group's angle
// master) stands for the wheel and the time.
void ImplyWheelOfAngleRecordings(TGiven& given) {
    if (!given.Names.contains("--angle-column") &&
        (given.Names.contains("--wheel") || !AllMdfInAngle(RecordingPaths(given), given))) {
        return;
    }
    for (const char* name : {"--wheel", "--time-column", "--sample-rate"}) {
        if (given.Names.contains(name)) {
            throw EUsageError("an angle-domain recording takes no " + std::string(name));
        }
    }
    given.Names.insert("--wheel");
    given.Names.insert("--time-column");
}

}  // namespace

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
    ReadPositional(result, given);
    ImplyWheelOfAngleRecordings(given);
    ImplyTimeOfMdfRecordings(given);
    CheckGiven(result, given);
    return result;
}

std::string UsageText(TCliCommand command) {
    return "usage: " + UsageLines(command) + "\n";
}

// The tool's help lists the commands; a command's help its options.
std::string HelpText(TCliCommand command) {
    const TCommandRow& texts = CommandOf(command);
    std::string text = UsageText(command) + "\n" + std::string(texts.Intro) + OptionHelpLines(command);
    if (command == TCliCommand::None) {
        std::size_t widest = 0;
        for (const TCommandRow& row : CommandRows()) {
            widest = std::max(widest, row.Word.size());
        }
        text += "Commands:\n";
        for (const TCommandRow& row : CommandRows()) {
            if (row.Command != TCliCommand::None) {
                text += "  " + std::string(row.Word) + std::string(widest + 2 - row.Word.size(), ' ') +
                        std::string(row.Summary) + "\n";
            }
        }
    }
    return text + std::string(texts.Closing);
}

std::string VersionText() {
    return std::string("morvane-cli ") + MORVANE_VERSION + "\n";
}

}  // namespace morvane
