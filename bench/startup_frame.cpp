// Time to the main window's first frame on screen, beside a bare Qt window
// with a menu and three tabs: from the window's construction, and from the
// launch of the process as a user starts the program. Each window is
// measured in a fresh process, alternating the two.
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
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/window/AppLook.h"
#include "app/window/uMain.h"
#include "events/Lifecycle.h"

namespace {

std::unique_ptr<QMainWindow> BareWindow() {
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

// Notes when the window's first frame is done: the first expose paints every
// widget, then flushes the frame to the screen. The first event of any other
// kind after those paints marks the end (anything the window does after its
// frame, such as setting its icon, is left out); a queued call after the
// expose catches the case where no other event comes.
class TFirstFrame : public QObject {
public:
    explicit TFirstFrame(const QElapsedTimer& clock) : m_clock(clock) {}
    QWidget* Window = nullptr;
    double Milliseconds = -1;
    long long SteadyNanoseconds = 0;  // the same clock in every process

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (Window == nullptr || Milliseconds >= 0) {
            return false;
        }
        if (event->type() == QEvent::Expose && watched == Window->windowHandle() && !m_exposed) {
            m_exposed = true;
            QTimer::singleShot(0, this, [this] {
                record();
                QCoreApplication::quit();
            });
        } else if (m_exposed && event->type() == QEvent::Paint) {
            m_painted = true;
        } else if (m_painted) {
            record();
        }
        return false;
    }

private:
    void record() {
        if (Milliseconds < 0) {
            Milliseconds = double(m_clock.nsecsElapsed()) / 1e6;
            SteadyNanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count();
        }
    }

    const QElapsedTimer& m_clock;
    bool m_exposed = false;
    bool m_painted = false;
};

int MeasureOnce(int argc, char* argv[], bool morvaneWindow) {
    morvane::StartupModules();
    double result = -1;
    double built = -1;
    long long shown = 0;
    {
        QApplication application(argc, argv);
        application.setApplicationName("Morvane");
        morvane::SetUpApplicationLook();
        QElapsedTimer clock;
        TFirstFrame firstFrame(clock);
        application.installEventFilter(&firstFrame);
        clock.start();
        std::unique_ptr<QMainWindow> window =
            morvaneWindow ? std::make_unique<morvane::TFMain>() : BareWindow();
        built = double(clock.nsecsElapsed()) / 1e6;
        firstFrame.Window = window.get();
        window->show();
        application.exec();
        result = firstFrame.Milliseconds;
        shown = firstFrame.SteadyNanoseconds;
    }
    morvane::ShutdownModules();
    std::printf("%.3f %.3f %lld\n", built, result, shown);
    return result < 0 ? 1 : 0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 3 && std::string(argv[1]) == "--child") {
        return MeasureOnce(argc, argv, std::string(argv[2]) == "morvane");
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    // Per kind: the time to the built window, and to its first frame.
    std::vector<double> built[2];
    std::vector<double> frame[2];
    std::vector<double> launch[2];
    for (int run = 0; run < runs; ++run) {
        for (int k = 0; k < 2; ++k) {
            const char* kind = k == 0 ? "bare" : "morvane";
            QProcess child;
            const auto started = std::chrono::steady_clock::now().time_since_epoch();
            child.start(QString::fromLocal8Bit(argv[0]), {"--child", kind});
            if (!child.waitForFinished(30000) || child.exitCode() != 0) {
                std::fprintf(stderr, "the %s window did not show: %s\n", kind,
                             child.readAllStandardError().constData());
                return 1;
            }
            const QList<QByteArray> times = child.readAllStandardOutput().trimmed().split(' ');
            built[k].push_back(times.value(0).toDouble());
            frame[k].push_back(times.value(1).toDouble());
            launch[k].push_back(
                double(times.value(2).toLongLong() -
                       std::chrono::duration_cast<std::chrono::nanoseconds>(started).count()) /
                1e6);
        }
    }
    // From the window's construction: built, first frame; from the process's launch: first frame.
    std::printf("median of %d runs each       built   first frame   from launch\n", runs);
    for (int k = 0; k < 2; ++k) {
        std::printf("%-24s %6.1f ms  %9.1f ms  %9.1f ms\n",
                    k == 0 ? "bare Qt window with tabs" : "Morvane main window", Median(built[k]),
                    Median(frame[k]), Median(launch[k]));
    }
    std::printf("ratio                    %6.2fx    %9.2fx    %9.2fx\n", Median(built[1]) / Median(built[0]),
                Median(frame[1]) / Median(frame[0]), Median(launch[1]) / Median(launch[0]));
    return 0;
}
