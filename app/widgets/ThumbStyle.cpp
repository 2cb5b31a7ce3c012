#include "app/widgets/ThumbStyle.h"

namespace morvane {

TThumbStyle::TThumbStyle(int thumbLength, QObject* owner) : m_thumbLength(thumbLength) {
    // A style is not owned by the widgets that use it: the owner frees it.
    setParent(owner);
}

int TThumbStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    if (metric == PM_SliderLength) {
        return m_thumbLength;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

}  // namespace morvane
