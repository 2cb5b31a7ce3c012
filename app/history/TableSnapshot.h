#pragma once

// The cells of a table as they are, each item whole (text and flags), to be
// put back later: the lists a fresh window shows before any command filled them.

#include <QTableWidget>

#include <memory>
#include <vector>

namespace morvane {

class TTableSnapshot {
public:
    explicit TTableSnapshot(const QTableWidget& table);

    void putBack(QTableWidget& table) const;

private:
    int m_rows;
    int m_columns;
    // Row by row; null for a cell without an item.
    std::vector<std::unique_ptr<QTableWidgetItem>> m_items;
};

}  // namespace morvane
