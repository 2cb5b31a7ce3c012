#include "app/widgets/TableClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTableWidget>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/widgets/QtControls.h"
#include "app/widgets/TextLimit.h"
#include "util/cellblock.h"

namespace morvane {

namespace {

// The bounding rectangle of the selection, or the current cell.
QTableWidgetSelectionRange CopiedRange(const QTableWidget* table) {
    const QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
    if (ranges.isEmpty()) {
        const int row = table->currentRow();
        const int column = table->currentColumn();
        return row < 0 || column < 0 ? QTableWidgetSelectionRange()
                                     : QTableWidgetSelectionRange(row, column, row, column);
    }
    int top = ranges.first().topRow();
    int left = ranges.first().leftColumn();
    int bottom = ranges.first().bottomRow();
    int right = ranges.first().rightColumn();
    for (const QTableWidgetSelectionRange& range : ranges) {
        top = std::min(top, range.topRow());
        left = std::min(left, range.leftColumn());
        bottom = std::max(bottom, range.bottomRow());
        right = std::max(right, range.rightColumn());
    }
    return {top, left, bottom, right};
}

}  // namespace

void CopyCells(const QTableWidget* table) {
    const QTableWidgetSelectionRange range = CopiedRange(table);
    TCellBlock block;
    for (int row = range.topRow(); row <= range.bottomRow() && range.rowCount() > 0; ++row) {
        if (table->isRowHidden(row)) {
            continue;
        }
        std::vector<std::string>& cells = block.emplace_back();
        for (int column = range.leftColumn(); column <= range.rightColumn(); ++column) {
            if (!table->isColumnHidden(column)) {
                const QTableWidgetItem* item = table->item(row, column);
                cells.push_back(item == nullptr ? std::string() : ToStdString(item->text()));
            }
        }
    }
    if (!block.empty()) {
        QGuiApplication::clipboard()->setText(ToQString(FormatCellBlock(block)));
    }
}

bool PasteCells(QTableWidget* table, const QString& text) {
    const TCellBlock block = SplitCellBlock(ToStdString(text));
    const int top = std::max(0, table->currentRow());
    const int left = std::max(0, table->currentColumn());
    std::vector<std::pair<QTableWidgetItem*, QString>> writes;
    for (size_t r = 0; r < block.size(); ++r) {
        for (size_t c = 0; c < block[r].size(); ++c) {
            QTableWidgetItem* item = table->item(top + int(r), left + int(c));
            if (item != nullptr && (item->flags() & Qt::ItemIsEditable)) {
                writes.emplace_back(item, ToQString(block[r][c]));
                if (!FitsTextLimit(writes.back().second)) {
                    RaiseTextTooLong();
                }
            }
        }
    }
    for (const auto& [item, cellText] : writes) {
        item->setText(cellText);
    }
    return !block.empty();
}

bool IsCellBlock(const QString& text) {
    return text.contains(u'\t') || text.contains(u'\n') || text.contains(u'\r');
}

}  // namespace morvane
