#pragma once

// The application's style with one change: the thumb of a slider that uses
// it is as long as given, whatever the style would draw.

#include <QProxyStyle>

namespace morvane {

class TThumbStyle : public QProxyStyle {
    Q_OBJECT

public:
    TThumbStyle(int thumbLength, QObject* owner);

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

private:
    int m_thumbLength;
};

}  // namespace morvane
