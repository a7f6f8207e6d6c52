#include "desktop/PGTrayIcon.h"
#include "desktop/TrayControl.h"
#include "support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QWidget>

namespace {

// A window with its tray part; the desktop has a tray unless told otherwise.
struct Tray
{
    bool trayAvailable = true;
    QString title = QStringLiteral("Local News");
    QWidget window;
    TrayControl control{&window, [this] { return title; }, [this] { return trayAvailable; }};

    explicit Tray(bool withTray = true)
        : trayAvailable(withTray)
    {
        window.resize(300, 200);
        window.show();
    }
    QStringList menuTexts() const
    {
        Q_EMIT control.menu()->aboutToShow();
        QStringList texts;
        for (QAction* item : control.menu()->actions())
            texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
        return texts;
    }
};

} // namespace

class TestTrayControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withoutMinToTrayThereIsNoIcon()
    {
        Tray t;
        QVERIFY(!t.control.icon()->Active());
        QVERIFY(!t.control.icon()->icon());
        t.window.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(t.window.isMinimized());
        QVERIFY(t.window.isVisible());
        QVERIFY(!t.control.TrayMinimized());
    }

    void menuAndHintFollowTheState()
    {
        Tray t;
        t.control.SetMinToTray(true);
        TPGTrayIcon* icon = t.control.icon();
        QVERIFY(icon->IconVisible());
        QCOMPARE(icon->Hint(), QStringLiteral("Pelvane 5.5"));
        QCOMPARE(t.menuTexts(), (QStringList{"&Minimize", "-", "&Exit"}));
        QCOMPARE(t.control.menu()->defaultAction(), t.control.menu()->actions().first());

        t.control.menu()->actions().first()->trigger();
        QVERIFY(t.control.TrayMinimized());
        QVERIFY(!t.window.isVisible());
        QCOMPARE(icon->Hint(), QStringLiteral("Pelvane - Local News"));
        QCOMPARE(icon->icon()->toolTip(), QStringLiteral("Pelvane - Local News"));
        QCOMPARE(t.menuTexts(), (QStringList{"&Restore", "-", "&Exit"}));
        // Closing some other window meanwhile must not end the program.
        QVERIFY(!QGuiApplication::quitOnLastWindowClosed());

        Q_EMIT icon->icon()->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(!t.control.TrayMinimized());
        QVERIFY(t.window.isVisible());
        QCOMPARE(icon->Hint(), QStringLiteral("Pelvane"));
        QCOMPARE(t.menuTexts(), (QStringList{"&Minimize", "-", "&Exit"}));
        QVERIFY(QGuiApplication::quitOnLastWindowClosed());

        Q_EMIT icon->icon()->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(t.control.TrayMinimized()); // a double-click toggles both ways
    }

    void aSingleClickBringsTheWindowBack()
    {
        Tray t;
        t.control.SetMinToTray(true);
        QSystemTrayIcon* icon = t.control.icon()->icon();
        Q_EMIT icon->activated(QSystemTrayIcon::Trigger); // a click on a shown window
        QVERIFY(!t.control.TrayMinimized());
        t.control.TrayRestoreClick();
        QVERIFY(t.control.TrayMinimized());
        Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
        QVERIFY(!t.control.TrayMinimized());
        QVERIFY(t.window.isVisible());
        // Where the tray also reports the double-click, its first click has done the work.
        Q_EMIT icon->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(!t.control.TrayMinimized());
    }

    void minimizingGoesIntoTheTray()
    {
        Tray t;
        t.control.SetMinToTray(true);
        t.window.showMinimized();
        QTRY_VERIFY(t.control.TrayMinimized());
        QVERIFY(!t.window.isVisible());
        t.control.TrayRestoreClick();
        QVERIFY(t.window.isVisible());
        QVERIFY(!t.control.TrayMinimized());
    }

    void withoutATrayTheOptionDoesNothing()
    {
        Tray t(false);
        t.control.SetMinToTray(true);
        QVERIFY(t.control.icon()->Active());
        QVERIFY(!t.control.icon()->IconVisible());
        t.control.TrayRestoreClick();
        QVERIFY(t.window.isMinimized());
        QVERIFY(t.window.isVisible()); // minimized as usual, not hidden where it could not be found
        QVERIFY(!t.control.TrayMinimized());
    }

    void switchingTheOptionOffBringsTheWindowBack()
    {
        Tray t;
        QVERIFY(!t.control.icon()->IconVisible());
        t.control.SetMinToTray(true);
        QVERIFY(t.control.icon()->IconVisible());
        t.control.TrayRestoreClick();
        QVERIFY(t.control.TrayMinimized());
        // Without the icon nothing could bring the window back: it comes back now.
        t.control.SetMinToTray(false);
        QVERIFY(!t.control.icon()->icon());
        QVERIFY(t.window.isVisible());
        QVERIFY(!t.control.TrayMinimized());
    }

    void exitFromTheTrayClosesTheWindow()
    {
        Tray t;
        t.control.SetMinToTray(true);
        t.control.TrayRestoreClick();
        QVERIFY(t.control.TrayMinimized());
        t.control.menu()->actions().last()->trigger();
        QVERIFY(!t.window.isVisible());
        QVERIFY(QGuiApplication::quitOnLastWindowClosed());
    }
};

PELVANE_TEST_MAIN(TestTrayControl)
#include "tst_traycontrol.moc"
