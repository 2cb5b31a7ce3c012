// morvane-cli: the batch tool. Starts the core's modules, runs one command
// line and stops the modules.

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/BatchCommands.h"
#include "cli/FileWorkers.h"
#include "cli/TerminalProgress.h"
#include "events/Lifecycle.h"

int main(int argc, char* argv[]) {
    morvane::StartupModules();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    int exitCode = morvane::RunCommandLine(arguments, std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout && exitCode == morvane::kExitSuccess) {
        // A full disk or a closed pipe must not pass for a complete result.
        std::cerr << "morvane-cli: cannot write the result to standard output\n";
        exitCode = morvane::kExitFailure;
    }
    if (morvane::WorkWasLeftBehind()) {
        // A thread is still inside a file given up on: ending here, without
        // shutting down what it may use, keeps it from touching freed state.
        // The progress line of that file is erased and stays away.
        const auto quiet = morvane::TTerminalProgress::standard().pause();
        std::cerr.flush();
        std::_Exit(exitCode);
    }
    morvane::ShutdownModules();
    return exitCode;
}
