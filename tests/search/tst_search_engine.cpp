#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "platform/web/WebEngineContext.h"
#include "platform/web/WebEngineServices.h"
#include "search/SearchBrowser.h"
#include "search/SearchPane.h"
#include "search/window/SearchCommands.h"
#include "settings/PVOptions.h"
#include "sidebar/SideBar.h"
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
        server.serve("/bar",
                     page("Search Bar",
                          "<p>Results</p>"
                          "<p><a id='m' href='/main-target' target='_main'>For the tabs</a></p>"
                          "<p><a id='M' href='/upper-target' target='_MAIN'>Stays</a></p>"));
        server.serve("/main-target", page("Main"));
        server.serve("/upper-target", page("Upper", "<form id='f' method='post' action='/posted'>"
                                                    "<input name='a' value='1'></form>"));
        server.serve("/posted", page("Posted"));
        server.serve("/reading", page("Reading"));
        server.serve("/find", page("Found"));
        WebEngineContext context;
        context.setQuestions(std::make_unique<ScriptedWebQuestions>());
        WebEngineServices services(context, QString());
        const QString bar = server.url("/bar").toString();
        // Written by the page's answers, which may still come while the window goes: they
        // must outlive it.
        bool ready = false;
        QString offered;
        {
            // A tab with a page of its own: a result must not take its place.
            MainWindowFixture window(
                {.argument = server.url("/reading").toString(),
                 .before =
                     [&](TPVOptions& o) {
                         o.SetSearchBar(bar);
                         o.SetSearchEngines({"Local=" + server.url("/find").toString() + "?q=%s"});
                     },
                 .engine = &services});
            window->resize(900, 600);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            window->search()->GoSearch();
            SearchBrowser* pane = window->search()->pane()->browser();
            QVERIFY(waitUntil([&] { return pane->LocationURL() == bar && !pane->Busy(); }));

            auto click = [&](const char* id) {
                pane->backend()->runJavaScript(
                    QStringLiteral("document.getElementById(args[0]).click(); return true;"),
                    {QString::fromLatin1(id)}, {});
            };
            // The links script goes in as the page loads; a click before it is answered
            // could still reach the engine's own handling.
            pane->backend()->runJavaScript(QStringLiteral("return window.__pelvaneSearchPane;"), {},
                                           [&](const QVariant& v) { ready = v.toBool(); });
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
            // The address alone does not say the page is there: from Qt 6.8 the engine names
            // the address asked for at once, before the load has started. Its title does.
            QVERIFY(waitUntil([&] {
                return pane->LocationURL() == server.url("/upper-target").toString() &&
                       pane->LocationName() == "Upper" && !pane->Busy();
            }));
            QCOMPARE(window->tabs().size(), 2);
            QCOMPARE(server.requestCount("/main-target"), 1);

            // A form goes ahead at once, with its body.
            pane->backend()->runJavaScript(
                QStringLiteral("document.getElementById('f').submit(); return true;"), {}, {});
            QVERIFY(
                waitUntil([&] { return pane->LocationURL() == server.url("/posted").toString(); }));
            QCOMPARE(server.requestsFor("/posted").value(0).body, "a=1");

            // The shipped page searches with the user's engines; results go to the tabs.
            window->search()->pane()->chooseSearch();
            QVERIFY(waitUntil([&] {
                return pane->LocationURL() == TPVOptions::DefaultSearchBar() && !pane->Busy();
            }));
            QVERIFY(waitUntil([&] {
                pane->backend()->runJavaScript(
                    QStringLiteral("var o = document.getElementById('engine').options;"
                                   "return o.length ? o[0].textContent : '';"),
                    {}, [&](const QVariant& v) { offered = v.toString(); });
                return offered == QLatin1String("Local");
            }));
            if (qEnvironmentVariableIsSet("PELVANE_SCREENSHOTS")) {
                waitUntil([] { return false; }, 500); // only for the picture: let it paint
                window->grab().save(qEnvironmentVariable("PELVANE_SCREENSHOTS") + "/page.png");
            }
            pane->backend()->runJavaScript(
                QStringLiteral("document.getElementById('q').value = args[0];"
                               "document.getElementById('go').click(); return true;"),
                {QStringLiteral("two words & more")}, {});
            QVERIFY(waitUntil([&] { return server.requestCount("/find") == 1; }));
            QCOMPARE(server.requestsFor("/find").first().target,
                     "/find?q=two%20words%20%26%20more");
            QVERIFY(waitUntil([&] { return window->tabs().size() == 3; }));
            QCOMPARE(pane->LocationURL(), TPVOptions::DefaultSearchBar());
        }
    }
};

PELVANE_TEST_MAIN(TestSearchEngine)
#include "tst_search_engine.moc"
