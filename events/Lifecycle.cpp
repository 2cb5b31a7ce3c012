#include "events/Lifecycle.h"

#include "util/mathutil.h"

namespace morvane {

void StartupModules() {
    MathUtilStartup();
    // The dialog utilities' text constants are constant-initialised strings.
}

void ShutdownModules() {
    MathUtilShutdown();
}

}  // namespace morvane
