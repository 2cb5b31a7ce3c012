#pragma once

// The page "Korekce": one correction per event, applied with "Korigovat".
//
// | member                   | objectName   | what it is                                 |
// |--------------------------|--------------|--------------------------------------------|
// | (the page)               | TabSheet3    | page "Korekce"                             |
// | m_correctionList         | ValueList3   | one correction per event                   |
// | m_applyCorrectionsButton | SpeedButton3 | "Korigovat": the window's applyCorrections()|

#include <QWidget>

#include <memory>

#include "util/controls.h"

class QPushButton;
class QTableWidget;

namespace morvane {

class TQtValueList;

class TCorrectionPage : public QWidget {
    Q_OBJECT

public:
    // The list starts with one empty row.
    explicit TCorrectionPage(QWidget* parent = nullptr);
    ~TCorrectionPage() override;

    IValueList& corrections();
    QPushButton* applyCorrectionsButton() const { return m_applyCorrectionsButton; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The list takes the page's height; the button keeps its place.
    void arrange(QSize size);

    QTableWidget* m_correctionList = nullptr;
    QPushButton* m_applyCorrectionsButton = nullptr;
    std::unique_ptr<TQtValueList> m_corrections;
};

}  // namespace morvane
