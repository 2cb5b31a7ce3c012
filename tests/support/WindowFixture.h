#pragma once

// The fixture of every window test: a fresh main window for each test
// function, its controls by objectName, files in a temporary folder, and the
// main() that starts the modules and an offscreen application as the program
// does. A test class derives from TWindowFixture and calls openWindow() and
// closeWindow() from its init() and cleanup() slots.

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

#include "app/window/AppLook.h"
#include "app/window/uMain.h"
#include "events/Lifecycle.h"
#include "util/dialogutil.h"

namespace morvane::testing {

// The user's answer in a file dialog (Base: IOpenDialog or ISaveDialog): the
// one path set, or a cancel while none is.
template <class Base>
class TAnswerDialog : public Base {
public:
    std::string Path;
    void setFilter(const std::string&) override {}
    void setDefaultExt(const std::string&) override {}
    void setFilterIndex(int) override {}
    void setFileName(const std::string&) override {}
    bool execute() override { return !Path.empty(); }
    std::string fileName() const override { return Path; }
};

class TWindowFixture : public QObject {
protected:
    // Builds and shows a fresh window; false when it is never shown.
    bool openWindow() {
        m_window = std::make_unique<TFMain>();
        m_window->show();
        return QTest::qWaitForWindowExposed(m_window.get());
    }
    // The same, and the window takes the keyboard, as the user's click on it would.
    bool openActiveWindow() {
        if (!openWindow()) {
            return false;
        }
        m_window->activateWindow();
        return QTest::qWaitForWindowActive(m_window.get());
    }
    void closeWindow() { m_window.reset(); }

    // A control by its objectName; a missing one ends the test run.
    template <class T>
    T* find(const char* name) const {
        T* control = m_window->findChild<T*>(QString::fromLatin1(name));
        if (control == nullptr) {
            qFatal("the window has no control %s", name);
        }
        return control;
    }

    // Types the path into the dialog's file-name box, as a user would, and confirms.
    static void chooseFile(QFileDialog* dialog, const QString& path) {
        auto* nameEdit = dialog->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(nameEdit != nullptr);
        nameEdit->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    }

    // Writes a file of the given bytes into the test's folder; returns its path.
    QString writeFile(const QString& name, const QByteArray& contents) {
        QString path = m_files.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            qFatal("cannot write %s", qPrintable(path));
        }
        file.write(contents);
        return path;
    }

    QTemporaryDir m_files;
    std::unique_ptr<TFMain> m_window;
};

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
