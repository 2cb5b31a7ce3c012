#pragma once

// Program start-up and shut-down of the core's modules, in their fixed order.
// The program's state is not among them: each window and batch run owns a
// TSession (events/Session.h) from its creation to its end.

namespace morvane {

// Math utilities (parser instance, degree tables, random seed), then the
// dialog utilities' constants.
void StartupModules();

// The reverse order: the math utilities last.
void ShutdownModules();

}  // namespace morvane
