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
    // A steady clock that the drawing moves on, by what a drawing costs.
    qint64* clock = nullptr;
    int costMs = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++paints;
        if (clock)
            *clock += costMs;
    }
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

    // How far apart drawings start: a frame while they are cheap, a multiple of what they
    // cost once that is more, never more than a tenth of a second, and a frame again right
    // after the user's input.
    void intervalFor_data()
    {
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("drawing");
        QTest::addColumn<qint64>("sinceInput");
        QTest::addColumn<int>("interval");
        QTest::newRow("nothing timed yet") << 16 << 0 << qint64(-1) << 16;
        QTest::newRow("cheap drawings") << 16 << 2 << qint64(-1) << 16;
        QTest::newRow("a third of a frame") << 16 << 5 << qint64(-1) << 16;
        QTest::newRow("costly drawings") << 16 << 30 << qint64(-1) << 90;
        QTest::newRow("very costly drawings") << 16 << 80 << qint64(-1) << 100;
        QTest::newRow("a slow screen") << 33 << 5 << qint64(-1) << 33;
        QTest::newRow("just after input") << 16 << 30 << qint64(100) << 16;
        QTest::newRow("input a while ago") << 16 << 30 << qint64(2000) << 90;
    }
    void intervalFor()
    {
        QFETCH(int, frame);
        QFETCH(int, drawing);
        QFETCH(qint64, sinceInput);
        QFETCH(int, interval);
        QCOMPARE(FramePacer::intervalFor(frame, drawing, sinceInput), interval);
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

    // Drawings that cost 40 ms each are held until 100 ms after the last one started; after
    // a key press in the window the next one is drawn at once again.
    void costlyDrawingsAreSpacedUntilTheUserActs()
    {
        QWidget window;
        qint64 now = 1000;
        auto* page = new PaintCounter(&window);
        page->setGeometry(0, 0, 100, 100);
        window.resize(100, 100);
        FramePacer pacer(window, 16, [&now] { return now; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(page->paints > 0);
        page->clock = &now;
        page->costMs = 40;

        for (int i = 0; i < 5; ++i) {
            now += 5000;
            const int before = page->paints;
            page->update();
            QTRY_COMPARE(page->paints, before + 1);
        }
        QCOMPARE(pacer.typicalDrawingMs(), 40);

        // 60 ms after the last drawing started (it ended 20 ms ago): one frame was enough
        // before, now it waits.
        now += 20;
        const int before = page->paints;
        const int later = pacer.drawnLater();
        int atOnce = pacer.drawnAtOnce();
        page->update();
        QTRY_COMPARE(page->paints, before + 1);
        QCOMPARE(pacer.drawnLater(), later + 1);
        QCOMPARE(pacer.drawnAtOnce(), atOnce);

        QVERIFY(window.windowHandle());
        QTest::keyClick(window.windowHandle(), Qt::Key_A);
        now += 20;
        atOnce = pacer.drawnAtOnce();
        page->update();
        QTRY_COMPARE(page->paints, before + 2);
        QCOMPARE(pacer.drawnAtOnce(), atOnce + 1);
        QCOMPARE(pacer.drawnLater(), later + 1);
    }
};

QTEST_MAIN(TestFramePacer)
#include "tst_framepacer.moc"
