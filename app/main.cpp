// Morvane: starts the core's modules, runs the main window, stops the modules.

#include <QApplication>

#include "app/AppLook.h"
#include "app/QtControls.h"
#include "app/QtTexts.h"
#include "app/uMain.h"
#include "events/Lifecycle.h"
#include "util/messages.h"

int main(int argc, char* argv[]) {
    morvane::StartupModules();
    int exitCode = 0;
    {
        QApplication application(argc, argv);
        application.setApplicationName(morvane::ToQString(morvane::ApplicationTitle(argv[0])));
        morvane::SetUpApplicationLook();
        morvane::InstallQtCzechTexts(application);

        morvane::TFMain FMain;
        FMain.show();
        exitCode = application.exec();
    }
    morvane::ShutdownModules();
    return exitCode;
}
