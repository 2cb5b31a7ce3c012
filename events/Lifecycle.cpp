#include "events/Lifecycle.h"

#include "events/EngineEvent.h"
#include "signal/Signal.h"
#include "util/mathutil.h"

namespace morvane {

void ResetMainModuleState() {
    Events.clear();
    GlobalCorrection = 0;
    Signal.fill(0);
    SignalTrend.fill(0);
    LastImportFile.clear();
}

void StartupModules() {
    MathUtilStartup();
    // The dialog utilities' text constants are constant-initialised strings.
    ResetMainModuleState();
}

void ShutdownModules() {
    Events.clear();
    Events.shrink_to_fit();
    LastImportFile.clear();
    MathUtilShutdown();
}

}  // namespace morvane
