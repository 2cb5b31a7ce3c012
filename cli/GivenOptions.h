#pragma once

// What the words after the command gave, before and while their values are read.

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/OptionTable.h"

namespace morvane {

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

struct TGiven {
    std::set<std::string> Names;        // the options and the positional argument given
    std::vector<TGivenOption> Options;  // in the order given
    std::vector<std::string> Positional;
    std::vector<TGivenPath> Paths;
};

// The text given for the option name, or its default.
std::string_view GivenText(TCliCommand command, const TGiven& given, std::string_view name);

}  // namespace morvane
