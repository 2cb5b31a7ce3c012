#pragma once

// The report laid out as a text document: title, sections with bold headings,
// tables with thin grid lines, pictures the width of the text.

#include <QTextDocument>

#include "app/report/PdfReport.h"

namespace morvane {

// Fills an empty document whose layout already measures for the paint device
// and whose page size is set to one page's text area.
void BuildReportDocument(const TReport& report, QTextDocument& document);

}  // namespace morvane
