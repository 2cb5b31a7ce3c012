#pragma once

// combustion --engine SETUP: a set-up file gives, besides its cylinder table,
// the page "Spalování"'s geometry, pegging and knock settings and the last
// encoder import's options, as if they were typed after the command line's
// own; an option the command line gives wins (the pegging options as one).

#include <string>
#include <vector>

namespace morvane {

// The arguments with the set-up's options added after them; unchanged for
// another command, without --engine, or when --engine names no readable
// set-up (the command then reads it as a cylinder table and says what is wrong).
std::vector<std::string> WithEngineSetup(const std::vector<std::string>& arguments);

}  // namespace morvane
