#include "app/history/ChangeWatch.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTableWidget>

namespace morvane {

void WatchTypedChanges(QWidget* page, const QList<const QTableWidget*>& inputTables,
                       const std::function<void()>& changed) {
    for (QLineEdit* edit : page->findChildren<QLineEdit*>()) {
        QObject::connect(edit, &QLineEdit::textEdited, page, changed);
    }
    // Only the page's own sliders: a table's scroll bar changes nothing.
    for (QSlider* slider : page->findChildren<QSlider*>()) {
        QObject::connect(slider, &QSlider::actionTriggered, page, changed);
    }
    for (QComboBox* box : page->findChildren<QComboBox*>()) {
        QObject::connect(box, &QComboBox::activated, page, changed);
    }
    for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
        QObject::connect(button, &QAbstractButton::clicked, page, changed);
    }
    for (QListWidget* list : page->findChildren<QListWidget*>()) {
        QObject::connect(list, &QListWidget::itemChanged, page, changed);
    }
    for (QTableWidget* table : page->findChildren<QTableWidget*>()) {
        if (inputTables.contains(table)) {
            QObject::connect(table, &QTableWidget::itemChanged, page, changed);
        }
    }
}

}  // namespace morvane
