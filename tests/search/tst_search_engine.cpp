#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "search/SearchBrowser.h"
#include "search/SearchPane.h"
#include "sidebar/SideBar.h"
#include "platform/web/WebEngineContext.h"
#include "platform/web/WebEngineServices.h"
#include "support/EngineTestKit.h"
#include "support/LocalHttpServer.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedWebQuestions.h"
#include "support/TestHome.h"

using namespace EngineTestKit;

// The search pane on the real engine: a link for the main area lands in a tab, one whose
// target only looks like it stays in the pane, and the window is screenshotted meanwhile.
class TestSearchEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mainLinksOpenInTabs()
    {
        LocalHttpServer server;
        QVERIFY(server.listen());
        server.serve("/bar", page("Search Bar",
                                  "<p>Results</p>"
                                  "<p><a id='m' href='/main-target' target='_main'>For the tabs</a></p>"
                                  "<p><a id='M' href='/upper-target' target='_MAIN'>Stays</a></p>"));
        server.serve("/main-target", page("Main"));
        server.serve("/upper-target", page("Upper"));
        server.serve("/reading", page("Reading"));
        WebEngineContext context;
        context.setQuestions(std::make_unique<ScriptedWebQuestions>());
        WebEngineServices services(context, QString());
        const QString bar = server.url("/bar").toString();
        {
            // A tab with a page of its own: a result must not take its place.
            MainWindowFixture window({.argument = server.url("/reading").toString(),
                                      .before = [bar](TPVOptions& o) { o.SetSearchBar(bar); },
                                      .engine = &services});
            window->resize(900, 600);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            window->GoSearch();
            SearchBrowser* pane = window->searchPane()->browser();
            QVERIFY(waitUntil([&] { return pane->LocationURL() == bar && !pane->Busy(); }));

            auto click = [&](const char* id) {
                pane->backend()->runJavaScript(
                    QStringLiteral("document.getElementById(args[0]).click(); return true;"),
                    {QString::fromLatin1(id)}, {});
            };
            // The links script goes in as the page loads; a click before it is answered
            // could still reach the engine's own handling.
            bool ready = false;
            pane->backend()->runJavaScript(QStringLiteral("return window.__pelvaneSearchPane;"),
                                           {}, [&](const QVariant& v) { ready = v.toBool(); });
            QVERIFY(waitUntil([&] { return ready; }));
            if (qEnvironmentVariableIsSet("PELVANE_SCREENSHOTS"))
                window->grab().save(qEnvironmentVariable("PELVANE_SCREENSHOTS") + "/pane.png");

            click("m");
            QVERIFY(waitUntil([&] {
                return window->tabs().size() == 2 &&
                       window->tabs().at(1)->GetAddress() == server.url("/main-target").toString();
            }));
            QCOMPARE(pane->LocationURL(), bar);

            click("M");
            QVERIFY(waitUntil([&] {
                return pane->LocationURL() == server.url("/upper-target").toString() &&
                       !pane->Busy();
            }));
            QCOMPARE(window->tabs().size(), 2);
            QCOMPARE(server.requestCount("/main-target"), 1);
        }
    }
};

PELVANE_TEST_MAIN(TestSearchEngine)
#include "tst_search_engine.moc"
