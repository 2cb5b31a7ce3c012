#pragma once

// Every option of the batch tool, declared once: its name, its value's name
// and help line, the commands that take it, its default, the rule that reads
// and checks its value, and where the value goes. Parsing, the help and the
// usage mistakes all come from these rows, so a new option is one new row.

#include <span>
#include <string>
#include <string_view>

#include "cli/Arguments.h"
#include "cli/OptionRules.h"

namespace morvane {

// A set of commands, one bit per TCliCommand.
using TCommandSet = unsigned;

constexpr TCommandSet CommandBit(TCliCommand command) {
    return 1U << static_cast<unsigned>(command);
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
    TCommandSet Commands = 0;         // the commands that take it
    TCommandSet Listed = 0;           // the commands whose help lists it
    TValueRule Rule = {};
    std::string_view Default = {};  // read by Rule and applied before the command line; empty: none
    std::string_view Missing = {};  // non-empty: the option is required, and this is the mistake without it
    std::string_view Needs = {};    // another option it goes only with
    std::string_view NeedsMistake = {};  // the mistake when Needs is absent; empty: "<Name> needs <Needs>"
    TOnlyWith OnlyWith = {};             // given without one of those values, the option is a mistake
    bool Encoder = false;                // an encoder option besides --encoder (checked as a group)
    bool Repeats = false;  // the positional argument may be given more than once, Apply runs per value
    void (*Apply)(TCliArguments& arguments, const TOptionValue& value) = nullptr;
};

// All rows, in the order of the help.
std::span<const TOptionRow> OptionRows();

// The row of name that command takes, or nullptr.
const TOptionRow* FindOption(TCliCommand command, std::string_view name);

// The positional argument's row of command, or nullptr.
const TOptionRow* PositionalOption(TCliCommand command);

// The option lines of command's help: "  NAME VALUE" padded to the help column,
// then the help with Default in place of "{default}".
std::string OptionHelpLines(TCliCommand command);

}  // namespace morvane
