#include "app/report/WidgetTables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include <algorithm>

#include "app/widgets/QtControls.h"

namespace morvane {

namespace {

std::string FieldText(const QWidget* field) {
    if (const auto* line = qobject_cast<const QLineEdit*>(field)) {
        return ToStdString(line->text());
    }
    if (const auto* box = qobject_cast<const QComboBox*>(field)) {
        return ToStdString(box->currentText());
    }
    if (const auto* check = qobject_cast<const QCheckBox*>(field)) {
        return check->isChecked() ? "ano" : "ne";
    }
    return {};
}

}  // namespace

TReportTable WidgetTable(const QTableWidget& table, int first, int last) {
    TReportTable report;
    if (!table.horizontalHeader()->isHidden()) {
        for (int column = 0; column < table.columnCount(); ++column) {
            const QTableWidgetItem* heading = table.horizontalHeaderItem(column);
            report.Header.push_back(heading ? ToStdString(heading->text()) : std::string());
        }
    }
    last = last < 0 ? table.rowCount() - 1 : std::min(last, table.rowCount() - 1);
    for (int row = std::max(first, 0); row <= last; ++row) {
        std::vector<std::string>& cells = report.Rows.emplace_back();
        for (int column = 0; column < table.columnCount(); ++column) {
            const QTableWidgetItem* item = table.item(row, column);
            cells.push_back(item ? ToStdString(item->text()) : std::string());
        }
    }
    return report;
}

TReportTable FormTable(const QFormLayout& form) {
    TReportTable report;
    for (int row = 0; row < form.rowCount(); ++row) {
        const QLayoutItem* caption = form.itemAt(row, QFormLayout::LabelRole);
        const QLayoutItem* field = form.itemAt(row, QFormLayout::FieldRole);
        const auto* label = caption ? qobject_cast<const QLabel*>(caption->widget()) : nullptr;
        if (label == nullptr || label->text().isEmpty() || field == nullptr || field->widget() == nullptr) {
            continue;
        }
        report.Rows.push_back({ToStdString(label->text()), FieldText(field->widget())});
    }
    return report;
}

}  // namespace morvane
