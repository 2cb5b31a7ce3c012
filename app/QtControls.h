#pragma once

// Qt widgets as the core's control interfaces.

#include <QTableWidget>

#include <string>

#include "util/controls.h"
#include "util/dialogutil.h"
#include "util/messages.h"

class QFileDialog;
class QWidget;

namespace morvane {

// A QTableWidget as a text grid whose first fixedRows rows and fixedColumns
// columns are header cells: shown like headers and never editable.
class TQtCellGrid : public ICellGrid {
public:
    TQtCellGrid(QTableWidget* table, int fixedRows, int fixedColumns)
        : m_table(table), m_fixedRows(fixedRows), m_fixedColumns(fixedColumns) {}

    int rowCount() const override;
    void setRowCount(int rows) override;
    std::string cellText(int column, int row) const override;
    void setCellText(int column, int row, const std::string& text) override;

    // Gives every cell an item, header cells their look and flags.
    void prepareCells();

private:
    QTableWidgetItem* itemAt(int column, int row);

    QTableWidget* m_table;
    int m_fixedRows;
    int m_fixedColumns;
};

// A two-column QTableWidget as a key/value list: the horizontal header is the
// title row, keys are never editable, values only when the list is editable.
class TQtValueList : public IValueList {
public:
    TQtValueList(QTableWidget* table, bool valuesEditable)
        : m_table(table), m_valuesEditable(valuesEditable) {}

    int rowCount() const override;
    std::string key(int row) const override;
    std::string value(int row) const override;
    void setValue(int row, const std::string& text) override;
    void clear() override;
    void append(const std::string& key, const std::string& value) override;

private:
    QTableWidget* m_table;
    bool m_valuesEditable;
};

// Modal message boxes titled "Morvane".
class TQtMessageBoxes : public IMessageBoxes {
public:
    explicit TQtMessageBoxes(QWidget* window) : m_window(window) {}

    void ShowInfo(const std::string& text) override;
    void ShowErrorBox(const std::string& text) override;

private:
    QWidget* m_window;
};

// A QFileDialog run modally as the core's open dialog.
class TQtOpenDialog : public IOpenDialog {
public:
    explicit TQtOpenDialog(QFileDialog* dialog) : m_dialog(dialog) {}

    void setFilter(const std::string& filter) override;
    void setDefaultExt(const std::string& extension) override;
    void setFilterIndex(int index) override;
    void setFileName(const std::string& name) override;
    bool execute() override;
    std::string fileName() const override;

private:
    QFileDialog* m_dialog;
};

// Shows a cursor shape over the whole application for one scope.
class TOverrideCursor {
public:
    explicit TOverrideCursor(Qt::CursorShape shape);
    ~TOverrideCursor();
    TOverrideCursor(const TOverrideCursor&) = delete;
    TOverrideCursor& operator=(const TOverrideCursor&) = delete;
};

QString ToQString(const std::string& text);
std::string ToStdString(const QString& text);

}  // namespace morvane
