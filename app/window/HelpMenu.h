#pragma once

// The menu "Nápověda", after the others: "O programu" (version, licence and
// what the program is for) and "Klávesy" (every key of the window in one list).

class QMainWindow;

namespace morvane {

void AddHelpMenu(QMainWindow& window);

}  // namespace morvane
