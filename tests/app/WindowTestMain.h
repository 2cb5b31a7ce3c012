#pragma once

// The main() of every window test: the modules started as the program starts
// them, an offscreen application with the program's look, then the test class.

#include <QApplication>
#include <QTest>

#include "app/AppLook.h"
#include "events/Lifecycle.h"

namespace morvane::testing {

template <typename Test>
int RunWindowTest(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    StartupModules();
    int result = 0;
    {
        QApplication application(argc, argv);
        application.setApplicationName("Morvane");
        SetUpApplicationLook();
        Test test;
        result = QTest::qExec(&test, argc, argv);
    }
    ShutdownModules();
    return result;
}

}  // namespace morvane::testing
