#include "app/FirstPaint.h"

#include <QOpenGLWidget>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <QWindow>

// The function of a first picture runs once the window is on the screen, also when the
// toolkit made the system window again before it was first drawn.
class TestFirstPaint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runsOnceTheWindowIsDrawn()
    {
        QWidget window;
        window.resize(200, 150);
        int runs = 0;
        bool exposedThen = false;
        // A fallback that never comes within the test: only the window's drawing counts.
        new FirstPaint(
            window,
            [&] {
                ++runs;
                exposedThen = window.windowHandle() && window.windowHandle()->isExposed();
            },
            600000);
        QCOMPARE(runs, 0);
        window.show();
        QTRY_COMPARE(runs, 1);
        QVERIFY(exposedThen);
        window.hide();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(runs, 1);
    }

    void aWindowMadeAgainForOpenGLIsSeenDrawn()
    {
        QWidget window;
        window.resize(200, 150);
        bool ran = false;
        new FirstPaint(
            window, [&ran] { ran = true; }, 600000);
        window.show();
        // A view composed through OpenGL comes in before the first picture: the toolkit
        // replaces the window's system window by an OpenGL one.
        const QPointer<QWindow> before = window.windowHandle();
        auto* view = new QOpenGLWidget(&window);
        view->resize(60, 60);
        view->show();
        QTRY_VERIFY(ran);
        QVERIFY(window.windowHandle()->isExposed());
        // Shows that the case was made: a window not made again would test nothing new.
        if (before)
            QSKIP("the toolkit kept the system window here");
    }

    void aWindowNeverDrawnRunsItAfterTheLongestWait()
    {
        QWidget window;
        window.setAttribute(Qt::WA_DontShowOnScreen);
        bool ran = false;
        new FirstPaint(
            window, [&ran] { ran = true; }, 50);
        window.show();
        QTRY_VERIFY(ran);
    }
};

QTEST_MAIN(TestFirstPaint)
#include "tst_firstpaint.moc"
