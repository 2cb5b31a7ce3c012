#include "app/history/TableSnapshot.h"

namespace morvane {

TTableSnapshot::TTableSnapshot(const QTableWidget& table)
    : m_rows(table.rowCount()), m_columns(table.columnCount()) {
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            const QTableWidgetItem* item = table.item(r, c);
            m_items.emplace_back(item != nullptr ? item->clone() : nullptr);
        }
    }
}

void TTableSnapshot::putBack(QTableWidget& table) const {
    table.clearContents();
    table.setRowCount(m_rows);
    table.setColumnCount(m_columns);
    // The items lie row by row, as the constructor took them.
    auto next = m_items.begin();
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c, ++next) {
            if (*next) {
                table.setItem(r, c, (*next)->clone());
            }
        }
    }
}

}  // namespace morvane
