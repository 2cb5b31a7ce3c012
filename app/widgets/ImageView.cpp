#include "app/widgets/ImageView.h"

#include <QImage>
#include <QPainter>

#include "timeline/Raster.h"

namespace morvane {

TImageView::TImageView(const TRaster& picture, QWidget* parent) : QWidget(parent), m_picture(picture) {
    // The picture covers the whole area; nothing needs erasing under it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImageView::paintEvent(QPaintEvent*) {
    // The raster's 0x00BBGGRR pixels are R, G, B, X in memory: RGBX8888.
    const QImage image(reinterpret_cast<const uchar*>(m_picture.data()), m_picture.width(),
                       m_picture.height(), qsizetype{m_picture.width()} * 4, QImage::Format_RGBX8888);
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.drawImage(0, 0, image);
}

void TImageView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resized();
}

}  // namespace morvane
