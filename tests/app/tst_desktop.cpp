#include "app/MainWindow.h"
#include "app/PGTrayIcon.h"
#include "browser/BrowserTab.h"
#include "platform/web/WebBrowser.h"
#include "settings/DefaultBrowser.h"
#include "support/FakeWebBackend.h"
#include "support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace {

// A main window on fake engines; the desktop has a tray unless told otherwise.
struct Window
{
    std::shared_ptr<FakeWebBackend::Made> made = std::make_shared<FakeWebBackend::Made>();
    std::unique_ptr<TfrmMain> window;
    bool trayAvailable = true;
    int questions = 0;

    explicit Window(bool withTray = true, std::function<bool()> answer = {})
        : trayAvailable(withTray)
    {
        MainWindowOptions options;
        options.backends = FakeWebBackend::factory(made);
        options.trayAvailable = [this] { return trayAvailable; };
        if (answer) {
            options.askDefaultBrowser = [this, answer] {
                ++questions;
                return answer();
            };
        }
        window = std::make_unique<TfrmMain>(options);
    }
    TfrmMain* operator->() const { return window.get(); }
    QStringList menuTexts() const
    {
        Q_EMIT window->trayMenu()->aboutToShow();
        QStringList texts;
        for (QAction* item : window->trayMenu()->actions())
            texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
        return texts;
    }
    void showPage(const QString& title)
    {
        auto* fake = static_cast<FakeWebBackend*>(window->GetActivePage()->Browser()->backend());
        fake->setLocationName(title);
        fake->completeLoad(QStringLiteral("http://127.0.0.1/page"), title);
    }
};

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_xdg;

private Q_SLOTS:
    void initTestCase()
    {
        // The default-browser check looks at the desktop's files: only at ours.
        qputenv("XDG_DATA_HOME", m_xdg.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", m_xdg.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", m_xdg.filePath(QStringLiteral("system-data")).toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", m_xdg.filePath(QStringLiteral("system-config")).toLocal8Bit());
        qunsetenv("XDG_CURRENT_DESKTOP");
    }

    void init()
    {
        TRegistry reg;
        reg.deleteKey(QStringLiteral("\\Software\\Brenmoor"));
        QDir(m_xdg.path()).removeRecursively();
    }

    void withoutMinToTrayThereIsNoIcon()
    {
        Window w;
        w->show();
        QVERIFY(!w->tray()->Active());
        QVERIFY(!w->tray()->icon());
        w->showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(w->isMinimized());
        QVERIFY(w->isVisible());
        QVERIFY(!w->TrayMinimized());
    }

    void trayMenuAndHintFollowTheState()
    {
        TPVOptions().SetMinToTray(true);
        Window w;
        w->show();
        w.showPage(QStringLiteral("Local News"));
        QVERIFY(w->tray()->IconVisible());
        QCOMPARE(w->tray()->Hint(), QStringLiteral("Pelvane 5.5"));
        QCOMPARE(w.menuTexts(), (QStringList{"&Minimize", "-", "&Exit"}));
        QCOMPARE(w->trayMenu()->defaultAction(), w->trayMenu()->actions().first());

        w->trayMenu()->actions().first()->trigger();
        QVERIFY(w->TrayMinimized());
        QVERIFY(!w->isVisible());
        QCOMPARE(w->tray()->Hint(), QStringLiteral("Pelvane - Local News"));
        QCOMPARE(w->tray()->icon()->toolTip(), QStringLiteral("Pelvane - Local News"));
        QCOMPARE(w.menuTexts(), (QStringList{"&Restore", "-", "&Exit"}));
        // Closing some other window meanwhile must not end the program.
        QVERIFY(!QGuiApplication::quitOnLastWindowClosed());

        Q_EMIT w->tray()->icon()->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(!w->TrayMinimized());
        QVERIFY(w->isVisible());
        QCOMPARE(w->tray()->Hint(), QStringLiteral("Pelvane"));
        QCOMPARE(w.menuTexts(), (QStringList{"&Minimize", "-", "&Exit"}));
        QVERIFY(QGuiApplication::quitOnLastWindowClosed());

        Q_EMIT w->tray()->icon()->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(w->TrayMinimized()); // a double-click toggles both ways
    }

    void minimizingGoesIntoTheTrayAndAHandOffBringsItBack()
    {
        TPVOptions().SetMinToTray(true);
        Window w;
        w->show();
        w->showMinimized();
        QTRY_VERIFY(w->TrayMinimized());
        QVERIFY(!w->isVisible());

        w->HandleHandOff(QString()); // a second copy started without an address
        QVERIFY(w->isVisible());
        QVERIFY(!w->isMinimized());
        QVERIFY(!w->TrayMinimized());
        QCOMPARE(w->tray()->Hint(), QStringLiteral("Pelvane"));
    }

    void withoutATrayTheOptionDoesNothing()
    {
        TPVOptions().SetMinToTray(true);
        Window w(false);
        w->show();
        QVERIFY(w->tray()->Active());
        QVERIFY(!w->tray()->IconVisible());
        w->TrayRestoreClick();
        QVERIFY(w->isMinimized());
        QVERIFY(w->isVisible()); // minimized as usual, not hidden where it could not be found
        QVERIFY(!w->TrayMinimized());
        QCoreApplication::processEvents();
        QVERIFY(!w->TrayMinimized());
    }

    void switchingTheOptionShowsAndTakesTheIcon()
    {
        Window w;
        w->show();
        QVERIFY(!w->tray()->IconVisible());
        w->SetMinToTray(true); // as the options dialog does
        QVERIFY(w->tray()->IconVisible());
        w->TrayRestoreClick();
        QVERIFY(w->TrayMinimized());
        // Without the icon nothing could bring the window back: it comes back now.
        w->SetMinToTray(false);
        QVERIFY(!w->tray()->icon());
        QVERIFY(w->isVisible());
        QVERIFY(!w->TrayMinimized());
    }

    void exitFromTheTrayRunsTheExitSequence()
    {
        TPVOptions().SetMinToTray(true);
        Window w;
        w->show();
        w->TrayRestoreClick();
        QVERIFY(w->TrayMinimized());
        TPVOptions().SetMinToTray(false); // the exit writes the state in use
        w->trayMenu()->actions().last()->trigger();
        QVERIFY(!w->isVisible());
        QVERIFY(TPVOptions().GetMinToTray());
        QVERIFY(QGuiApplication::quitOnLastWindowClosed());
    }

    void defaultBrowserCheckAtCreation()
    {
        {
            Window no(true, [] { return false; });
            QCOMPARE(no.questions, 1);
            QVERIFY(!IsDefaultBrowser());
        }
        {
            Window yes(true, [] { return true; });
            QCOMPARE(yes.questions, 1);
            QVERIFY(IsDefaultBrowser());
        }
        {
            Window again(true, [] { return true; });
            QCOMPARE(again.questions, 0); // already the default
        }
        QDir(m_xdg.path()).removeRecursively();
        TPVOptions().SetAskDefaultBrowser(false);
        {
            Window off(true, [] { return true; });
            QCOMPARE(off.questions, 0);
            QVERIFY(!IsDefaultBrowser());
        }
    }
};

PELVANE_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
