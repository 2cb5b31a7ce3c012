#pragma once

// The window's tabbed pages. The tabs are of one fixed height, whatever the
// style would give them, so that a page is 663 × 558 pixels inside the
// window's 671 × 586 client area.

#include <QTabWidget>

namespace morvane {

class TPageControl : public QTabWidget {
    Q_OBJECT

public:
    explicit TPageControl(QWidget* parent);
};

}  // namespace morvane
