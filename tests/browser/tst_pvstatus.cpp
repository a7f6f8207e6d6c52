#include "browser/strip/PVStatusBar.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>

class TestStatusBar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void percent_data()
    {
        QTest::addColumn<int>("progress");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("percent"); // -1: none
        QTest::newRow("half") << 50 << 100 << 50;
        QTest::newRow("truncated") << 2 << 3 << 66;
        QTest::newRow("capped") << 300 << 100 << 100;
        QTest::newRow("no progress") << 0 << 100 << -1;
        QTest::newRow("negative progress") << -1 << 100 << -1;
        QTest::newRow("no maximum") << 10 << 0 << -1;
        QTest::newRow("byte counts") << 2000000000 << 2100000000 << 95; // 100 x would overflow
    }
    void percent()
    {
        QFETCH(int, progress);
        QFETCH(int, maximum);
        QFETCH(int, percent);
        QCOMPARE(TPVStatusBar::progressPercent(progress, maximum).value_or(-1), percent);
    }

    void progressAndBusy()
    {
        TPVStatusBar bar;
        QVERIFY(!bar.isProgressShown());
        QVERIFY(!bar.isSecureShown());
        bar.setProgress(30, 60);
        QVERIFY(bar.isProgressShown());
        QCOMPARE(bar.progressPosition(), 50);
        QCOMPARE(bar.panelText(3), QStringLiteral("50%"));
        // Shown but without a figure while nothing has arrived.
        bar.setProgress(0, 60);
        QVERIFY(bar.isProgressShown());
        QCOMPARE(bar.panelText(3), QString());
        QCOMPARE(bar.progressPosition(), 50);
        bar.setProgress(5, 0);
        QVERIFY(!bar.isProgressShown());

        bar.setProgress(1, 4);
        bar.setBusy(false);
        QVERIFY(!bar.isProgressShown());
        QCOMPARE(bar.panelText(3), QString());
        bar.setBusy(true);
        QVERIFY(bar.isProgressShown());
        bar.setProgressPosition(0);
        QCOMPARE(bar.progressPosition(), 0);
        QVERIFY(bar.isProgressShown());

        bar.setSecure(true);
        QVERIFY(bar.isSecureShown());
        QCOMPARE(bar.secureIcon()->pixmap().deviceIndependentSize().toSize(), QSize(16, 16));
        bar.setSecure(false);
        QVERIFY(!bar.isSecureShown());
    }

    void panelsKeepTheirPlaces()
    {
        QMainWindow win;
        auto* bar = new TPVStatusBar;
        win.setStatusBar(bar);
        win.resize(640, 200);
        bar->setText(QString(300, QLatin1Char('x'))); // a long text does not widen anything
        bar->setProgress(1, 2);
        bar->setSecure(true);
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QCOMPARE(win.width(), 640);
        QCOMPARE(bar->text(), QString(300, QLatin1Char('x')));
        auto* panel0 = bar->findChild<QLabel*>(QStringLiteral("panel0"));
        auto* panel1 = bar->findChild<QLabel*>(QStringLiteral("panel1"));
        auto* panel2 = bar->findChild<QLabel*>(QStringLiteral("panel2"));
        QVERIFY(panel0 && panel1 && panel2);
        QCOMPARE(panel1->width(), 19);
        QCOMPARE(panel2->width(), 152);
        // Panel 0 takes the room the fixed panels leave, then the padlock, then the bar.
        QVERIFY(panel0->geometry().right() < panel1->geometry().left());
        QVERIFY(panel0->width() > 200);
        const QRect icon(bar->secureIcon()->mapTo(bar, QPoint()), bar->secureIcon()->size());
        QVERIFY(panel1->geometry().contains(icon));
        const QRect progress(bar->progressBar()->mapTo(bar, QPoint()), bar->progressBar()->size());
        QVERIFY(panel2->geometry().contains(progress));
        QCOMPARE(bar->panelText(7), QString()); // no such panel: nothing, no crash
        bar->setPanelText(-1, QStringLiteral("ignored"));
    }
};

PELVANE_TEST_MAIN(TestStatusBar)
#include "tst_pvstatus.moc"
