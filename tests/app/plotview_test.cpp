// The analysis plot driven as the user drives it: the wheel, drags, the
// rubber band, keys, the read-out, clicks on curves, linked crank-angle axes,
// the export and the number format of the ticks.

#include <QAction>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "ModalBoxCatcher.h"
#include "app/widgets/PlotReadout.h"
#include "app/widgets/PlotView.h"
#include "tests/support/WindowFixture.h"
#include "util/errors.h"

using namespace morvane;
using namespace morvane::testing;

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 400;

void SendMouse(QWidget& widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, pos, widget.mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button,
                      held, modifiers);
    QApplication::sendEvent(&widget, &event);
}

void Drag(QWidget& widget, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    SendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, modifiers);
    SendMouse(widget, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton, modifiers);
    SendMouse(widget, QEvent::MouseMove, to, Qt::LeftButton, modifiers);
    SendMouse(widget, QEvent::MouseButtonRelease, to, Qt::LeftButton, modifiers);
}

void Wheel(QWidget& widget, QPoint pos, int steps, Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(pos, widget.mapToGlobal(pos), QPoint(), QPoint(0, 120 * steps), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

struct TErrorBoxes : IMessageBoxes {
    std::string Text;
    void ShowInfo(const std::string&) override {}
    void ShowErrorBox(const std::string& text) override { Text = text; }
};

bool Near(const QCPRange& a, const QCPRange& b, double tolerance) {
    return std::abs(a.lower - b.lower) <= tolerance && std::abs(a.upper - b.upper) <= tolerance;
}

}  // namespace

class PlotViewTest : public QObject {
    Q_OBJECT

private:
    // A plot of the cycle p = 2φ (cycle 3) and the named curve p = 1000 − φ
    // over 0..720 °, shown at a fixed size with its home view fitted.
    static std::unique_ptr<TPlotView> knownPlot() {
        auto plot = std::make_unique<TPlotView>();
        QVector<double> keys;
        QVector<double> rising;
        QVector<double> falling;
        for (int angle = 0; angle <= 720; angle += 4) {
            keys << angle;
            rising << 2.0 * angle;
            falling << 1000.0 - angle;
        }
        QCPGraph* cycle = plot->addGraph();
        cycle->setData(keys, rising, true);
        TPlotView::setCycleOf(cycle, 3);
        QCPGraph* mean = plot->addGraph();
        mean->setData(keys, falling, true);
        mean->setName(QStringLiteral("průměr"));
        plot->setAxisTitles(QStringLiteral("φ"), QStringLiteral("°"), QStringLiteral("p"),
                            QStringLiteral("bar"));
        plot->resize(kWidth, kHeight);
        plot->fitHome();
        plot->show();
        if (!QTest::qWaitForWindowExposed(plot.get())) {
            qFatal("the plot is never shown");
        }
        plot->replot();
        return plot;
    }

    static QPoint pixelOf(const TPlotView& plot, double key, double value) {
        return QPoint(qRound(plot.xAxis->coordToPixel(key)), qRound(plot.yAxis->coordToPixel(value)));
    }

    std::unique_ptr<TPlotView> m_plot;

private slots:
    void init() { m_plot = knownPlot(); }
    void cleanup() { m_plot.reset(); }

    void wheelZoomsAboutTheMouse_data() {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("keyZooms");
        QTest::newRow("wheel") << Qt::KeyboardModifiers() << true;
        QTest::newRow("Ctrl+wheel") << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
    }
    void wheelZoomsAboutTheMouse() {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, keyZooms);
        const QPoint mouse = pixelOf(*m_plot, 200, 400);
        const QCPRange key = m_plot->xAxis->range();
        const QCPRange value = m_plot->yAxis->range();
        Wheel(*m_plot, mouse, 2, modifiers);
        QCOMPARE(m_plot->xAxis->range().size() < key.size(), keyZooms);
        QVERIFY(m_plot->yAxis->range().size() < value.size());
        // The point under the mouse stays under it.
        QVERIFY(std::abs(m_plot->xAxis->pixelToCoord(mouse.x()) - 200) < 2);
        QVERIFY(std::abs(m_plot->yAxis->pixelToCoord(mouse.y()) - 400) < 4);
    }

    void dragPansByTheDraggedAmount() {
        const QPoint from = pixelOf(*m_plot, 300, 600);
        const QPoint to = from + QPoint(120, -60);
        const double keyShift = m_plot->xAxis->pixelToCoord(to.x()) - m_plot->xAxis->pixelToCoord(from.x());
        const double valueShift = m_plot->yAxis->pixelToCoord(to.y()) - m_plot->yAxis->pixelToCoord(from.y());
        const QCPRange key = m_plot->xAxis->range();
        const QCPRange value = m_plot->yAxis->range();
        Drag(*m_plot, from, to);
        QVERIFY(Near(m_plot->xAxis->range(), QCPRange(key.lower - keyShift, key.upper - keyShift), 1e-6));
        QVERIFY(
            Near(m_plot->yAxis->range(), QCPRange(value.lower - valueShift, value.upper - valueShift), 1e-6));
    }

    void shiftDragZoomsToTheRectangle() {
        // Within two pixels of the corners the mouse was at.
        const double keyPixel = m_plot->xAxis->range().size() / m_plot->axisRect()->width();
        const double valuePixel = m_plot->yAxis->range().size() / m_plot->axisRect()->height();
        Drag(*m_plot, pixelOf(*m_plot, 100, 1200), pixelOf(*m_plot, 400, 300), Qt::ShiftModifier);
        QVERIFY(Near(m_plot->xAxis->range(), QCPRange(100, 400), 2 * keyPixel));
        QVERIFY(Near(m_plot->yAxis->range(), QCPRange(300, 1200), 2 * valuePixel));
    }

    void keysZoomAndPan_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<double>("keyScale");
        QTest::addColumn<double>("keyShift");  // in parts of the home range's size
        QTest::addColumn<double>("valueScale");
        QTest::addColumn<double>("valueShift");
        const Qt::KeyboardModifiers none;
        QTest::newRow("+") << int(Qt::Key_Plus) << none << 0.8 << 0.0 << 1.0 << 0.0;
        QTest::newRow("-") << int(Qt::Key_Minus) << none << 1.25 << 0.0 << 1.0 << 0.0;
        QTest::newRow("Ctrl++") << int(Qt::Key_Plus) << Qt::KeyboardModifiers(Qt::ControlModifier) << 1.0
                                << 0.0 << 0.8 << 0.0;
        QTest::newRow("Left") << int(Qt::Key_Left) << none << 1.0 << -0.1 << 1.0 << 0.0;
        QTest::newRow("Right") << int(Qt::Key_Right) << none << 1.0 << 0.1 << 1.0 << 0.0;
        QTest::newRow("Up") << int(Qt::Key_Up) << none << 1.0 << 0.0 << 1.0 << 0.1;
        QTest::newRow("Down") << int(Qt::Key_Down) << none << 1.0 << 0.0 << 1.0 << -0.1;
    }
    void keysZoomAndPan() {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(double, keyScale);
        QFETCH(double, keyShift);
        QFETCH(double, valueScale);
        QFETCH(double, valueShift);
        const QCPRange homeKey = m_plot->xAxis->range();
        const QCPRange homeValue = m_plot->yAxis->range();
        QTest::keyClick(m_plot.get(), Qt::Key(key), modifiers);
        QCOMPARE(m_plot->xAxis->range().size(), homeKey.size() * keyScale);
        QCOMPARE(m_plot->xAxis->range().center(), homeKey.center() + keyShift * homeKey.size());
        QCOMPARE(m_plot->yAxis->range().size(), homeValue.size() * valueScale);
        QCOMPARE(m_plot->yAxis->range().center(), homeValue.center() + valueShift * homeValue.size());
    }

    // A window's shortcut on the same key waits while the plot has the focus.
    void plotKeysComeBeforeShortcuts() {
        QWidget window;
        m_plot->setParent(&window);
        QAction shortcut(&window);
        shortcut.setShortcut(Qt::Key_Plus);
        window.addAction(&shortcut);
        QSignalSpy triggered(&shortcut, &QAction::triggered);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        m_plot->setFocus();
        const double size = m_plot->xAxis->range().size();
        QTest::keyClick(m_plot.get(), Qt::Key_Plus);
        QCOMPARE(m_plot->xAxis->range().size(), 0.8 * size);
        QCOMPARE(triggered.size(), 0);
        m_plot->setParent(nullptr);
    }

    void homeViewComesBack_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Home") << "Home";
        QTest::newRow("double-click") << "double-click";
        QTest::newRow("menu") << "menu";
    }
    void homeViewComesBack() {
        QFETCH(QString, how);
        const QCPRange homeKey = m_plot->xAxis->range();
        const QCPRange homeValue = m_plot->yAxis->range();
        Drag(*m_plot, pixelOf(*m_plot, 100, 1200), pixelOf(*m_plot, 400, 300), Qt::ShiftModifier);
        QVERIFY(!Near(m_plot->xAxis->range(), homeKey, 1));
        if (how == "Home") {
            QTest::keyClick(m_plot.get(), Qt::Key_Home);
        } else if (how == "double-click") {
            QTest::mouseDClick(m_plot.get(), Qt::LeftButton, Qt::NoModifier, pixelOf(*m_plot, 200, 200));
        } else {
            m_plot->contextMenu()->findChild<QAction*>(QStringLiteral("HomeAction"))->trigger();
        }
        QCOMPARE(m_plot->xAxis->range(), homeKey);
        QCOMPARE(m_plot->yAxis->range(), homeValue);
    }

    void linkedPlotsFollowTheKeyRangeOnly() {
        std::unique_ptr<TPlotView> other = knownPlot();
        other->yAxis->setRange(-5, 5);
        TPlotView::linkKeyAxes({m_plot.get(), other.get()});
        Wheel(*m_plot, pixelOf(*m_plot, 200, 400), 1, Qt::NoModifier);
        QCOMPARE(other->xAxis->range(), m_plot->xAxis->range());
        QCOMPARE(other->yAxis->range(), QCPRange(-5, 5));
        QTest::keyClick(other.get(), Qt::Key_Right);
        QCOMPARE(m_plot->xAxis->range(), other->xAxis->range());
    }

    void readoutShowsTheCurveUnderTheMouse_data() {
        QTest::addColumn<double>("key");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("slope");
        QTest::addColumn<QString>("curve");
        QTest::newRow("cycle") << 372.0 << 744.0 << 2.0 << "cyklus 3";
        QTest::newRow("named curve") << 101.0 << 899.0 << -1.0 << "průměr";
    }
    void readoutShowsTheCurveUnderTheMouse() {
        QFETCH(double, key);
        QFETCH(double, value);
        QFETCH(double, slope);
        QFETCH(QString, curve);
        // Beside the curve: the read-out takes the curve's value at the mouse's key.
        SendMouse(*m_plot, QEvent::MouseMove, pixelOf(*m_plot, key, value + 20), Qt::NoButton);
        const QRegularExpression form(QStringLiteral("^φ = ([0-9,]+) °   p = ([0-9,]+) bar   (.+)$"));
        const QRegularExpressionMatch match = form.match(m_plot->readoutText());
        QVERIFY2(match.hasMatch(), qPrintable(m_plot->readoutText()));
        const double shownKey = QLocale(QLocale::Czech).toDouble(match.captured(1));
        const double shownValue = QLocale(QLocale::Czech).toDouble(match.captured(2));
        QVERIFY(std::abs(shownKey - key) < 2);
        QVERIFY(std::abs(shownValue - (value + slope * (shownKey - key))) < 0.1);
        QCOMPARE(match.captured(3), curve);

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(m_plot.get(), &leave);
        QVERIFY(!m_plot->layer(QStringLiteral("readout"))->visible());
        QVERIFY(m_plot->readoutText().endsWith(curve));

        // The page clearing its markers takes the read-out's items along; they come back.
        const QString before = m_plot->readoutText();
        m_plot->clearItems();
        SendMouse(*m_plot, QEvent::MouseMove, pixelOf(*m_plot, 200, 1000), Qt::NoButton);
        QVERIFY(m_plot->readoutText() != before);
        QVERIFY(m_plot->layer(QStringLiteral("readout"))->visible());
        QCOMPARE(m_plot->itemCount(), 4);
    }

    void legendOnlyForMoreThanOneNamedCurve() {
        QVERIFY(!m_plot->legend->visible());
        m_plot->graph(0)->setName(QStringLiteral("cyklus 3"));
        m_plot->replot();
        QVERIFY(m_plot->legend->visible());
        QCOMPARE(m_plot->legend->itemCount(), 2);
        m_plot->graph(1)->setVisible(false);
        m_plot->replot();
        QVERIFY(!m_plot->legend->visible());
    }

    void readoutNumbers_data() {
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("372.5") << 372.5 << "372,5";
        QTest::newRow("45.2134") << 45.2134 << "45,21";
        QTest::newRow("0.0123456") << 0.0123456 << "0,01235";
        QTest::newRow("-3.5") << -3.5 << "-3,5";
        QTest::newRow("0.99996 rounds to 1") << 0.99996 << "1";
        QTest::newRow("12345.6: no exponent") << 12345.6 << "12346";
        QTest::newRow("1e-15 is 0") << 1e-15 << "0";
    }
    void readoutNumbers() {
        QFETCH(double, number);
        QFETCH(QString, text);
        QLocale czech(QLocale::Czech, QLocale::Czechia);
        czech.setNumberOptions(QLocale::OmitGroupSeparator);
        QCOMPARE(ReadoutNumber(number, czech), text);
    }

    void clicksPickTheCycleOrThePoint_data() {
        QTest::addColumn<double>("key");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("cycle");
        QTest::newRow("on the cycle") << 500.0 << 1002.0 << 3;
        QTest::newRow("on the named curve") << 100.0 << 900.0 << 0;
        QTest::newRow("off the curves") << 600.0 << 100.0 << 0;
    }
    void clicksPickTheCycleOrThePoint() {
        QFETCH(double, key);
        QFETCH(double, value);
        QFETCH(int, cycle);
        QSignalSpy cycles(m_plot.get(), &TPlotView::cycleClicked);
        QSignalSpy points(m_plot.get(), &TPlotView::pointClicked);
        QTest::mouseClick(m_plot.get(), Qt::LeftButton, Qt::NoModifier, pixelOf(*m_plot, key, value));
        QCOMPARE(cycles.size(), cycle > 0 ? 1 : 0);
        QCOMPARE(points.size(), cycle > 0 ? 0 : 1);
        if (cycle > 0) {
            QCOMPARE(cycles.first().first().toInt(), cycle);
        } else {
            QVERIFY(std::abs(points.first().at(0).toDouble() - key) < 2);
            QVERIFY(std::abs(points.first().at(1).toDouble() - value) < 5);
        }
    }

    void savesThePictureAtThePlotsSize() {
        QTemporaryDir folder;
        const QString png = folder.filePath(QStringLiteral("tlak.png"));
        m_plot->saveImage(png.toStdString());
        const QImage image(png);
        QCOMPARE(image.size(), QSize(kWidth, kHeight));

        const QString pdf = folder.filePath(QStringLiteral("tlak.PDF"));
        TAnswerDialog<ISaveDialog> dialog;
        dialog.Path = pdf.toStdString();
        m_plot->useSaveDialog(&dialog);
        m_plot->contextMenu()->findChild<QAction*>(QStringLiteral("SaveImageAction"))->trigger();
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");

        QVERIFY_THROWS_EXCEPTION(EFOpenError,
                                 m_plot->saveImage(folder.filePath("no/such/folder.png").toStdString()));
    }

    // Without the window's dialog the plot asks through its own, turned to
    // saving, and the PNG gets its suffix; a failure shows in the window's box.
    void contextMenuSavesThroughItsOwnDialog() {
        QTemporaryDir folder;
        QStringList filters;
        bool saving = false;
        TModalBoxCatcher catcher([&](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                filters = dialog->nameFilters();
                saving = dialog->acceptMode() == QFileDialog::AcceptSave;
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                    ->setText(folder.filePath("tlak"));
                static_cast<QDialog*>(dialog)->accept();
                // An open dialog refuses a file that is not there yet.
                if (dialog->isVisible()) {
                    dialog->reject();
                }
            }
        });
        m_plot->contextMenu()->findChild<QAction*>(QStringLiteral("SaveImageAction"))->trigger();
        QVERIFY(saving);
        QCOMPARE(filters, QStringList({"Obrázek PNG (*.png)", "Dokument PDF (*.pdf)"}));
        QVERIFY(QFile::exists(folder.filePath("tlak.png")));

        TAnswerDialog<ISaveDialog> dialog;
        dialog.Path = folder.filePath("no/such/folder.png").toStdString();
        TErrorBoxes boxes;
        m_plot->useSaveDialog(&dialog);
        m_plot->useMessageBoxes(&boxes);
        m_plot->contextMenu()->findChild<QAction*>(QStringLiteral("SaveImageAction"))->trigger();
        QVERIFY2(boxes.Text.starts_with("Cannot create file"), boxes.Text.c_str());
    }

    void tickLabelsUseTheDecimalSeparator_data() {
        QTest::addColumn<bool>("comma");
        QTest::addColumn<QString>("half");
        QTest::addColumn<QString>("other");
        QTest::newRow("comma") << true << "0,5"
                               << ".";
        QTest::newRow("point") << false << "0.5"
                               << ",";
    }
    void tickLabelsUseTheDecimalSeparator() {
        QFETCH(bool, comma);
        QFETCH(QString, half);
        QFETCH(QString, other);
        m_plot->setDecimalComma(comma);
        m_plot->yAxis->setRange(0, 2.5);
        m_plot->xAxis->setRange(0, 12000);
        m_plot->replot();
        const QStringList values = m_plot->yAxis->tickVectorLabels().toList();
        QVERIFY2(values.contains(half), qPrintable(values.join(u' ')));
        QVERIFY(!values.join(u' ').contains(other));
        // No group separator in thousands.
        QVERIFY(m_plot->xAxis->tickVectorLabels().contains(QStringLiteral("10000")));
    }

    void logarithmicAxisNeverReachesZero() {
        m_plot->setLogarithmic(false, true);
        QVERIFY(m_plot->yAxis->range().lower > 0);
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(m_plot.get(), Qt::Key_Minus, Qt::ControlModifier);
            QTest::keyClick(m_plot.get(), Qt::Key_Down);
            Wheel(*m_plot, pixelOf(*m_plot, 300, 10), -3, Qt::NoModifier);
            QVERIFY2(m_plot->yAxis->range().lower > 0,
                     qPrintable(QString::number(m_plot->yAxis->range().lower)));
        }
        Drag(*m_plot, QPoint(300, 100), QPoint(300, 380));
        QVERIFY(m_plot->yAxis->range().lower > 0);
    }
};

int main(int argc, char* argv[]) {
    return RunWindowTest<PlotViewTest>(argc, argv);
}
#include "plotview_test.moc"
