#pragma once

// The batch tool's commands. They hold the window's controls in memory, filled
// as the window's start-up fills them, and run the same core commands the
// window's handlers run, so every text they print is one the window shows.

#include <ostream>
#include <string>
#include <vector>

#include "util/controls.h"
#include "util/numtext.h"
#include "util/textfile.h"

namespace morvane {

// Exit codes of the tool.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;  // a failure of the core; stderr holds the error box's text
constexpr int kExitUsage = 2;    // a mistake in the command line

// The batch tool reads and writes numbers as the window does.
constexpr TNumberFormat kBatchNumbers = kDecimalComma;

// Runs the arguments after the program name and returns the exit code.
// Results go to out only when the whole command succeeded; summaries, the
// error box's text and usage mistakes go to err.
int RunCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace morvane
