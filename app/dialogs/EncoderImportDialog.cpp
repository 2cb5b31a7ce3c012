#include "app/dialogs/EncoderImportDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/widgets/QtControls.h"
#include "util/dialogutil.h"

namespace morvane {

namespace {

// Recordings come as text (.csv, .txt, .dat), MDF 4 or MATLAB files; the
// dialog may show every file too (the reader knows a file by its content).
const std::string kRecordingFilter =
    "Měření (*.csv *.txt *.dat *.mf4 *.mdf *.mat)|*.csv|Všechny soubory (*)|*";

}  // namespace

TEncoderImportDialog::TEncoderImportDialog(const TEncoderTexts& texts, IOpenDialog* browse, QWidget* parent)
    : QDialog(parent), m_browse(browse), m_given(texts) {
    setObjectName("EncoderImportDialog");
    setWindowTitle("Import signálu ze snímače otáček");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    auto* fileRow = new QHBoxLayout;
    m_pathEdit = new QLineEdit(ToQString(texts.Path), this);
    m_pathEdit->setObjectName("EncoderFileEdit");
    m_pathEdit->setMinimumWidth(300);
    auto* browseButton = new QPushButton("Procházet...", this);
    browseButton->setObjectName("EncoderBrowseButton");
    fileRow->addWidget(m_pathEdit);
    fileRow->addWidget(browseButton);
    form->addRow("Soubor", fileRow);

    m_wheelEdit = addEntry(form, "Kolo (zuby-chybějící)", texts.Wheel, "EncoderWheelEdit");
    m_referenceAngleEdit =
        addEntry(form, "Úhel referenční hrany [°]", texts.ReferenceAngle, "EncoderReferenceAngleEdit");
    m_encoderColumnEdit = addEntry(form, "Sloupec snímače", texts.EncoderColumn, "EncoderColumnEdit");
    m_valueColumnEdit = addEntry(form, "Sloupec signálu", texts.ValueColumn, "EncoderValueColumnEdit");
    m_timeColumnEdit = addEntry(form, "Sloupec času [s]", texts.TimeColumn, "EncoderTimeColumnEdit");
    m_timeColumnEdit->setPlaceholderText("bez sloupce času");
    m_sampleRateEdit = addEntry(form, "Vzorkovací frekvence [Hz]", texts.SampleRate, "EncoderSampleRateEdit");
    m_indexColumnEdit = addEntry(form, "Sloupec indexu", texts.IndexColumn, "EncoderIndexColumnEdit");
    m_indexColumnEdit->setPlaceholderText("jen pro kolo bez mezery");
    m_pressureScaleEdit =
        addEntry(form, "Citlivost snímače [bar/jednotka]", texts.PressureScale, "PressureScaleEdit");
    m_pressureScaleEdit->setPlaceholderText("prázdné: signál není tlak");
    m_pressureColumnsEdit =
        addEntry(form, "Sloupce tlaku válců", texts.PressureColumns, "PressureColumnsEdit");
    m_pressureColumnsEdit->setPlaceholderText("jen Sloupec signálu");
    m_pressureColumnsEdit->setToolTip(
        "Záznam více válců: sloupec tlaku každého válce od válce 1, např. 2,3,4,5; cykly válce začínají u "
        "jeho "
        "přesazení z tabulky válců");

    m_phaseBox = new QComboBox(this);
    m_phaseBox->setObjectName("EncoderPhaseBox");
    m_phaseBox->addItems({"podle maxima signálu", "první otáčka", "druhá otáčka"});
    m_phaseBox->setCurrentIndex(texts.Phase);
    form->addRow("Začátek cyklu", m_phaseBox);

    // The sample rate matters only without a time column.
    auto updateSampleRate = [this] {
        m_sampleRateEdit->setEnabled(m_timeColumnEdit->text().trimmed().isEmpty());
    };
    connect(m_timeColumnEdit, &QLineEdit::textChanged, this, updateSampleRate);
    updateSampleRate();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Importovat");
    buttons->button(QDialogButtonBox::Cancel)->setText("Storno");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browseButton, &QPushButton::clicked, this, &TEncoderImportDialog::browseForFile);
}

QLineEdit* TEncoderImportDialog::addEntry(QFormLayout* form, const QString& caption, const std::string& text,
                                          const QString& objectName) {
    auto* edit = new QLineEdit(ToQString(text), this);
    edit->setObjectName(objectName);
    form->addRow(caption, edit);
    return edit;
}

void TEncoderImportDialog::browseForFile() {
    const std::string path = ExecuteOpenDialog(m_browse, kRecordingFilter, ToStdString(m_pathEdit->text()));
    if (!path.empty()) {
        m_pathEdit->setText(ToQString(path));
    }
}

TEncoderTexts TEncoderImportDialog::texts() const {
    TEncoderTexts texts = m_given;
    texts.Path = ToStdString(m_pathEdit->text());
    texts.Wheel = ToStdString(m_wheelEdit->text());
    texts.ReferenceAngle = ToStdString(m_referenceAngleEdit->text());
    texts.EncoderColumn = ToStdString(m_encoderColumnEdit->text());
    texts.ValueColumn = ToStdString(m_valueColumnEdit->text());
    texts.TimeColumn = ToStdString(m_timeColumnEdit->text());
    texts.SampleRate = ToStdString(m_sampleRateEdit->text());
    texts.IndexColumn = ToStdString(m_indexColumnEdit->text());
    texts.Phase = m_phaseBox->currentIndex();
    texts.PressureScale = ToStdString(m_pressureScaleEdit->text());
    texts.PressureColumns = ToStdString(m_pressureColumnsEdit->text());
    return texts;
}

}  // namespace morvane
