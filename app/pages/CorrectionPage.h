#pragma once

// The page "Korekce": one correction per event, applied with "Korigovat".
//
// | member                   | objectName   | what it is                                 |
// |--------------------------|--------------|--------------------------------------------|
// | (the page)               | TabSheet3    | page "Korekce"                             |
// | m_correctionList         | ValueList3   | one correction per event                   |
// | m_applyCorrectionsButton | SpeedButton3 | "Korigovat": applyCorrections()            |
//
// The list is the window's correction list, in its session: the events write
// it, the edit texts take it into a set-up, and an open rebuilds it from the
// events, so the page puts no set-up text in itself.

#include <memory>

#include "app/pages/SetupPage.h"

class QPushButton;
class QTableWidget;

namespace morvane {

class TQtValueList;
struct TPageSession;

class TCorrectionPage : public TSetupPage {
    Q_OBJECT

public:
    // The list starts with one empty row; the session outlives the page.
    explicit TCorrectionPage(TPageSession& session, QWidget* parent = nullptr);
    ~TCorrectionPage() override;

    void takeSetup(TSetup& setup) const override;
    void fillSetup(const TSetup& setup) override;
    std::vector<TPageCommand> commands() override;
    std::vector<TTypedTable> typedTables() const override;
    QList<QTableWidget*> writtenTables() const override;

public slots:
    void applyCorrections();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The list takes the page's height; the button keeps its place.
    void arrange(QSize size);

    TPageSession& m_session;
    QTableWidget* m_correctionList = nullptr;
    QPushButton* m_applyCorrectionsButton = nullptr;
    std::unique_ptr<TQtValueList> m_corrections;
};

}  // namespace morvane
