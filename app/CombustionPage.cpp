#include "app/CombustionPage.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/ImageView.h"
#include "app/QtControls.h"
#include "signal/CombustionInputs.h"
#include "signal/EngineGeometry.h"
#include "timeline/BurnDiagram.h"
#include "timeline/PvDiagram.h"
#include "util/dialogutil.h"
#include "util/messages.h"

namespace morvane {

namespace {

constexpr int kSideWidth = 230;
constexpr int kEntryWidth = 70;
constexpr int kRowHeight = 20;
constexpr int kNameColumnWidth = 140;
const char* const kNoCycleText = "Tlakový průběh nenačten";

QLabel* MakeCaption(const QString& text, QWidget* parent) {
    auto* caption = new QLabel(text, parent);
    caption->setAlignment(Qt::AlignCenter);
    return caption;
}

}  // namespace

TCombustionPage::TCombustionPage(IMessageBoxes& boxes, IOpenDialog* dialog, TSession& session,
                                 QWidget* parent)
    : QWidget(parent), m_boxes(boxes), m_dialog(dialog), m_session(session) {
    setObjectName("CombustionPage");
    auto* side = new QVBoxLayout;
    m_loadButton = new QPushButton("Načíst tlakový průběh...", this);
    m_loadButton->setObjectName("LoadCycleButton");
    side->addWidget(m_loadButton);
    m_fileLabel = new QLabel(kNoCycleText, this);
    m_fileLabel->setObjectName("CycleFileLabel");
    m_fileLabel->setWordWrap(true);
    side->addWidget(m_fileLabel);

    auto* form = new QFormLayout;
    side->addLayout(form);
    const TCombustionTexts texts;
    m_boreEdit = addEntry(form, "Vrtání [mm]", texts.Bore, "BoreEdit");
    m_strokeEdit = addEntry(form, "Zdvih [mm]", texts.Stroke, "StrokeEdit");
    m_rodEdit = addEntry(form, "Ojnice [mm]", texts.Rod, "RodEdit");
    m_compressionEdit = addEntry(form, "Kompresní poměr [1]", texts.Compression, "CompressionEdit");
    m_gammaEdit = addEntry(form, "γ [1]", texts.Gamma, "GammaEdit");
    m_windowStartEdit = addEntry(form, "Okno od [°]", texts.WindowStart, "WindowStartEdit");
    m_windowEndEdit = addEntry(form, "Okno do [°]", texts.WindowEnd, "WindowEndEdit");

    m_computeButton = new QPushButton("Vypočítat", this);
    m_computeButton->setObjectName("ComputeButton");
    m_computeButton->setEnabled(false);
    side->addWidget(m_computeButton);

    m_figuresTable = new QTableWidget(0, 2, this);
    m_figuresTable->setObjectName("FiguresList");
    m_figuresTable->setHorizontalHeaderLabels({"Veličina", "Hodnota"});
    m_figuresTable->verticalHeader()->setVisible(false);
    m_figuresTable->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_figuresTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_figuresTable->horizontalHeader()->setStretchLastSection(true);
    m_figuresTable->setColumnWidth(0, kNameColumnWidth);
    m_figuresTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_figuresList = std::make_unique<TQtValueList>(m_figuresTable, false);
    side->addWidget(m_figuresTable, 1);

    auto* pictures = new QVBoxLayout;
    pictures->addWidget(MakeCaption("p–V diagram (log p [bar] – log V [cm³])", this));
    m_pvView = new TImageView(m_pvPicture, this);
    m_pvView->setObjectName("PvImage");
    pictures->addWidget(m_pvView, 1);
    pictures->addWidget(MakeCaption("Podíl shořelého paliva [%] podle úhlu [°]", this));
    m_burnView = new TImageView(m_burnPicture, this);
    m_burnView->setObjectName("BurnImage");
    pictures->addWidget(m_burnView, 1);

    auto* page = new QHBoxLayout(this);
    auto* sideWidget = new QWidget(this);
    sideWidget->setLayout(side);
    sideWidget->setFixedWidth(kSideWidth);
    side->setContentsMargins(0, 0, 0, 0);
    page->addWidget(sideWidget);
    page->addLayout(pictures, 1);

    connect(m_loadButton, &QPushButton::clicked, this, &TCombustionPage::loadCycle);
    connect(m_computeButton, &QPushButton::clicked, this, &TCombustionPage::computeFigures);
    connect(m_pvView, &TImageView::resized, this, [this] { drawPictures(); });
    connect(m_burnView, &TImageView::resized, this, [this] { drawPictures(); });
    // A cycle the session already holds (from the encoder import) is shown at once.
    if (m_session.PressureCycle) {
        showSessionCycle();
    }
}

TCombustionPage::~TCombustionPage() = default;

QLineEdit* TCombustionPage::addEntry(QFormLayout* form, const char* caption, const std::string& text,
                                     const char* objectName) {
    auto* edit = new QLineEdit(ToQString(text), this);
    edit->setObjectName(objectName);
    edit->setFixedWidth(kEntryWidth);
    form->addRow(QString::fromUtf8(caption), edit);
    return edit;
}

void TCombustionPage::loadCycle() {
    const TOverrideCursor wait(Qt::WaitCursor);
    bool loaded = false;
    RunGuarded(m_boxes, [&] {
        const std::string path = ExecuteOpenDialog(m_dialog, CSVFilter, m_cyclePath);
        if (path.empty()) {
            return;
        }
        m_cyclePath = path;
        // A file that fails leaves no figures of the previous one behind.
        m_session.PressureCycle.reset();
        showCycleSource();
        m_session.PressureCycle = ReadPressureCycle(path, m_session.Numbers);
        showCycleSource();
        loaded = true;
    });
    if (loaded || !m_session.PressureCycle) {
        computeFigures();
    }
}

void TCombustionPage::showSessionCycle() {
    showCycleSource();
    computeFigures();
}

void TCombustionPage::showCycleSource() {
    const std::optional<TPressureCycle>& cycle = m_session.PressureCycle;
    m_computeButton->setEnabled(cycle.has_value());
    if (!cycle) {
        m_fileLabel->setText(kNoCycleText);
        return;
    }
    QString text = ToQString(cycle->Source);
    if (!cycle->Cycles.empty()) {
        text += QStringLiteral(" (průměr %1 cyklů)").arg(cycle->Cycles.size());
    }
    m_fileLabel->setText(text);
}

void TCombustionPage::computeFigures() {
    m_figuresList->clear();
    m_figures.reset();
    RunGuarded(m_boxes, [this] {
        if (m_session.PressureCycle) {
            TCombustionTexts texts;
            texts.Bore = ToStdString(m_boreEdit->text());
            texts.Stroke = ToStdString(m_strokeEdit->text());
            texts.Rod = ToStdString(m_rodEdit->text());
            texts.Compression = ToStdString(m_compressionEdit->text());
            texts.Gamma = ToStdString(m_gammaEdit->text());
            texts.WindowStart = ToStdString(m_windowStartEdit->text());
            texts.WindowEnd = ToStdString(m_windowEndEdit->text());
            const TCombustionInputs inputs = ParseCombustionTexts(texts, m_session.Numbers);
            const TCombustionFigures figures =
                ComputeCombustionFigures(*m_session.PressureCycle, inputs.Geometry, inputs.Settings);
            m_volumes = CylinderVolumes(inputs.Geometry);
            ListCombustionFigures(figures, *m_figuresList, m_session.Numbers);
            m_figures = figures;
        }
    });
    drawPictures();
}

void TCombustionPage::drawPictures() {
    m_pvPicture.resize(m_pvView->width(), m_pvView->height());
    m_burnPicture.resize(m_burnView->width(), m_burnView->height());
    if (m_figures && m_session.PressureCycle) {
        DrawPvDiagram(m_session.PressureCycle->Mean, m_volumes, m_pvPicture, m_session.Numbers);
        DrawBurnDiagram(m_figures->Release, m_figures->Burn, m_burnPicture, m_session.Numbers);
    }
    m_pvView->update();
    m_burnView->update();
}

}  // namespace morvane
