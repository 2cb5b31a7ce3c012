#pragma once

// Every option and command of the batch tool, declared once: an option's
// name, its value's name and help line, the commands that take it and those
// that need it, its default, the rule that reads and checks its value, its
// groups, and where the value goes; a group's rules; a command's word and
// texts. Parsing, the help, the usage lines and the usage mistakes all come
// from these rows, so a new option is one new row.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Arguments.h"
#include "cli/OptionRules.h"

namespace morvane {

// A set of commands, one bit per TCliCommand.
using TCommandSet = unsigned;

constexpr TCommandSet CommandBit(TCliCommand command) {
    return 1U << static_cast<unsigned>(command);
}

// Options that go together; an option may belong to several.
enum class TOptionGroup : unsigned { SignalFile, Events, Encoder, Knock, Engine };

// A set of groups, one bit per TOptionGroup.
using TGroupSet = unsigned;

constexpr TGroupSet GroupBit(TOptionGroup group) {
    return 1U << static_cast<unsigned>(group);
}

// Another option's values an option goes only with ("--peg", "point|polytropic").
struct TOnlyWith {
    std::string_view Option = {};
    std::string_view Values = {};
};

struct TOptionRow {
    std::string_view Name = {};       // "--cursor"; a name without "--" is the positional argument ("TABLE")
    std::string_view ValueName = {};  // "0..720" in the help
    std::string_view Help = {};       // '\n' starts an indented line; "{default}" stands for Default,
                                      // "{range}" for the range of Rule ("from 1 to 2000")
    std::string_view OptionalNote = {};  // added to Help where the command takes it without needing it
    TCommandSet Commands = 0;            // the commands that take it
    TCommandSet Listed = 0;              // the commands whose help lists it
    TValueRule Rule = {};
    TCommandSet Required = 0;            // the commands that need it
    std::string_view Default = {};       // read by Rule and applied before the command line; empty: none
    std::string_view Missing = {};       // the mistake without it where a command or an open group needs it;
                                         // "{command}" stands for the command's word
    std::string_view Needs = {};         // another option it goes only with
    std::string_view NeedsMistake = {};  // the mistake when Needs is absent; empty: "<Name> needs <Needs>"
    TOnlyWith OnlyWith = {};             // given without one of those values, the option is a mistake
    TGroupSet Groups = 0;
    bool Repeats = false;  // the positional argument may be given more than once, Apply runs per value
    void (*Apply)(TCliArguments& arguments, const TOptionValue& value) = nullptr;
    // Notes that the command line gave it, for options that override a set-up file.
    void (*MarkGiven)(TCliArguments& arguments) = nullptr;
};

struct TGroupRow {
    TOptionGroup Group = {};
    std::string_view Name = {};  // "encoder": the usage sums members up as "[encoder options]"
    TCommandSet Summed = 0;      // the commands whose usage sums its members up
    bool Exclusive = false;      // at most one member: the usage shows "a | b"
    TCommandSet Required = 0;    // the commands that need one of its members
    std::string_view Missing = {};
    // The option the members go only with; a command that does not take it
    // opens the group by any member instead.
    std::string_view Lead = {};
    // What an open group needs: options separated by ' ', each an option or
    // alternatives of which exactly one is given, separated by '|'.
    std::string_view Needs = {};
    TOnlyWith NeededWhen = {};  // this choice of another option needs every member
    void (*Opened)(TCliArguments& arguments) = nullptr;
};

// What a command's help says besides its options' lines.
struct TCommandRow {
    TCliCommand Command = TCliCommand::None;
    std::string_view Word = {};
    std::string_view Summary = {};  // its line in the tool's help
    std::string_view Intro = {};
    std::string_view Closing = {};
};

// All rows, in the order of the help.
std::span<const TOptionRow> OptionRows();
std::span<const TGroupRow> GroupRows();
// Every command, in the order of the tool's usage, then the tool itself (None).
std::span<const TCommandRow> CommandRows();

// The row of name that command takes, or nullptr.
const TOptionRow* FindOption(TCliCommand command, std::string_view name);

// The positional argument's row of command, or nullptr.
const TOptionRow* PositionalOption(TCliCommand command);

const TGroupRow& GroupOf(TOptionGroup group);
const TCommandRow& CommandOf(TCliCommand command);

bool Takes(const TOptionRow& row, TCliCommand command);
bool Needed(const TOptionRow& row, TCliCommand command);
bool InGroup(const TOptionRow& row, TOptionGroup group);

// The terms of group's Needs as command takes them: per term its options
// (more than one: alternatives); a term of options command lacks is left out.
std::vector<std::vector<const TOptionRow*>> NeedsTerms(const TGroupRow& group, TCliCommand command);

// The option lines of command's help: "  NAME VALUE" padded to the help column,
// then the help with Default in place of "{default}".
std::string OptionHelpLines(TCliCommand command);

}  // namespace morvane
