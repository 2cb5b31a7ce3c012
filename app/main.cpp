// Morvane: starts the core's modules, runs the main window, stops the modules.

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>

#include "app/QtControls.h"
#include "app/uMain.h"
#include "events/Lifecycle.h"
#include "util/messages.h"

int main(int argc, char* argv[]) {
    morvane::StartupModules();
    int exitCode = 0;
    {
        QApplication application(argc, argv);
        application.setApplicationName(morvane::ToQString(morvane::ApplicationTitle(argv[0])));
        // The layout is measured in Tahoma; Debian's Wine fonts carry a metric-compatible one.
        const QString tahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
        if (QFile::exists(tahoma)) {
            QFontDatabase::addApplicationFont(tahoma);
        }
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(11);
        application.setFont(font);

        morvane::TFMain FMain;
        FMain.show();
        exitCode = application.exec();
    }
    morvane::ShutdownModules();
    return exitCode;
}
