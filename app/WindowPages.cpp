#include "app/WindowPages.h"

#include "app/CombustionPage.h"
#include "app/CorrectionPage.h"
#include "app/EditPage.h"
#include "app/TimelinePage.h"
#include "app/ValveTimingPage.h"

namespace morvane {

namespace {

template <class TPage>
TSetupPage* Build(TPageSession& session) {
    return new TPage(session);
}

constexpr bool kAtStart = false;
constexpr bool kWhenShown = true;

}  // namespace

// A page reads what others show from the session, so a page comes after those it reads.
const std::vector<TPageEntry>& WindowPages() {
    static const std::vector<TPageEntry> pages = {
        {"Editace", kAtStart, &Build<TEditPage>},           {"Korekce", kAtStart, &Build<TCorrectionPage>},
        {"Časová osa", kAtStart, &Build<TTimelinePage>},    {"Rozvod", kWhenShown, &Build<TValveTimingPage>},
        {"Spalování", kWhenShown, &Build<TCombustionPage>},
    };
    return pages;
}

}  // namespace morvane
