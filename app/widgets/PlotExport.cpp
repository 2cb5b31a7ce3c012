#include "app/widgets/PlotExport.h"

#include <qcustomplot.h>
#include <QBuffer>
#include <QFileDialog>
#include <QPageLayout>
#include <QPdfWriter>

#include "util/replacefile.h"

namespace morvane {

const std::string kPlotImageFilter = "Obrázek PNG (*.png)|*.png|Dokument PDF (*.pdf)|*.pdf";

namespace {

QByteArray PngBytes(QCustomPlot& plot, QSize size) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    plot.toPixmap(size.width(), size.height(), 1.0).save(&buffer, "PNG");
    return bytes;
}

// One page of the plot's size in points; the writer's resolution is the
// screen's, so texts keep their size beside the lines as on screen.
QByteArray PdfBytes(QCustomPlot& plot, QSize size) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Morvane"));
    writer.setResolution(plot.logicalDpiX());
    QPageLayout layout(QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch),
                       QPageLayout::Portrait, QMarginsF());
    layout.setMode(QPageLayout::FullPageMode);
    writer.setPageLayout(layout);
    QCPPainter painter(&writer);
    painter.setMode(QCPPainter::pmVectorized);
    painter.setWindow(QRect(QPoint(0, 0), size));
    plot.toPainter(&painter, size.width(), size.height());
    painter.end();
    return bytes;
}

}  // namespace

void TPlotSaveDialog::setFilter(const std::string& filter) {
    m_dialog.setFilter(filter);
    if (QFileDialog* dialog = m_dialog.dialogIfBuilt()) {
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
    }
}

void SavePlotImage(QCustomPlot& plot, const std::string& path, QSize size) {
    const bool pdf = QString::fromStdString(path).endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
    const QByteArray bytes = pdf ? PdfBytes(plot, size) : PngBytes(plot, size);
    WriteFileReplacing(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace morvane
