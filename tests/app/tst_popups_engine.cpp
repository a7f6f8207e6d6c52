#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "browser/PopupControl.h"
#include "browser/PopupNotify.h"
#include "browser/PopupRules.h"
#include "browser/strip/PVPageControl.h"
#include "platform/web/WebEngineContext.h"
#include "platform/web/WebEngineServices.h"
#include "support/EngineTestKit.h"
#include "support/LocalHttpServer.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedWebQuestions.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

using namespace EngineTestKit;

// Pop-up control with the real engine: what a blocked window never asks the server, what
// an allowed one shows, and a page that opens windows in a loop.
class TestPopupsEngine : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;
    std::unique_ptr<WebEngineContext> m_context;
    std::unique_ptr<WebEngineServices> m_services;
    std::unique_ptr<MainWindowFixture> m_fixture;
    TfrmMain* m_window = nullptr;

    QString url(const char* path) const
    {
        return m_server.url(QString::fromLatin1(path)).toString();
    }
    int hiddenTabs() const
    {
        int n = 0;
        for (const TBrowserTab* tab : m_window->tabs())
            n += tab->TabVisible() ? 0 : 1;
        return n;
    }
    // Opens the opener page in the active tab and waits for it.
    TBrowserTab* openOpener()
    {
        TBrowserTab* tab = m_window->GetActivePage();
        tab->NavigateTo(url("/opener"));
        const bool loaded =
            waitUntil([&] { return !tab->Busy() && tab->GetAddress() == url("/opener"); });
        return loaded ? tab : nullptr;
    }
    void runScript(TBrowserTab* tab, const QString& script)
    {
        tab->Browser()->backend()->runJavaScript(script, {}, {});
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        m_server.serve("/opener", page("Opener"));
        m_server.serve("/ads/pop.html", page("Advert"));
        m_server.serve("/ok.html", page("Welcome"));
        m_context = std::make_unique<WebEngineContext>();
        m_context->setQuestions(std::make_unique<ScriptedWebQuestions>());
        m_services = std::make_unique<WebEngineServices>(*m_context, QString());
    }

    void init()
    {
        const QString ads = url("/ads");
        m_fixture = std::make_unique<MainWindowFixture>(MainWindowFixture::Setup{
            .argument = QStringLiteral("about:blank"),
            .before = [ads](TPVOptions& o) { o.SetPopupSorvelList({"url1=" + ads}); },
            .engine = m_services.get()});
        m_window = m_fixture->get();
        m_window->resize(800, 600);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        m_server.clearRequests();
    }

    void cleanup()
    {
        m_window = nullptr;
        m_fixture.reset();
    }

    void cleanupTestCase()
    {
        m_services.reset();
        m_context.reset();
    }

    void blockedWindowNeverReachesTheServer()
    {
        TBrowserTab* opener = openOpener();
        QVERIFY(opener);
        runScript(opener, QStringLiteral("window.open('/ads/pop.html?id=1');"));
        QVERIFY(waitUntil([&] { return m_window->popups()->notice() != nullptr; }));
        QCOMPARE(m_window->popups()->notice()->addresses(), QStringList{url("/ads/pop.html?id=1")});
        QCOMPARE(hiddenTabs(), 1);
        QVERIFY(m_window->tabs().at(1)->PopupBlocked());
        // The sweep takes the tab within about two seconds.
        QVERIFY(waitUntil([&] { return m_window->tabs().size() == 1; }, 10000));
        // A blocked window is cancelled before its request starts: once its tab is gone,
        // nothing of it can reach the server any more.
        QCOMPARE(m_server.requestCount("/ads/pop.html"), 0);
        QCOMPARE(m_window->GetActivePage(), opener);
    }

    void allowedWindowBecomesAVisibleTab()
    {
        TBrowserTab* opener = openOpener();
        QVERIFY(opener);
        runScript(opener, QStringLiteral("window.open('/ok.html');"));
        QVERIFY(waitUntil([&] {
            return m_window->tabs().size() == 2 && m_window->tabs().at(1)->Caption() == "Welcome";
        }));
        TBrowserTab* popup = m_window->tabs().at(1);
        QVERIFY(popup->TabVisible());
        QCOMPARE(popup->PopupUrl(), url("/ok.html"));
        QCOMPARE(m_server.requestCount("/ok.html"), 1);
        QVERIFY(!m_window->popups()->notice());
    }

    void windowsWrittenByTheirOpenerAreShown()
    {
        TBrowserTab* opener = openOpener();
        QVERIFY(opener);
        // With a title or without; one left blank goes when the waiting windows' grace is over.
        runScript(opener, QStringLiteral("var r = window.open(''); r.document.write('<title>R"
                                         "</title>Paid'); r.document.close(); window.open('');"
                                         "window.open('').document.write('Preview');"));
        QVERIFY(waitUntil([&] { return m_window->tabs().size() == 4 && hiddenTabs() == 1; }));
        QSignalSpy graceOver(m_window->popups(), &PopupControl::sweepDue);
        QVERIFY(graceOver.wait(10000));
        QCOMPARE(m_window->tabs().size(), 3);
        for (TBrowserTab* tab : m_window->tabs().mid(1)) {
            // In front, its page answers (showing a window that never loaded a page crashed).
            m_window->pages()->setActivePage(tab);
            QString text;
            tab->Browser()->backend()->runJavaScript(
                QStringLiteral("return document.body.textContent;"), {},
                [&text](const QVariant& v) { text = v.toString(); });
            QVERIFY(waitUntil([&] { return !text.isEmpty(); }));
            QCOMPARE(tab->PopupUrl(), url("/opener"));
        }
        runScript(m_window->tabs().at(1), QStringLiteral("window.close();")); // as it may
        QVERIFY(waitUntil([&] { return m_window->tabs().size() == 2; }));
    }

    void aLoopOfFiveHundredWindowsLeavesTheProgramResponsive()
    {
        TBrowserTab* opener = openOpener();
        QVERIFY(opener);
        // The longest the event loop went without a turn while the page was at it: printed,
        // for the record.
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer beat;
        connect(&beat, &QTimer::timeout, &beat, [&] {
            longest = qMax(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        beat.start(10);
        QSignalSpy swept(m_window->popups(), &PopupControl::sweepDue);
        const auto scriptAnswered = std::make_shared<bool>(false);
        opener->Browser()->backend()->runJavaScript(
            QStringLiteral("var opened = 0;"
                           "for (var i = 0; i < 500; ++i) { if (window.open('/ok.html?' + i)) "
                           "++opened; }"
                           "return opened;"),
            {}, [scriptAnswered](const QVariant&) { *scriptAnswered = true; });
        QVERIFY(waitUntil([&] { return *scriptAnswered; }, 60000));
        beat.stop();
        qInfo("500 window.open calls took %lld ms; the longest pause of the event loop was "
              "%lld ms",
              clock.elapsed(), longest);

        // The program answers while the engine is still at it.
        bool tick = false;
        QTimer::singleShot(0, m_window, [&] { tick = true; });
        QVERIFY(waitUntil([&] { return tick; }, 10000));
        // The window's answers are awaited on the window's side: the sweep that follows the
        // first refusal (or the waiting windows' grace) closes what still waits hidden. The
        // opener's own renderer is no witness: it is busy with five hundred windows' pages,
        // and once in a while the engine never answered a script there at all.
        QVERIFY(!swept.isEmpty() || swept.wait(10000));
        QVERIFY(waitUntil([&] { return hiddenTabs() == 0; }));
        const int tabs = int(m_window->tabs().size());
        qInfo("tabs after the loop: %d, requests: %d", tabs, int(m_server.requests().size()));
        QVERIFY(tabs <= 1 + PopupRules::MaxWindowsAtOnce);

        // And it is still usable.
        TBrowserTab* fresh = m_window->NewTab();
        QCOMPARE(m_window->GetActivePage(), fresh);
        m_window->CloseAll();
        QCOMPARE(m_window->tabs().size(), 1);
    }

    void aLoopOfBlockedWindowsLeavesNothing()
    {
        TBrowserTab* opener = openOpener();
        QVERIFY(opener);
        const auto scriptAnswered = std::make_shared<bool>(false);
        opener->Browser()->backend()->runJavaScript(
            QStringLiteral("for (var i = 0; i < 500; ++i) window.open('/ads/pop.html?' + i);"
                           "return 1;"),
            {}, [scriptAnswered](const QVariant&) { *scriptAnswered = true; });
        QVERIFY(waitUntil([&] { return *scriptAnswered; }, 60000));
        QVERIFY(waitUntil([&] { return m_window->tabs().size() == 1; }, 20000));
        QCOMPARE(m_server.requestCount("/ads/pop.html"), 0);
        QVERIFY(m_window->popups()->notice());
        QVERIFY(m_window->popups()->notice()->addresses().size() <= 500);
    }
};

PELVANE_TEST_MAIN(TestPopupsEngine)
#include "tst_popups_engine.moc"
