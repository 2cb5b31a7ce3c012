#pragma once

// The picture area: shows the core's raster unscaled at its top-left corner.

#include <QWidget>

namespace morvane {

class TRaster;

class TImageView : public QWidget {
    Q_OBJECT

public:
    TImageView(const TRaster& picture, QWidget* parent);

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const TRaster& m_picture;
};

}  // namespace morvane
