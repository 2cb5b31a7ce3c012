#pragma once

// The dialog of "Import signal (ENCODER)...": the recording, its wheel, the
// reference angle and the columns, as typed. The window keeps the texts
// between imports, so the dialog opens with the last values of the run.

#include <QDialog>

#include "app/dialogs/ChannelBox.h"
#include "signal/import/EncoderSettings.h"

class QComboBox;
class QFormLayout;
class QLineEdit;

namespace morvane {

class IOpenDialog;

class TEncoderImportDialog : public QDialog {
    Q_OBJECT

public:
    // browse is the window's open dialog; it outlives this one.
    TEncoderImportDialog(const TEncoderTexts& texts, IOpenDialog* browse, QWidget* parent = nullptr);

    // The entries as they stand.
    TEncoderTexts texts() const;

private:
    QLineEdit* addEntry(QFormLayout* form, const QString& caption, const std::string& text,
                        const QString& objectName);
    void addColumnEntries(QFormLayout* form, const TEncoderTexts& texts);
    TChannelBox* addChannelEntry(QFormLayout* form, const QString& caption, const std::string& text,
                                 const QString& objectName, TChannelPick pick = TChannelPick::Replace);
    void browseForFile();
    void offerChannels();

    IOpenDialog* m_browse;
    // What the dialog does not show (the knock settings of the page) passes through.
    TEncoderTexts m_given;
    QLineEdit* m_pathEdit = nullptr;
    QLineEdit* m_wheelEdit = nullptr;
    QLineEdit* m_referenceAngleEdit = nullptr;
    TChannelBox* m_encoderColumnBox = nullptr;
    TChannelBox* m_valueColumnBox = nullptr;
    TChannelBox* m_timeColumnBox = nullptr;
    QLineEdit* m_sampleRateEdit = nullptr;
    TChannelBox* m_indexColumnBox = nullptr;
    TChannelBox* m_pressureColumnsBox = nullptr;
    QLineEdit* m_pressureScaleEdit = nullptr;
    QComboBox* m_phaseBox = nullptr;
    // The file whose channels the column fields offer.
    QString m_listedPath;
};

}  // namespace morvane
