#include "app/window/AppLook.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>

namespace morvane {

void SetUpApplicationLook() {
    // Debian's Wine fonts carry a metric-compatible Tahoma.
    const QString tahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (QFile::exists(tahoma)) {
        QFontDatabase::addApplicationFont(tahoma);
    }
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    QApplication::setFont(font);
}

}  // namespace morvane
