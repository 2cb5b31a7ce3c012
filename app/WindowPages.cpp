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
    static const std::vector<TPageEntry> kPages = {
        {"Editace", kAtStart, &Build<TEditPage>},            // app/EditPage.h
        {"Korekce", kAtStart, &Build<TCorrectionPage>},      // app/CorrectionPage.h
        {"Časová osa", kAtStart, &Build<TTimelinePage>},     // app/TimelinePage.h
        {"Rozvod", kWhenShown, &Build<TValveTimingPage>},    // app/ValveTimingPage.h
        {"Spalování", kWhenShown, &Build<TCombustionPage>},  // app/CombustionPage.h
    };
    return kPages;
}

}  // namespace morvane
