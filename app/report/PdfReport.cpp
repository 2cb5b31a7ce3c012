#include "app/report/PdfReport.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <string_view>

#include "app/report/ReportDocument.h"
#include "util/numtext.h"
#include "util/replacefile.h"

namespace morvane {

namespace {

constexpr qreal kMarginMillimetres = 15.0;
constexpr qreal kFooterMillimetres = 9.0;
constexpr qreal kMillimetresPerInch = 25.4;
constexpr qreal kTextPoints = 9.5;
constexpr qreal kFooterPoints = 7.5;
// Fine enough that text stands where the font puts it, not on a coarse grid.
constexpr int kPdfDpi = 600;

QString FooterText(const TReport& report, int page, int pages) {
    return QStringLiteral("Morvane %1 · %2 · strana %3 z %4")
        .arg(QString::fromStdString(report.ProgramVersion), QString::fromStdString(report.Created))
        .arg(page)
        .arg(pages);
}

// A thin rule over the footer line, which names the program, the date and the page.
void DrawFooter(QPainter& painter, const QRectF& area, const QString& text) {
    painter.save();
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), area.height() / 60));
    painter.drawLine(area.topLeft(), area.topRight());
    QFont font = painter.font();
    font.setPointSizeF(kFooterPoints);
    painter.setFont(font);
    painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter, text);
    painter.restore();
}

// Draws the laid-out document page by page: each page shows its own slice of
// the document's height, the footer under it.
void PaintPages(const TReport& report, QTextDocument& document, QPdfWriter& writer, qreal footerHeight) {
    const QSizeF body = document.pageSize();
    const int pages = document.pageCount();
    QPainter painter(&writer);
    // Plots are thin lines on white: JPEG would blur them.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.setFont(document.defaultFont());
    for (int page = 0; page < pages; ++page) {
        if (page > 0) {
            writer.newPage();
        }
        const QRectF slice(0, page * body.height(), body.width(), body.height());
        painter.save();
        painter.setClipRect(QRectF(QPointF(0, 0), body));
        painter.translate(0, -slice.top());
        QAbstractTextDocumentLayout::PaintContext context;
        // A line that starts right at a page's edge would be drawn on both
        // pages: hidden by the clip, but in the PDF's text twice.
        context.clip = slice.adjusted(0, 1, 0, -1);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        DrawFooter(painter, QRectF(0, body.height(), body.width(), footerHeight),
                   FooterText(report, page + 1, pages));
    }
}

}  // namespace

void WritePdfReport(const TReport& report, const std::string& path) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfDpi);
        writer.setTitle(QString::fromStdString(report.Title));
        writer.setCreator(QStringLiteral("Morvane ") + QString::fromStdString(report.ProgramVersion));
        writer.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4), QPageLayout::Portrait,
            QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres),
            QPageLayout::Millimeter));
        const QRect area = writer.pageLayout().paintRectPixels(kPdfDpi);
        const qreal footerHeight = kFooterMillimetres / kMillimetresPerInch * kPdfDpi;

        QTextDocument document;
        document.documentLayout()->setPaintDevice(&writer);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setStyleHint(QFont::SansSerif);
        // Ligatures would turn "ff" in a SHA-256 into one glyph, which a
        // reader of the PDF's text gets back as U+FB00.
        font.setStyleStrategy(QFont::PreferNoShaping);
        font.setPointSizeF(kTextPoints);
        document.setDefaultFont(font);
        document.setDocumentMargin(0);
        document.setPageSize(QSizeF(area.width(), area.height() - footerHeight));
        BuildReportDocument(report, document);
        PaintPages(report, document, writer, footerHeight);
    }
    WriteFileReplacing(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

TReportTable FingerprintTable(const std::vector<TFileFingerprint>& files) {
    TReportTable table;
    table.Header = {"Soubor", "Velikost [B]", "Změněn", "SHA-256"};
    for (const TFileFingerprint& file : files) {
        table.Rows.push_back(
            {file.Path, FormatInteger(static_cast<std::int64_t>(file.Size)), file.Modified, file.Sha256});
    }
    return table;
}

}  // namespace morvane
