#include "app/dialogs/EncoderImportDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

#include "app/dialogs/ChannelBox.h"
#include "app/widgets/QtControls.h"
#include "signal/import/RecordingSource.h"
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
    addColumnEntries(form, texts);
    m_pressureScaleEdit =
        addEntry(form, "Citlivost snímače [bar/jednotka]", texts.PressureScale, "PressureScaleEdit");
    m_pressureScaleEdit->setPlaceholderText("prázdné: signál není tlak");
    m_pressureColumnsBox = addChannelEntry(form, "Sloupce tlaku válců", texts.PressureColumns,
                                           "PressureColumnsEdit", TChannelPick::Append);
    m_pressureColumnsBox->lineEdit()->setPlaceholderText("jen Sloupec signálu");
    m_pressureColumnsBox->setToolTip(
        "Záznam více válců: sloupec tlaku každého válce od válce 1, např. 2,3,4,5; cykly válce začínají u "
        "jeho "
        "přesazení z tabulky válců");

    m_phaseBox = new QComboBox(this);
    m_phaseBox->setObjectName("EncoderPhaseBox");
    m_phaseBox->addItems({"podle maxima signálu", "první otáčka", "druhá otáčka"});
    m_phaseBox->setCurrentIndex(texts.Phase);
    form->addRow("Začátek cyklu", m_phaseBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Importovat");
    buttons->button(QDialogButtonBox::Cancel)->setText("Storno");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browseButton, &QPushButton::clicked, this, &TEncoderImportDialog::browseForFile);
    connect(m_pathEdit, &QLineEdit::editingFinished, this, &TEncoderImportDialog::offerChannels);
    offerChannels();
}

void TEncoderImportDialog::addColumnEntries(QFormLayout* form, const TEncoderTexts& texts) {
    m_encoderColumnBox = addChannelEntry(form, "Sloupec snímače", texts.EncoderColumn, "EncoderColumnEdit");
    m_valueColumnBox = addChannelEntry(form, "Sloupec signálu", texts.ValueColumn, "EncoderValueColumnEdit");
    m_timeColumnBox = addChannelEntry(form, "Sloupec času [s]", texts.TimeColumn, "EncoderTimeColumnEdit");
    m_timeColumnBox->lineEdit()->setPlaceholderText("bez sloupce času");
    m_sampleRateEdit = addEntry(form, "Vzorkovací frekvence [Hz]", texts.SampleRate, "EncoderSampleRateEdit");
    m_indexColumnBox = addChannelEntry(form, "Sloupec indexu", texts.IndexColumn, "EncoderIndexColumnEdit");
    m_indexColumnBox->lineEdit()->setPlaceholderText("jen pro kolo bez mezery");
    // The sample rate matters only without a time column.
    auto updateSampleRate = [this] {
        m_sampleRateEdit->setEnabled(m_timeColumnBox->text().trimmed().isEmpty());
    };
    connect(m_timeColumnBox, &QComboBox::editTextChanged, this, updateSampleRate);
    updateSampleRate();
}

QLineEdit* TEncoderImportDialog::addEntry(QFormLayout* form, const QString& caption, const std::string& text,
                                          const QString& objectName) {
    auto* edit = new QLineEdit(ToQString(text), this);
    edit->setObjectName(objectName);
    form->addRow(caption, edit);
    return edit;
}

TChannelBox* TEncoderImportDialog::addChannelEntry(QFormLayout* form, const QString& caption,
                                                   const std::string& text, const QString& objectName,
                                                   TChannelPick pick) {
    auto* box = new TChannelBox(ToQString(text), objectName, pick, this);
    form->addRow(caption, box);
    return box;
}

// A file that cannot be listed (missing, still being typed, damaged) leaves
// the fields as they are: the import itself says what is wrong.
void TEncoderImportDialog::offerChannels() {
    const QString path = m_pathEdit->text().trimmed();
    if (path.isEmpty() || path == m_listedPath) {
        return;
    }
    QStringList names;
    try {
        for (const std::string& name : ChannelChoices(ToStdString(path))) {
            names << ToQString(name);
        }
    } catch (const std::exception&) {
        return;
    }
    m_listedPath = path;
    for (TChannelBox* box :
         {m_encoderColumnBox, m_valueColumnBox, m_timeColumnBox, m_indexColumnBox, m_pressureColumnsBox}) {
        box->offer(names);
    }
}

void TEncoderImportDialog::browseForFile() {
    const std::string path = ExecuteOpenDialog(m_browse, kRecordingFilter, ToStdString(m_pathEdit->text()));
    if (!path.empty()) {
        m_pathEdit->setText(ToQString(path));
        offerChannels();
    }
}

TEncoderTexts TEncoderImportDialog::texts() const {
    TEncoderTexts texts = m_given;
    texts.Path = ToStdString(m_pathEdit->text());
    texts.Wheel = ToStdString(m_wheelEdit->text());
    texts.ReferenceAngle = ToStdString(m_referenceAngleEdit->text());
    texts.EncoderColumn = ToStdString(m_encoderColumnBox->text());
    texts.ValueColumn = ToStdString(m_valueColumnBox->text());
    texts.TimeColumn = ToStdString(m_timeColumnBox->text());
    texts.SampleRate = ToStdString(m_sampleRateEdit->text());
    texts.IndexColumn = ToStdString(m_indexColumnBox->text());
    texts.Phase = m_phaseBox->currentIndex();
    texts.PressureScale = ToStdString(m_pressureScaleEdit->text());
    texts.PressureColumns = ToStdString(m_pressureColumnsBox->text());
    return texts;
}

}  // namespace morvane
