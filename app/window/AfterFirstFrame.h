#pragma once

// Runs work just after a window's first frame is on screen: what the first
// frame does not show (the icon, the pages behind the first) need not delay
// it. The work runs inside the first expose, so it is done before the event
// loop hands the user's first input to the window.

#include <functional>

class QWidget;

namespace morvane {

void AfterFirstFrame(QWidget* window, std::function<void()> work);

}  // namespace morvane
