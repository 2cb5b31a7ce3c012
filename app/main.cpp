// Morvane: starts the core's modules, runs the main window, stops the modules.

#include <QApplication>

#include "app/widgets/QtControls.h"
#include "app/window/AppLook.h"
#include "app/window/QtTexts.h"
#include "app/window/uMain.h"
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
