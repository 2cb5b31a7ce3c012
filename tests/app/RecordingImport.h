#pragma once

// A synthetic encoder recording of six revolutions imported through the
// window's "Import signal (ENCODER)..." dialog, as a user would.

#include <QAction>
#include <QByteArray>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QWidget>

#include "tests/app/ModalBoxCatcher.h"
#include "tests/support/SyntheticRecording.h"

namespace morvane::testing {

// The recording's text, to be written where the test keeps its files.
inline QByteArray SixRevolutionRecording() {
    TSynthetic recording;
    recording.Revolutions = 6;
    return QByteArray::fromStdString(RecordingText(RecordingLines(recording)));
}

// Imports the recording at path with the sensor's scale (empty: none) and
// returns the import's summary.
inline QString ImportRecording(QWidget& window, const QString& path, const QString& scale) {
    QString summary;
    TModalBoxCatcher catcher([&](QWidget* modal) {
        if (modal->objectName() == "EncoderImportDialog") {
            modal->findChild<QLineEdit*>("EncoderFileEdit")->setText(path);
            modal->findChild<QLineEdit*>("PressureScaleEdit")->setText(scale);
            static_cast<QDialog*>(modal)->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            summary = box->text();
            box->accept();
        }
    });
    window.findChild<QAction*>("ImportSig3")->trigger();
    return summary;
}

}  // namespace morvane::testing
