#pragma once

// The signal table: entry k stands for crank angle k/2 degrees.

#include <array>

namespace morvane {

constexpr int SignalPoints = 1441;
using TSignalTable = std::array<double, SignalPoints>;

}  // namespace morvane
