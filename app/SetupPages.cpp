#include "app/SetupPages.h"

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "app/QtControls.h"
#include "app/ValveTimingPage.h"
#include "signal/PressureReference.h"

namespace morvane {

namespace {

struct TPageField {
    const char* ObjectName;
    std::string* Text;
};

// Every text field of the two pages, with the set-up text it holds.
std::vector<TPageField> PageFields(TSetup& setup) {
    TValveTimingTexts& valves = setup.ValveTiming;
    TCombustionSetupTexts& burn = setup.Combustion;
    TCombustionTexts& geometry = burn.Geometry;
    TEncoderTexts& encoder = setup.SignalImport.Encoder;
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
        {"TdcShiftEdit", &burn.TdcShift},
        {"LossAngleEdit", &burn.LossAngle},
        {"PegRangeEdit", &burn.PegRange},
        {"PegPressureEdit", &burn.PegPressure},
        {"PegExponentEdit", &burn.PegExponent},
        {"KnockBandEdit", &encoder.KnockBand},
        {"KnockThresholdEdit", &encoder.KnockThreshold},
    };
}

QLineEdit* FieldOf(const QWidget& root, const char* objectName) {
    return root.findChild<QLineEdit*>(QString::fromLatin1(objectName));
}

// The pegging method's list holds the methods in the order of TPegMethod.
QComboBox* PegMethodBoxOf(const QWidget& root) {
    return root.findChild<QComboBox*>(QStringLiteral("PegMethodBox"));
}

// The page "Rozvod" is the root itself when the window fills a page just built.
const TValveTimingPage* ValvePageOf(const QWidget& root) {
    if (const auto* page = qobject_cast<const TValveTimingPage*>(&root)) {
        return page;
    }
    return root.findChild<TValveTimingPage*>();
}

TValveTimingPage* ValvePageOf(QWidget& root) {
    if (auto* page = qobject_cast<TValveTimingPage*>(&root)) {
        return page;
    }
    return root.findChild<TValveTimingPage*>();
}

}  // namespace

void TakePageTexts(const QWidget& root, TSetup& setup) {
    for (const TPageField& field : PageFields(setup)) {
        if (const QLineEdit* edit = FieldOf(root, field.ObjectName)) {
            *field.Text = ToStdString(edit->text());
        }
    }
    if (const QComboBox* box = PegMethodBoxOf(root)) {
        setup.Combustion.PegMethod = PegMethodName(TPegMethod(box->currentIndex()));
    }
    if (const TValveTimingPage* valves = ValvePageOf(root)) {
        setup.ValveTiming.SelectedCylinder = valves->selectedCylinder();
    }
}

void FillPageTexts(const TSetup& setup, QWidget& root) {
    TSetup texts = setup;
    for (const TPageField& field : PageFields(texts)) {
        if (QLineEdit* edit = FieldOf(root, field.ObjectName)) {
            edit->setText(ToQString(*field.Text));
        }
    }
    const std::optional<TPegMethod> method = PegMethodNamed(setup.Combustion.PegMethod);
    if (QComboBox* box = PegMethodBoxOf(root); box != nullptr && method) {
        box->setCurrentIndex(int(*method));
    }
    if (TValveTimingPage* valves = ValvePageOf(root)) {
        valves->selectCylinder(setup.ValveTiming.SelectedCylinder);
    }
}

}  // namespace morvane
