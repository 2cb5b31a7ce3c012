#pragma once

// The window's pages in the order of their tabs: a new page is one row.

#include <vector>

namespace morvane {

class TSetupPage;
struct TPageSession;

// When a page is built. The first frame shows one page, so it waits for no
// other: the light pages follow right after it, before the user can reach
// them; the heavy ones (plots) the first time they are shown.
enum class TPageBuilt { AtStart, AfterFirstFrame, WhenShown };

struct TPageEntry {
    const char* Title;
    TPageBuilt When;
    TSetupPage* (*Build)(TPageSession& session);
};

const std::vector<TPageEntry>& WindowPages();

}  // namespace morvane
