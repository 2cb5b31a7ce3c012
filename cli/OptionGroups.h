#pragma once

// The rules of the option groups (cli/OptionTable.cpp, kGroups) applied to a
// command line. A group led by an option is judged with the options' form,
// before the required options; a group opened by any member once those are known.

#include "cli/GivenOptions.h"

namespace morvane {

// A command that needs one of a group's members.
void CheckRequiredGroups(TCliCommand command, const TGiven& given);

// The groups whose lead the command takes: members without it are a mistake.
void CheckLedGroups(TCliArguments& result, const TGiven& given);

// The groups any member opens where the command has no lead.
void CheckOpenedGroups(TCliArguments& result, const TGiven& given);

// A choice of another option that needs every member ("--peg polytropic").
void CheckNeededWhen(TCliCommand command, const TGiven& given);

}  // namespace morvane
