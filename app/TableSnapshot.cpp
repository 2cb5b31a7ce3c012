#include "app/TableSnapshot.h"

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
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            if (const auto& item = m_items[static_cast<std::size_t>(r * m_columns + c)]) {
                table.setItem(r, c, item->clone());
            }
        }
    }
}

}  // namespace morvane
