#pragma once

// Qt widgets as the core's control interfaces.

#include <QTableWidget>

#include <string>
#include <utility>

#include "util/controls.h"
#include "util/dialogutil.h"
#include "util/messages.h"

class QFileDialog;
class QWidget;

namespace morvane {

// How a grid shows its first row when it has one fixed row.
enum class THeaderRow {
    Cells,   // as cells that scroll with the others
    Pinned,  // in the table's header, which stays in view while the rows scroll
};

// A QTableWidget as a text grid whose first fixedRows rows and fixedColumns
// columns are header cells: shown like headers and never editable. A pinned
// header row keeps its cells, hidden, so it is addressed like any other row.
class TQtCellGrid : public ICellGrid {
public:
    TQtCellGrid(QTableWidget* table, int fixedRows, int fixedColumns,
                THeaderRow headerRow = THeaderRow::Cells);

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
    THeaderRow m_headerRow;
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

// A QFileDialog run modally as the core's open dialog. Building a file dialog
// takes a noticeable part of the window's start-up, so it is built when a
// command first needs it, as a child of the window named objectName, and kept.
class TQtOpenDialog : public IOpenDialog {
public:
    TQtOpenDialog(QWidget* window, QString objectName)
        : m_window(window), m_objectName(std::move(objectName)) {}

    void setFilter(const std::string& filter) override;
    void setDefaultExt(const std::string& extension) override;
    void setFilterIndex(int index) override;
    void setFileName(const std::string& name) override;
    bool execute() override;
    std::string fileName() const override;

    // The dialog, or nullptr before a command first needed it.
    QFileDialog* dialogIfBuilt() const { return m_dialog; }

private:
    QFileDialog* dialog();

    QWidget* m_window;
    QString m_objectName;
    QFileDialog* m_dialog = nullptr;
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
