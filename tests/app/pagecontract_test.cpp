// The page contract: every page the window lists gives back its part of the
// set-up as it was put in, so a page added to the list is saved and opened whole.

#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "app/pages/PageSession.h"
#include "app/pages/SetupPage.h"
#include "app/window/WindowPages.h"
#include "events/Setup.h"
#include "tests/support/WindowFixture.h"
#include "util/messages.h"

using namespace morvane;

namespace {

class TRecordedBoxes : public IMessageBoxes {
public:
    std::vector<std::string> Texts;
    void ShowInfo(const std::string& text) override { Texts.push_back(text); }
    void ShowErrorBox(const std::string& text) override { Texts.push_back(text); }
};

// A set-up whose every text and choice that a page shows differs from a fresh window's.
TSetup EveryPageFieldChanged() {
    TSetup setup;
    setup.Cylinders = "4";
    setup.Strokes = "2";
    setup.Speed = "2500";
    for (std::size_t row = 0; row < setup.CylinderTable.size(); ++row) {
        for (std::size_t column = 0; column < setup.CylinderTable[row].size(); ++column) {
            setup.CylinderTable[row][column] = std::to_string(row * 10 + column);
        }
    }
    setup.GlobalCorrection = "1,5";
    setup.CrankAngle = 90;
    setup.Filter = 5;
    setup.Gain = 20;
    setup.KindsShown = {false, true, false, true};
    TValveTimingTexts& valves = setup.ValveTiming;
    valves.FiringOrder = "1-3-4-2";
    valves.Intervals = "90;270;90;270";
    valves.IntakeDuration = "250";
    valves.ExhaustDuration = "260";
    valves.IntakeCentreline = "104";
    valves.ExhaustCentreline = "112";
    valves.SelectedCylinder = 3;
    TCombustionSetupTexts& burn = setup.Combustion;
    TCombustionTexts& geometry = burn.Geometry;
    geometry.Bore = "82,5";
    geometry.Stroke = "90";
    geometry.Rod = "140";
    geometry.Compression = "10.5";
    geometry.Gamma = "1,3";
    geometry.WindowStart = "-20";
    geometry.WindowEnd = "100";
    burn.TdcShift = "0,7";
    burn.LossAngle = "0,8";
    burn.PegMethod = "polytropic";
    burn.PegRange = "240,290";
    burn.PegPressure = "1";
    burn.PegExponent = "1,3";
    burn.CyclePath = "/nikde/cyklus.csv";
    setup.SignalImport.Encoder.KnockBand = "5000,18000";
    setup.SignalImport.Encoder.KnockThreshold = "0,8";
    return setup;
}

}  // namespace

class PageContractTest : public QObject {
    Q_OBJECT

private slots:
    void everyPageGivesBackItsPartOfTheSetup() {
        TSession session;
        TRecordedBoxes boxes;
        TPageSession shared{.Session = session, .Boxes = boxes, .OpenDialog = nullptr};
        const auto host = std::make_unique<QWidget>();
        std::vector<TSetupPage*> pages;
        for (const TPageEntry& entry : WindowPages()) {
            pages.push_back(entry.Build(shared));
            pages.back()->setParent(host.get());
        }
        const TSetup put = EveryPageFieldChanged();
        QVERIFY(!(put == TSetup{}));
        for (TSetupPage* page : pages) {
            page->fillSetup(put);
        }
        TSetup taken;
        for (const TSetupPage* page : pages) {
            page->takeSetup(taken);
        }
        QVERIFY(taken == put);
        QVERIFY(boxes.Texts.empty());
    }
};

int main(int argc, char* argv[]) {
    return morvane::testing::RunWindowTest<PageContractTest>(argc, argv);
}

#include "pagecontract_test.moc"
