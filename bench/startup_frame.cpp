// Time from creating the main window to its first frame on screen, beside a
// bare Qt window with a menu and three tabs. Each window is measured in a
// fresh process, as a user starts the program, alternating the two.
//
//   startup_frame [runs]          prints the medians and their ratio
//   startup_frame --child KIND    one measurement, KIND is bare or morvane

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/AppLook.h"
#include "app/uMain.h"
#include "events/Lifecycle.h"

namespace {

std::unique_ptr<QMainWindow> bareWindow() {
    auto window = std::make_unique<QMainWindow>();
    QMenu* file = window->menuBar()->addMenu("File");
    for (const char* item :
         {"Open...", "Save...", "Import signal (ANGLE)...", "Import Signal (TIME)...", "Exit"}) {
        file->addAction(item);
    }
    auto* pages = new QTabWidget;
    for (const char* title : {"Editace", "Korekce", "Časová osa"}) {
        pages->addTab(new QWidget, title);
    }
    window->setCentralWidget(pages);
    window->resize(671, 608);
    return window;
}

// Notes when the window's first expose has been handled: the frame is painted
// and flushed by then.
class TFirstFrame : public QObject {
public:
    explicit TFirstFrame(const QElapsedTimer& clock) : m_clock(clock) {}
    QWidget* Window = nullptr;
    double Milliseconds = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && Window != nullptr && watched == Window->windowHandle() &&
            Milliseconds < 0) {
            QTimer::singleShot(0, this, [this] {
                Milliseconds = double(m_clock.nsecsElapsed()) / 1e6;
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    const QElapsedTimer& m_clock;
};

int measureOnce(int argc, char* argv[], bool morvaneWindow) {
    morvane::StartupModules();
    double result = -1;
    {
        QApplication application(argc, argv);
        application.setApplicationName("Morvane");
        morvane::SetUpApplicationLook();
        QElapsedTimer clock;
        TFirstFrame firstFrame(clock);
        application.installEventFilter(&firstFrame);
        clock.start();
        std::unique_ptr<QMainWindow> window =
            morvaneWindow ? std::make_unique<morvane::TFMain>() : bareWindow();
        firstFrame.Window = window.get();
        window->show();
        application.exec();
        result = firstFrame.Milliseconds;
    }
    morvane::ShutdownModules();
    std::printf("%.3f\n", result);
    return result < 0 ? 1 : 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 3 && std::string(argv[1]) == "--child") {
        return measureOnce(argc, argv, std::string(argv[2]) == "morvane");
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    std::vector<double> bare;
    std::vector<double> morvaneTimes;
    for (int run = 0; run < runs; ++run) {
        for (const char* kind : {"bare", "morvane"}) {
            QProcess child;
            child.start(QString::fromLocal8Bit(argv[0]), {"--child", kind});
            if (!child.waitForFinished(30000) || child.exitCode() != 0) {
                std::fprintf(stderr, "the %s window did not show: %s\n", kind,
                             child.readAllStandardError().constData());
                return 1;
            }
            const double ms = child.readAllStandardOutput().trimmed().toDouble();
            (std::string(kind) == "bare" ? bare : morvaneTimes).push_back(ms);
        }
    }
    const double bareMedian = median(bare);
    const double morvaneMedian = median(morvaneTimes);
    std::printf("first frame, median of %d runs each\n", runs);
    std::printf("bare Qt window with tabs  %8.1f ms\n", bareMedian);
    std::printf("Morvane main window       %8.1f ms\n", morvaneMedian);
    std::printf("ratio                     %8.2fx\n", morvaneMedian / bareMedian);
    return 0;
}
