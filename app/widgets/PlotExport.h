#pragma once

// A plot saved as a picture: PNG, or PDF for a name ending in ".pdf".

#include <QSize>

#include <string>

class QCustomPlot;

namespace morvane {

// The file dialog's choice of picture kinds.
extern const std::string kPlotImageFilter;

// Draws the plot at size into the file at path, replacing it whole or not at
// all; EFOpenError when it cannot be written.
void SavePlotImage(QCustomPlot& plot, const std::string& path, QSize size);

}  // namespace morvane
