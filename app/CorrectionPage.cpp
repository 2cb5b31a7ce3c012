#include "app/CorrectionPage.h"

#include <QPushButton>
#include <QResizeEvent>
#include <QTableWidget>

#include "app/PageWidgets.h"
#include "app/QtControls.h"

namespace morvane {

TCorrectionPage::TCorrectionPage(QWidget* parent) : QWidget(parent) {
    setObjectName("TabSheet3");
    m_correctionList = MakeValueList("ValueList3", this, "Událsot", "Korekce [°]", 306, 129, true);
    m_applyCorrectionsButton = MakeButton("SpeedButton3", "Korigovat", this, {464, 192, 185, 57});
    arrange({kPageWidth, kPageHeight});
    m_corrections = std::make_unique<TQtValueList>(m_correctionList, true);
    m_corrections->append("", "");
}

TCorrectionPage::~TCorrectionPage() = default;

IValueList& TCorrectionPage::corrections() {
    return *m_corrections;
}

void TCorrectionPage::resizeEvent(QResizeEvent* event) {
    arrange(event->size());
    QWidget::resizeEvent(event);
}

void TCorrectionPage::arrange(QSize size) {
    m_correctionList->setGeometry(0, 0, 441, size.height());
}

}  // namespace morvane
