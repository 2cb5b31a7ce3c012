// The imports run off the UI thread: the progress bar and "Zrušit" in the
// status bar, and a stop (the button, the window's close) that changes nothing.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QFileDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <functional>
#include <thread>

#include "tests/app/ModalBoxCatcher.h"
#include "tests/support/WindowFixture.h"

namespace morvane {

// A FIFO that an import reads: it gets a header and one line, then waits
// until release(), so the import is still running when the test acts.
class TStalledFile {
public:
    explicit TStalledFile(const QString& path) : m_path(path.toStdString()) {
        ::mkfifo(m_path.c_str(), 0600);
        m_writer = std::thread([this] {
            const int fd = ::open(m_path.c_str(), O_WRONLY);
            m_opened = true;
            if (::write(fd, "Trigger;Value\n1;2\n", 18) == 18) {
                while (!m_released) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
            }
            ::close(fd);
        });
    }
    ~TStalledFile() {
        m_released = true;
        // A writer nobody came to read is let go by a reader of our own.
        const int reader = m_opened ? -1 : ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK);
        m_writer.join();
        if (reader >= 0) {
            ::close(reader);
        }
    }
    TStalledFile(const TStalledFile&) = delete;
    TStalledFile& operator=(const TStalledFile&) = delete;

private:
    std::string m_path;
    std::atomic<bool> m_opened{false};
    std::atomic<bool> m_released{false};
    std::thread m_writer;
};

class BackgroundImportTest : public testing::TWindowFixture {
    Q_OBJECT

    // "Import signal (ANGLE)..." of path; once the progress bar shows, during() runs.
    bool importWhile(const QString& path, const std::function<void()>& during) {
        bool ran = false;
        TModalBoxCatcher catcher([&](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                chooseFile(dialog, path);
            }
        });
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (!ran && find<QProgressBar>("WorkProgress")->isVisible()) {
                ran = true;
                during();
            }
        });
        watch.start(10);
        find<QAction>("ImportSig1")->trigger();
        return ran;
    }

    void keepSession() {
        m_window->session().Signal[5] = 0.5;
        m_window->session().LastImportFile = "/somewhere/old.csv";
    }
    void verifySessionKept() {
        QCOMPARE(m_window->session().Signal[5], 0.5);
        QCOMPARE(m_window->session().LastImportFile, std::string("/somewhere/old.csv"));
    }

private slots:
    void init() { QVERIFY(openWindow()); }
    void cleanup() { closeWindow(); }

    void cancelKeepsTheSignalAndTheTitle() {
        keepSession();
        const QString title = m_window->windowTitle();
        const QString path = m_files.filePath("slow.csv");
        const TStalledFile file(path);
        bool menuLocked = false;
        QVERIFY(importWhile(path, [&] {
            menuLocked = !find<QAction>("ImportSig2")->isEnabled();
            find<QPushButton>("CancelWorkButton")->click();
        }));
        QVERIFY(menuLocked);
        verifySessionKept();
        QCOMPARE(m_window->windowTitle(), title);
        QVERIFY(!find<QProgressBar>("WorkProgress")->isVisible());
        QVERIFY(!find<QPushButton>("CancelWorkButton")->isVisible());
        QVERIFY(find<QAction>("ImportSig2")->isEnabled());
    }

    void closingTheWindowStopsTheImport() {
        keepSession();
        const QString path = m_files.filePath("slow.csv");
        const TStalledFile file(path);
        QVERIFY(importWhile(path, [&] { m_window->close(); }));
        QTRY_VERIFY(!m_window->isVisible());
        verifySessionKept();
    }
};

}  // namespace morvane

int main(int argc, char* argv[]) {
    return morvane::testing::RunWindowTest<morvane::BackgroundImportTest>(argc, argv);
}
#include "backgroundimport_test.moc"
