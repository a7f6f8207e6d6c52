// The main window on the real engine, with pages from a local server.
#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "commands/ActionId.h"
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
        for (const char* path : {"/other", "/next1", "/next2", "/f1", "/f2", "/f3"})
            m_server.serve(path, page(path));
        m_server.serve("/framed", page("Framed", "<iframe src='/f1'></iframe>"
                                                 "<iframe src='/f2'></iframe>"
                                                 "<iframe src='/f3'></iframe>"));
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

    void lockedPageWithFramesStaysOneTabAndReloadsInPlace()
    {
        WebEngineContext engine;
        WebEngineServices services(engine, QString());
        MainWindowFixture fixture({.engine = &services});
        TfrmMain& window = *fixture.get();
        window.show();
        TBrowserTab* tab = window.GetActivePage();
        QVERIFY(waitUntil([&] { return !tab->Busy(); }));
        const auto loaded = [&](int times) {
            return waitUntil([&] {
                return m_server.requestCount("/framed") == times &&
                       m_server.requestCount("/f3") == times && !tab->Busy();
            });
        };

        // As a page group opens an entry marked "*".
        const QString framed = m_server.url(QStringLiteral("/framed")).toString();
        tab->setLockWhenLoaded(true);
        tab->OpenAsHome(framed);
        QVERIFY(loaded(1));
        QVERIFY(tab->Locked());
        QCOMPARE(window.tabs().size(), 1);

        // F5 reloads the page, frames and all, in its own tab.
        window.action(ActionId::actViewRefresh)->trigger();
        QVERIFY(loaded(2));
        QCOMPARE(window.tabs().size(), 1);
        QCOMPARE(tab->GetAddress(), framed);

        // Leaving the page opens the other page in a tab of its own.
        tab->NavigateTo(m_server.url(QStringLiteral("/other")).toString());
        QVERIFY(waitUntil([&] {
            return window.tabs().size() == 2 &&
                   window.tabs().last()->GetAddress().endsWith("/other") &&
                   m_server.requestCount("/other") == 1;
        }));
        QCOMPARE(m_server.requestCount("/other"), 1);
        QCOMPARE(window.tabs().size(), 2);
        QCOMPARE(tab->GetAddress(), framed);
    }
};

PELVANE_TEST_MAIN(TestMainWindowEngine)
#include "tst_mainwindow_engine.moc"
