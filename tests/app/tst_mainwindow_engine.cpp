// The main window on the real engine, with pages from a local server.
#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "platform/web/WebEngineServices.h"
#include "settings/ContentSwitchControl.h"
#include "support/EngineTestKit.h"
#include "support/LocalHttpServer.h"
#include "support/MainWindowFixture.h"
#include "support/TestHome.h"

using EngineTestKit::page;
using EngineTestKit::waitUntil;

class TestMainWindowEngine : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        m_server.serve("/list", page("List", "<a href='/other'>Other</a>"
                                             "<a href='/next1'>Next page</a>"
                                             "<span>next</span>"
                                             "<a href='/next2'>Go to the next one</a>"));
        for (const char* path : {"/other", "/next1", "/next2"})
            m_server.serve(path, page(path));
    }

    void followNextLinkLoadsTheLastNextLink()
    {
        WebEngineContext engine;
        WebEngineServices services(engine, QString());
        MainWindowFixture fixture(
            {.argument = m_server.url(QStringLiteral("/list")).toString(), .engine = &services});
        TfrmMain& window = *fixture.get();
        window.show();
        TBrowserTab* tab = window.GetActivePage();
        QVERIFY(waitUntil([&] { return m_server.requestCount("/list") > 0 && !tab->Busy(); }));
        QCOMPARE(tab->Caption(), QStringLiteral("List"));

        window.runCommand(KeyDispatcher::Command::FollowNextLink);
        QVERIFY(waitUntil([&] { return tab->GetAddress().endsWith(QLatin1String("/next2")); }));
        QCOMPARE(m_server.requestCount("/other"), 0);
        QCOMPARE(window.tabs().size(), 1);
    }
};

PELVANE_TEST_MAIN(TestMainWindowEngine)
#include "tst_mainwindow_engine.moc"
