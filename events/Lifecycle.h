#pragma once

// Program start-up and shut-down of the core's modules, in their fixed order.

namespace morvane {

// The main-window module's globals at start: no events, global correction 0,
// both signal tables 0, no remembered import path.
void ResetMainModuleState();

// Math utilities (parser instance, degree tables, random seed), then the
// dialog utilities' constants, then the main-window module's globals.
void StartupModules();

// The reverse order: the main-window module's state, then the math utilities.
void ShutdownModules();

}  // namespace morvane
