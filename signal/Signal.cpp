#include "signal/Signal.h"

namespace morvane {

TSignalTable Signal{};
TSignalTable SignalTrend{};
std::string LastImportFile;

}  // namespace morvane
