#pragma once

// The window's pages in the order of their tabs: a new page is one row.

#include <vector>

namespace morvane {

class TSetupPage;
struct TPageSession;

struct TPageEntry {
    const char* Title;
    // Built the first time the page is shown, so the window's first frame
    // costs only the pages of the event list.
    bool BuiltWhenShown;
    TSetupPage* (*Build)(TPageSession& session);
};

const std::vector<TPageEntry>& WindowPages();

}  // namespace morvane
