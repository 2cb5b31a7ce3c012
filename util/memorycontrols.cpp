#include "util/memorycontrols.h"

namespace morvane {

void TMemoryGrid::setRowCount(int rows) {
    m_rows = rows;
    std::erase_if(m_cells, [rows](const auto& cell) { return cell.first.second >= rows; });
}

std::string TMemoryGrid::cellText(int column, int row) const {
    auto found = m_cells.find({column, row});
    return found == m_cells.end() ? std::string() : found->second;
}

void TMemoryGrid::setCellText(int column, int row, const std::string& text) {
    if (column < 0 || column >= m_columns || row < 0 || row >= m_rows) {
        return;
    }
    m_cells[{column, row}] = text;
}

}  // namespace morvane
