#include "app/pages/CorrectionPage.h"

#include <QPushButton>
#include <QResizeEvent>
#include <QTableWidget>

#include "app/history/EditHistory.h"
#include "app/pages/PageSession.h"
#include "app/widgets/PageWidgets.h"
#include "app/widgets/QtControls.h"
#include "util/messages.h"

namespace morvane {

TCorrectionPage::TCorrectionPage(TPageSession& session, QWidget* parent)
    : TSetupPage(parent), m_session(session) {
    setObjectName("TabSheet3");
    m_correctionList = MakeValueList("ValueList3", this, "Událsot", "Korekce [°]", 306, 129, true);
    m_applyCorrectionsButton = MakeButton("SpeedButton3", "Korigovat", this, {464, 192, 185, 57});
    arrange({kPageWidth, kPageHeight});
    m_corrections = std::make_unique<TQtValueList>(m_correctionList, true);
    m_corrections->append("", "");
    m_session.Recalc.CorrectionList = m_corrections.get();
}

TCorrectionPage::~TCorrectionPage() = default;

void TCorrectionPage::takeSetup(TSetup&) const {}

void TCorrectionPage::fillSetup(const TSetup&) {}

std::vector<TPageCommand> TCorrectionPage::commands() {
    return {{m_applyCorrectionsButton, Qt::Key_F7, [this] { applyCorrections(); }}};
}

std::vector<TTypedTable> TCorrectionPage::typedTables() const {
    return {{m_correctionList, m_corrections.get(), nullptr}};
}

QList<QTableWidget*> TCorrectionPage::writtenTables() const {
    return {m_correctionList};
}

void TCorrectionPage::applyCorrections() {
    const TEditStep step(this, QStringLiteral("Korigovat"));
    RunGuarded(m_session.Boxes,
               [this] { ApplyCorrectionsAndRecalculate(m_session.Session, m_session.Recalc); });
}

void TCorrectionPage::resizeEvent(QResizeEvent* event) {
    arrange(event->size());
    QWidget::resizeEvent(event);
}

void TCorrectionPage::arrange(QSize size) {
    m_correctionList->setGeometry(0, 0, 441, size.height());
}

}  // namespace morvane
