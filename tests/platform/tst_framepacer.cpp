#include "platform/FramePacer.h"

#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace {

class PaintCounter final : public QWidget
{
public:
    using QWidget::QWidget;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// Asks for `count` drawings, each in a pass of the event loop of its own, as the reports of
// a loading page arrive; `asked` counts them.
void askInPasses(QWidget* widget, int count, int& asked)
{
    if (count == 0)
        return;
    QTimer::singleShot(0, widget, [widget, count, &asked] {
        widget->update();
        ++asked;
        askInPasses(widget, count - 1, asked);
    });
}

} // namespace

class TestFramePacer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void waitBefore_data()
    {
        QTest::addColumn<qint64>("since");
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("wait");
        QTest::newRow("nothing drawn yet") << qint64(-1) << 16 << 0;
        QTest::newRow("in the same millisecond") << qint64(0) << 16 << 16;
        QTest::newRow("within the frame") << qint64(10) << 16 << 6;
        QTest::newRow("the frame just over") << qint64(16) << 16 << 0;
        QTest::newRow("long after") << qint64(5000) << 16 << 0;
    }
    void waitBefore()
    {
        QFETCH(qint64, since);
        QFETCH(int, frame);
        QFETCH(int, wait);
        QCOMPARE(FramePacer::waitBefore(since, frame), wait);
    }

    void frameLength_data()
    {
        QTest::addColumn<qreal>("rate");
        QTest::addColumn<int>("ms");
        QTest::newRow("60 Hz") << qreal(60) << 17;
        QTest::newRow("144 Hz") << qreal(144) << 7;
        QTest::newRow("30 Hz") << qreal(30) << 33;
        QTest::newRow("a screen that reports nothing") << qreal(0) << 17;
        QTest::newRow("nonsense") << qreal(100000) << 17;
        QTest::newRow("not a number") << qreal(qQNaN()) << 17;
    }
    void frameLength()
    {
        QFETCH(qreal, rate);
        QFETCH(int, ms);
        QCOMPARE(FramePacer::frameMsFor(rate), ms);
    }

    // The window's own widgets asking to be drawn in several passes of one frame are drawn
    // once, at the next frame; a request after a quiet frame is drawn at once.
    void requestsWithinAFrameAreDrawnTogether()
    {
        QWidget window;
        auto* strip = new PaintCounter(&window);
        strip->setGeometry(0, 0, 80, 20);
        auto* status = new PaintCounter(&window);
        status->setGeometry(0, 80, 80, 20);
        window.resize(100, 100);
        qint64 now = 1000;
        // A long frame and a clock that stands still: the held drawing cannot come early.
        FramePacer pacer(window, 1000, [&now] { return now; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(strip->paints > 0 && status->paints > 0);

        now += 5000;
        const int stripBefore = strip->paints;
        strip->update();
        QTRY_COMPARE(strip->paints, stripBefore + 1);
        QVERIFY(!pacer.holding());
        const int atOnce = pacer.drawnAtOnce();

        int asked = 0;
        askInPasses(strip, 3, asked);
        askInPasses(status, 3, asked);
        QTRY_COMPARE(asked, 6);
        QVERIFY(pacer.holding());
        QCOMPARE(strip->paints, stripBefore + 1);
        const int statusBefore = status->paints;
        QTRY_COMPARE(strip->paints, stripBefore + 2);
        QCOMPARE(status->paints, statusBefore + 1);
        QCOMPARE(pacer.drawnLater(), 1);
        QCOMPARE(pacer.drawnAtOnce(), atOnce);
        QVERIFY(!pacer.holding());
    }
};

QTEST_MAIN(TestFramePacer)
#include "tst_framepacer.moc"
