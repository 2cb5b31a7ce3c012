#include "app/pages/PageControl.h"

#include <QTabBar>

namespace morvane {

namespace {

// With the pane's frame, 22 pixels of tab leave 558 of the 582 for the page.
constexpr int kTabHeight = 22;

class TPageTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override { return {QTabBar::tabSizeHint(index).width(), kTabHeight}; }
};

}  // namespace

TPageControl::TPageControl(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new TPageTabBar(this));
}

}  // namespace morvane
