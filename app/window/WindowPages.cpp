#include "app/window/WindowPages.h"

#include "app/pages/CombustionPage.h"
#include "app/pages/CorrectionPage.h"
#include "app/pages/EditPage.h"
#include "app/pages/TimelinePage.h"
#include "app/pages/ValveTimingPage.h"

namespace morvane {

namespace {

template <class TPage>
TSetupPage* Build(TPageSession& session) {
    return new TPage(session);
}

constexpr TPageBuilt kAtStart = TPageBuilt::AtStart;
constexpr TPageBuilt kAfterFirstFrame = TPageBuilt::AfterFirstFrame;
constexpr TPageBuilt kWhenShown = TPageBuilt::WhenShown;

}  // namespace

// A page reads what others show from the session, so a page comes after those it reads.
const std::vector<TPageEntry>& WindowPages() {
    static const std::vector<TPageEntry> kPages = {
        {"Editace", kAtStart, &Build<TEditPage>},                 // app/pages/EditPage.h
        {"Korekce", kAfterFirstFrame, &Build<TCorrectionPage>},   // app/pages/CorrectionPage.h
        {"Časová osa", kAfterFirstFrame, &Build<TTimelinePage>},  // app/pages/TimelinePage.h
        {"Rozvod", kWhenShown, &Build<TValveTimingPage>},         // app/pages/ValveTimingPage.h
        {"Spalování", kWhenShown, &Build<TCombustionPage>},       // app/pages/CombustionPage.h
    };
    return kPages;
}

}  // namespace morvane
