#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "desktop/PGTrayIcon.h"
#include "desktop/TrayControl.h"
#include "platform/web/WebBrowser.h"
#include "settings/DefaultBrowser.h"
#include "support/MainWindowFixture.h"
#include "support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace {

// A main window whose default-browser question is answered by `answer` and counted.
struct Window
{
    int questions = 0;
    MainWindowFixture fixture;

    explicit Window(std::function<bool()> answer = {}, std::function<void(TPVOptions&)> before = {})
        : fixture({.before = std::move(before),
                   .askDefaultBrowser = answer ? std::function<bool()>([this, answer] {
                       ++questions;
                       return answer();
                   })
                                               : std::function<bool()>(),
                   .trayAvailable = [] { return true; }})
    {}
    TfrmMain* operator->() const { return fixture.get(); }
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

    void init() { QDir(m_xdg.path()).removeRecursively(); }

    void aHandOffBringsTheWindowBackFromTheTray()
    {
        Window w({}, [](TPVOptions& o) { o.SetMinToTray(true); });
        w->show();
        w->tray()->TrayRestoreClick();
        QVERIFY(w->tray()->TrayMinimized());
        w->acceptHandOff({}); // a second copy started without an address
        QVERIFY(w->isVisible());
        QVERIFY(!w->isMinimized());
        QVERIFY(!w->tray()->TrayMinimized());
    }

    void theOptionsDialogSwitchesTheIconAndTheExitWritesIt()
    {
        Window w;
        w->show();
        QVERIFY(!w->tray()->icon()->IconVisible());
        WindowSettings wanted = w->settings();
        wanted.minToTray = true;
        w->applySettings(wanted); // as the options dialog does
        QVERIFY(w->tray()->icon()->IconVisible());
        w->tray()->TrayRestoreClick();
        QVERIFY(w->tray()->TrayMinimized());
        w.fixture.options().SetMinToTray(false); // the exit writes the state in use
        w->tray()->TrayExitClick();
        QVERIFY(!w->isVisible());
        QVERIFY(w.fixture.options().GetMinToTray());
    }

    // The window asks at its creation (WindowExternal's own test has the answers).
    void defaultBrowserCheckAtCreation()
    {
        Window yes([] { return true; });
        QCOMPARE(yes.questions, 1);
        QVERIFY(IsDefaultBrowser());
    }
};

PELVANE_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
