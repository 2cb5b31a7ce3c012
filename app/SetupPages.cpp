#include "app/SetupPages.h"

#include <QLineEdit>
#include <QWidget>

#include <string>
#include <vector>

#include "app/QtControls.h"

namespace morvane {

namespace {

struct TPageField {
    const char* ObjectName;
    std::string* Text;
};

// Every text field of the two pages, with the set-up text it holds.
std::vector<TPageField> PageFields(TSetup& setup) {
    TValveTimingTexts& valves = setup.ValveTiming;
    TCombustionTexts& geometry = setup.Combustion.Geometry;
    return {
        {"FiringOrderEdit", &valves.FiringOrder},
        {"FiringIntervalsEdit", &valves.Intervals},
        {"CamIntakeDurationEdit", &valves.IntakeDuration},
        {"CamExhaustDurationEdit", &valves.ExhaustDuration},
        {"CamIntakeCentrelineEdit", &valves.IntakeCentreline},
        {"CamExhaustCentrelineEdit", &valves.ExhaustCentreline},
        {"BoreEdit", &geometry.Bore},
        {"StrokeEdit", &geometry.Stroke},
        {"RodEdit", &geometry.Rod},
        {"CompressionEdit", &geometry.Compression},
        {"GammaEdit", &geometry.Gamma},
        {"WindowStartEdit", &geometry.WindowStart},
        {"WindowEndEdit", &geometry.WindowEnd},
        {"TdcShiftEdit", &setup.Combustion.TdcShift},
    };
}

QLineEdit* FieldOf(const QWidget& root, const char* objectName) {
    return root.findChild<QLineEdit*>(QString::fromLatin1(objectName));
}

}  // namespace

void TakePageTexts(const QWidget& root, TSetup& setup) {
    for (const TPageField& field : PageFields(setup)) {
        if (const QLineEdit* edit = FieldOf(root, field.ObjectName)) {
            *field.Text = ToStdString(edit->text());
        }
    }
}

void FillPageTexts(const TSetup& setup, QWidget& root) {
    TSetup texts = setup;
    for (const TPageField& field : PageFields(texts)) {
        if (QLineEdit* edit = FieldOf(root, field.ObjectName)) {
            edit->setText(ToQString(*field.Text));
        }
    }
}

}  // namespace morvane
