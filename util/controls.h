#pragma once

// The controls as the logic sees them: cell texts, row counts and key/value
// rows. app/ adapts Qt widgets to these; tests and the batch tool use the
// in-memory versions of util/memorycontrols.h.

#include <string>

namespace morvane {

// A text grid. Cells are addressed (column, row) from 0; row 0 is the header.
class ICellGrid {
public:
    virtual ~ICellGrid() = default;
    virtual int rowCount() const = 0;
    virtual void setRowCount(int rows) = 0;
    // A cell outside the grid reads as empty text.
    virtual std::string cellText(int column, int row) const = 0;
    virtual void setCellText(int column, int row, const std::string& text) = 0;
};

// A key/value list. Rows are counted from 1 below the title row.
class IValueList {
public:
    virtual ~IValueList() = default;
    virtual int rowCount() const = 0;
    virtual std::string key(int row) const = 0;    // 1 <= row <= rowCount()
    virtual std::string value(int row) const = 0;  // 1 <= row <= rowCount()
    virtual void setValue(int row, const std::string& text) = 0;
    virtual void clear() = 0;
    virtual void append(const std::string& key, const std::string& value) = 0;
};

}  // namespace morvane
