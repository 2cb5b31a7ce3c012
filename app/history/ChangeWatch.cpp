#include "app/history/ChangeWatch.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTableWidget>

#include "app/widgets/ControlRole.h"

namespace morvane {

namespace {

// The control's change as its role tells it: the work's, the view's or none.
template <class TControl, class TSignal>
void Watch(QWidget* page, const QList<TControl*>& controls, TSignal signal,
           const std::function<void()>& changed, const std::function<void()>& viewChanged) {
    for (TControl* control : controls) {
        switch (ControlRoleOf(control)) {
            case TControlRole::Work:
                QObject::connect(control, signal, page, changed);
                break;
            case TControlRole::View:
                QObject::connect(control, signal, page, viewChanged);
                break;
            case TControlRole::Display:
                break;
        }
    }
}

}  // namespace

void WatchTypedChanges(QWidget* page, const QList<const QTableWidget*>& inputTables,
                       const std::function<void()>& changed, const std::function<void()>& viewChanged) {
    Watch(page, page->findChildren<QLineEdit*>(), &QLineEdit::textEdited, changed, viewChanged);
    // Only the page's own sliders: a table's scroll bar changes nothing.
    Watch(page, page->findChildren<QSlider*>(), &QSlider::actionTriggered, changed, viewChanged);
    Watch(page, page->findChildren<QComboBox*>(), &QComboBox::activated, changed, viewChanged);
    Watch(page, page->findChildren<QAbstractButton*>(), &QAbstractButton::clicked, changed, viewChanged);
    Watch(page, page->findChildren<QListWidget*>(), &QListWidget::itemChanged, changed, viewChanged);
    for (QTableWidget* table : page->findChildren<QTableWidget*>()) {
        if (inputTables.contains(table)) {
            QObject::connect(table, &QTableWidget::itemChanged, page, changed);
        }
    }
}

}  // namespace morvane
