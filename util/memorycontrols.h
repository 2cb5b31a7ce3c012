#pragma once

// In-memory controls for tests and the batch tool.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "util/controls.h"

namespace morvane {

class TMemoryGrid : public ICellGrid {
public:
    TMemoryGrid(int columns, int rows) : m_columns(columns), m_rows(rows) {}

    int rowCount() const override { return m_rows; }
    void setRowCount(int rows) override;
    std::string cellText(int column, int row) const override;
    void setCellText(int column, int row, const std::string& text) override;
    int columnCount() const { return m_columns; }

private:
    int m_columns;
    int m_rows;
    std::map<std::pair<int, int>, std::string> m_cells;
};

class TMemoryValueList : public IValueList {
public:
    TMemoryValueList() = default;
    explicit TMemoryValueList(std::vector<std::pair<std::string, std::string>> rows)
        : m_rows(std::move(rows)) {}

    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    std::string key(int row) const override { return m_rows.at(row - 1).first; }
    std::string value(int row) const override { return m_rows.at(row - 1).second; }
    void setValue(int row, const std::string& text) override { m_rows.at(row - 1).second = text; }
    void clear() override { m_rows.clear(); }
    void append(const std::string& key, const std::string& value) override {
        m_rows.emplace_back(key, value);
    }

private:
    std::vector<std::pair<std::string, std::string>> m_rows;
};

}  // namespace morvane
