#pragma once

// The report's tables as the window shows them: a table widget's cells and a
// form's captions with their fields, word for word.

#include "app/report/PdfReport.h"

class QFormLayout;
class QTableWidget;

namespace morvane {

// Rows first .. last (counted from 0, clipped to the table) of every column,
// under the table's column headings when it shows them.
TReportTable WidgetTable(const QTableWidget& table, int first = 0, int last = -1);

// Each row of the form: its caption and its field's text (a line, a box's
// choice, a check box's state); rows without a caption are left out.
TReportTable FormTable(const QFormLayout& form);

}  // namespace morvane
