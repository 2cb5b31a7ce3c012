#pragma once

// The cylinder-table file: a header line, then one line per cylinder,
// "number;offset;ignition;SV opens;SV closes;VV opens;VV closes". The batch
// tool reads it; any command that saves the table writes it.

#include <string>
#include <string_view>

#include "util/controls.h"
#include "util/numtext.h"
#include "util/textfile.h"

namespace morvane {

// Writes the data lines (all lines after the first, less blank lines at the
// end) into rows 1.. of the table: the cells of columns 1..6 are the line's
// ';'-separated fields with blanks trimmed; column 0 and fields beyond the
// seventh are not used. Returns the number of data lines. More lines than the
// table has rows raise ECylinderTableError; a missing or empty field, or one
// that is not a number, raises EImportError naming the file's line and column
// ("Tabulka válců, řádek 3, sloupec 4: chybí hodnota"). A failure writes
// nothing.
int FillCylinderTable(const TTextLines& lines, ICellGrid& table, TNumberFormat format);

// Reads the file's first lines, then FillCylinderTable; a file that goes on
// beyond one line more than the table takes is refused without reading the
// rest (ECylinderTableError "... the file gives more than 13").
int ReadCylinderTableFile(const std::string& path, ICellGrid& table, TNumberFormat format);

// The same from a reader at the file's first line (given again or not yet
// read); path only names the file in a failure.
int ReadCylinderTableFile(TLineReader& reader, std::string_view path, ICellGrid& table, TNumberFormat format);

// The file's text for the header row and rows 1..rows of the table, each
// line ended by a line feed; the texts stand as the cells hold them.
std::string CylinderTableText(const ICellGrid& table, int rows);

// Replaces the file at path with CylinderTableText (see WriteFileReplacing).
void WriteCylinderTableFile(const std::string& path, const ICellGrid& table, int rows);

}  // namespace morvane
