#pragma once

// Blocks of cells between the window's tables and spreadsheets, through the
// clipboard as tab-separated lines (util/cellblock.h).

class QString;
class QTableWidget;

namespace morvane {

// The selected rectangle, or the current cell when nothing is selected, with
// the texts as shown; hidden rows and columns are left out.
void CopyCells(const QTableWidget* table);

// Writes a block into the table from the current cell on, as if typed cell by
// cell: only editable cells are written, and rows and columns beyond the table
// are ignored. No command runs. True when the block had any cell. A cell
// text over the window's limit (app/widgets/TextLimit.h) raises, and nothing is written.
bool PasteCells(QTableWidget* table, const QString& text);

// Whether clipboard text is a block of cells rather than a piece of one cell.
bool IsCellBlock(const QString& text);

}  // namespace morvane
