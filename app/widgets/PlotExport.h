#pragma once

// A plot saved as a picture: PNG, or PDF for a name ending in ".pdf".

#include <QSize>

#include <string>

#include "app/widgets/QtControls.h"
#include "util/dialogutil.h"

class QCustomPlot;

namespace morvane {

// The file dialog's choice of picture kinds.
extern const std::string kPlotImageFilter;

// Draws the plot at size into the file at path, replacing it whole or not at
// all; EFOpenError when it cannot be written.
void SavePlotImage(QCustomPlot& plot, const std::string& path, QSize size);

// The plot's own file dialog when the window lends it none: the open
// dialog's adapter turned to saving once the filter has built it.
class TPlotSaveDialog final : public ISaveDialog {
public:
    explicit TPlotSaveDialog(QWidget* window) : m_dialog(window, QStringLiteral("PlotSaveDialog")) {}

    void setFilter(const std::string& filter) override;
    void setDefaultExt(const std::string& extension) override { m_dialog.setDefaultExt(extension); }
    void setFilterIndex(int index) override { m_dialog.setFilterIndex(index); }
    void setFileName(const std::string& name) override { m_dialog.setFileName(name); }
    bool execute() override { return m_dialog.execute(); }
    std::string fileName() const override { return m_dialog.fileName(); }

private:
    TQtOpenDialog m_dialog;
};

}  // namespace morvane
