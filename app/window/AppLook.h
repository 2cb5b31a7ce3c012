#pragma once

// The application-wide look the window's layout is measured in: Tahoma at 11
// pixels. The program, the window test and the start-up benchmark all use it,
// so they measure the same window.

namespace morvane {

// Call once the QApplication exists, before any window is created.
void SetUpApplicationLook();

}  // namespace morvane
