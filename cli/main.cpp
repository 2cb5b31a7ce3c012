// morvane-cli: the batch tool. Starts the core's modules, runs one command
// line and stops the modules.

#include <iostream>
#include <string>
#include <vector>

#include "cli/BatchCommands.h"
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
    morvane::ShutdownModules();
    return exitCode;
}
