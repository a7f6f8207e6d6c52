#include "FakeTabHost.h"
#include "browser/PopupRules.h"
#include "support/TestHome.h"

#include <QApplication>

namespace {

const QString PageA = QStringLiteral("http://127.0.0.1/a.html");
const QString PageB = QStringLiteral("http://127.0.0.1/b.html");
const QString SecureA = QStringLiteral("https://127.0.0.1/a.html");
const QString SecureB = QStringLiteral("https://127.0.0.1/b.html");

// A host with one active tab, and the fake engine behind the tab.
struct OneTab
{
    FakeTabHost host;
    TBrowserTab* tab = host.addTab();
    FakeWebBackend* fake = FakeTabHost::fakeOf(tab);
};

} // namespace

class TestBrowserTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void captionFromTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("caption");
        const QString sixty = QString(60, QLatin1Char('x'));
        const QString fiftyTwo = QString(52, QLatin1Char('y'));
        QTest::newRow("60, no limit") << sixty << 0 << sixty.left(50) + "...";
        QTest::newRow("60, limit 55") << sixty << 55 << sixty.left(55) + "...";
        QTest::newRow("52, limit 55") << fiftyTwo << 55 << fiftyTwo.left(50) + "...";
        QTest::newRow("60, limit 100") << sixty << 100 << sixty.left(50) + "...";
        QTest::newRow("50 exactly") << sixty.left(50) << 0 << sixty.left(50);
        QTest::newRow("limit 10") << fiftyTwo << 10 << fiftyTwo.left(10) + "...";
        QTest::newRow("limit equals length") << sixty.left(10) << 10 << sixty.left(10);
        QTest::newRow("blank page") << "about:blank" << 0 << "Blank";
        QTest::newRow("blank page, cut") << "about:blank" << 5 << "about...";
        QTest::newRow("empty") << "" << 0 << "";
        QTest::newRow("negative: no limit") << "short" << -5 << "short";
    }
    void captionFromTitle()
    {
        QFETCH(QString, title);
        QFETCH(int, limit);
        QFETCH(QString, caption);
        QCOMPARE(TBrowserTab::CaptionFromTitle(title, limit), caption);
    }

    void newTabStartsBlank()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        QVERIFY(fake);
        // The blank page follows once control is back in the event loop, unless the tab was
        // told another address first (homeAddressOfTheTab).
        QVERIFY(fake->navigations().isEmpty());
        QTRY_COMPARE(fake->navigations(), QStringList{"about:blank"});
        QVERIFY(tab->Browser()->No3DBorder());
        QVERIFY(tab->Browser()->FlatScrollbar());
        QCOMPARE(&tab->Browser()->pageLayout(), &host.layout);
        QCOMPARE(tab->Caption(), QString());
        QCOMPARE(tab->ImageIndex(), -1);
        QVERIFY(tab->TabVisible());
        QVERIFY(!tab->PendingPopup());

        // The blank start page's title shows as "Blank"; the hint keeps the real title.
        fake->completeLoad("about:blank", "about:blank");
        QCOMPARE(tab->Caption(), QStringLiteral("Blank"));
        QCOMPARE(tab->Hint(), QStringLiteral("about:blank"));
    }

    void titlesFollowTheLimitGiven()
    {
        FakeTabHost host;
        TBrowserTab* tab = host.addTab();
        QSignalSpy changed(tab, &TBrowserTab::appearanceChanged);
        tab->setTitleLimit(55);
        const QString title = QString(60, QLatin1Char('t'));
        FakeTabHost::fakeOf(tab)->titleChange(title);
        QCOMPARE(tab->Caption(), title.left(55) + "...");
        QCOMPARE(tab->Hint(), title);
        QVERIFY(changed.count() > 0);
        changed.clear();
        tab->SetTitle(title); // nothing changes: nothing to redraw
        QCOMPARE(changed.count(), 0);
    }

    void stickyNameKeepsTheCaption()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        fake->completeLoad(PageA, "First title");
        tab->SetStickyName("Mine");
        QCOMPARE(tab->Caption(), QStringLiteral("Mine"));
        QCOMPARE(tab->Hint(), QStringLiteral("First title"));

        fake->titleChange("Second title");
        QCOMPARE(tab->Caption(), QStringLiteral("Mine"));
        QCOMPARE(tab->Hint(), QStringLiteral("Second title"));
        tab->NavigateTo(PageB); // the address is not shown over a sticky name either
        QCOMPARE(tab->Caption(), QStringLiteral("Mine"));

        tab->SetStickyName(QString());
        QCOMPARE(tab->Caption(), QStringLiteral("Second title"));
    }

    void activeTabLoadCycle()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        tab->NavigateTo(PageA);
        QCOMPARE(tab->Caption(), PageA); // the address until a title arrives
        QCOMPARE(fake->navigations().last(), PageA);
        host.takeReports();

        QVERIFY(fake->startLoad(PageA));
        QVERIFY(tab->Busy());
        QCOMPARE(tab->CycleFrame(), FakeWebBackend::TopFrame);
        QCOMPARE(tab->ImageIndex(), int(TBrowserTab::iconStarted));
        QCOMPARE(host.takeReports(), (QStringList{"RememberTypedAddress(" + PageA + ")",
                                                  "UpdateTabState", "SetBusy(true)"}));

        fake->statusText("Opening page");
        fake->progress(30, 100);
        fake->progress(100, 100);
        QCOMPARE(host.takeReports(), (QStringList{"SetStatusText(Opening page)",
                                                  "SetProgress(30,100)", "resetProgress"}));

        fake->navigateComplete(PageA);
        QCOMPARE(tab->ImageIndex(), int(TBrowserTab::iconArrived));
        QVERIFY(!tab->Secure());
        QCOMPARE(host.takeReports(), (QStringList{"ShowAddress(" + PageA + ")", "UpdateTabState"}));

        fake->titleChange("Page A");
        fake->documentComplete(PageA);
        fake->downloadComplete();
        QCOMPARE(tab->Caption(), QStringLiteral("Page A"));
        QCOMPARE(tab->ImageIndex(), -1);
        QVERIFY(!tab->Busy());
        QCOMPARE(tab->CycleFrame(), WebFrame(0));
        QVERIFY(tab->Viewed());
        QCOMPARE(host.takeReports(), (QStringList{"ShowAddress(" + PageA + ")", "SetBusy(false)",
                                                  "UpdateTabState", "SetBusy(false)"}));
    }

    void anAskedLoadIsUnderWayBeforeTheEngineBegins()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        // Told where to go, the engine not yet begun (a group's tab, the tab of a start).
        tab->NavigateTo(PageA);
        QCOMPARE(tab->GetAddress(), PageA);
        QVERIFY(tab->Busy());
        QVERIFY(fake->startLoad(PageA));
        QCOMPARE(tab->GetAddress(), PageA);
        QVERIFY(tab->Busy());
        fake->finishLoad(PageA, "A");
        QVERIFY(!tab->Busy());

        // Stopped before the engine began: it goes nowhere and is idle.
        tab->NavigateTo(PageB);
        tab->Stop();
        QVERIFY(!tab->Busy());
        QCOMPARE(tab->GetAddress(), PageA);

        // Refused when the engine asks (a locked tab sends it to a new tab): nowhere either.
        tab->SetLocked(true);
        tab->NavigateTo(PageB);
        QVERIFY(tab->Busy());
        QVERIFY(fake->beforeNavigate(PageB)); // cancelled
        QVERIFY(!tab->Busy());
        QCOMPARE(tab->GetAddress(), PageA);

        // A waiting tab woken is under way to its address as well.
        OneTab waiting;
        waiting.tab->Wait(PageB, QStringLiteral("B"));
        QVERIFY(!waiting.tab->Busy());
        waiting.tab->Wake();
        QVERIFY(waiting.tab->Busy());
        QCOMPARE(waiting.tab->GetAddress(), PageB);
    }

    void redirectStaysInTheCycle()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        QVERIFY(fake->startLoad(PageA));
        host.takeReports();
        QVERIFY(!fake->redirect(SecureB));
        QCOMPARE(tab->CycleFrame(), FakeWebBackend::TopFrame);
        // The new address is remembered; the running cycle is not started again.
        QCOMPARE(host.takeReports(), QStringList{"RememberTypedAddress(" + SecureB + ")"});
        fake->finishLoad(SecureB, "B");
        QVERIFY(tab->Secure());
        QVERIFY(!tab->Busy());
    }

    void backgroundTabLoadCycle()
    {
        FakeTabHost host;
        TBrowserTab* front = host.addTab();
        TBrowserTab* back = host.addTab(false);
        QCOMPARE(host.active, front);
        FakeWebBackend* fake = FakeTabHost::fakeOf(back);
        host.takeReports();

        QVERIFY(fake->startLoad(PageA));
        QCOMPARE(back->ImageIndex(), int(TBrowserTab::iconStarted));
        fake->statusText("busy");
        fake->progress(1, 2);
        fake->navigateComplete(PageA);
        QCOMPARE(back->ImageIndex(), int(TBrowserTab::iconArrived));
        fake->commandState(TWebBrowser::CSC_NAVIGATEBACK, true);
        fake->titleChange("A");
        fake->documentComplete(PageA);
        fake->downloadComplete();
        // Finished unseen: green until the window shows it.
        QCOMPARE(back->ImageIndex(), int(TBrowserTab::iconFinished));
        QVERIFY(!back->Viewed());
        QVERIFY(back->CanGoBack());
        // Nothing of a background tab reaches the window's bars; it reads Back and Forward
        // of the tab that comes to the front.
        QVERIFY(host.takeReports().isEmpty());

        host.active = back; // what the window does when the tab is chosen
        back->SetViewed(true);
        QCOMPARE(back->ImageIndex(), -1);
    }

    void startupMarkShowsFinishedOnArrival()
    {
        FakeTabHost host;
        host.addTab();
        TBrowserTab* tab = host.addTab(false);
        FakeWebBackend* fake = FakeTabHost::fakeOf(tab);
        tab->SetStartupMark(true);
        fake->startLoad(PageA);
        fake->navigateComplete(PageA);
        QCOMPARE(tab->ImageIndex(), int(TBrowserTab::iconFinished));
        QVERIFY(!tab->StartupMark());
        fake->documentComplete(PageA);
        QCOMPARE(tab->ImageIndex(), int(TBrowserTab::iconFinished));

        // Only the first load: the next one shows the arrived marker again.
        fake->startLoad(PageB);
        fake->navigateComplete(PageB);
        QCOMPARE(tab->ImageIndex(), int(TBrowserTab::iconArrived));
    }

    void framesDoNotEndTheCycle()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        fake->startLoad(PageA);
        host.takeReports();

        // A frame inside the loading page: no address, no change of the cycle.
        const WebFrame frame = fake->frameLoad(PageB);
        QVERIFY(frame != 0 && frame != FakeWebBackend::TopFrame);
        QVERIFY(tab->Busy());
        QCOMPARE(tab->CycleFrame(), FakeWebBackend::TopFrame);
        QCOMPARE(tab->ImageIndex(), int(TBrowserTab::iconStarted));
        QVERIFY(host.takeReports().isEmpty());

        fake->finishLoad(PageA, "A");
        QVERIFY(!tab->Busy());

        // A frame navigating on its own in an idle page runs a cycle of its own.
        const WebFrame late = fake->subFrame();
        QVERIFY(!fake->beforeNavigate(PageB, late));
        QCOMPARE(tab->CycleFrame(), late);
        fake->navigateComplete(PageB, FakeWebBackend::TopFrame); // not the cycle's frame
        QCOMPARE(tab->ImageIndex(), int(TBrowserTab::iconStarted));
        fake->navigateComplete(PageB, late);
        fake->documentComplete(PageB, late);
        QVERIFY(!tab->Busy());
        QVERIFY(!host.reports.contains("RememberTypedAddress(" + PageB + ")"));
    }

    void secureFlagAcrossFramesAndPages()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;

        // A secure page whose plain-http frame completed before it: not secure.
        fake->startLoad(SecureA);
        const WebFrame frame = fake->subFrame();
        fake->beforeNavigate(PageB, frame);
        fake->navigateComplete(PageB, frame);
        fake->navigateComplete(SecureA);
        QVERIFY(!tab->Secure());
        fake->documentComplete(SecureA);

        // A secure page with secure frames only.
        fake->startLoad(SecureB);
        fake->navigateComplete(SecureB, fake->subFrame());
        fake->navigateComplete(SecureB);
        QVERIFY(tab->Secure());
        // An insecure frame after the decision does not undo it within the cycle.
        fake->navigateComplete(PageA, fake->subFrame());
        QVERIFY(tab->Secure());
        fake->documentComplete(SecureB);

        // A plain page clears it only when its own navigation completes.
        fake->startLoad(PageA);
        QVERIFY(tab->Secure());
        fake->navigateComplete(PageA);
        QVERIFY(!tab->Secure());

        // "https" in other case is not a secure scheme for this rule.
        fake->documentComplete(PageA);
        fake->startLoad("HTTPS://127.0.0.1/");
        fake->navigateComplete("HTTPS://127.0.0.1/");
        QVERIFY(!tab->Secure());
    }

    void javascriptAddressesLeaveTheTabAlone()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        host.takeReports();
        QVERIFY(!fake->beforeNavigate("javascript:void(0)"));
        QVERIFY(!tab->Busy());
        QCOMPARE(tab->ImageIndex(), -1);
        QVERIFY(host.takeReports().isEmpty());

        // Not even a locked tab redirects a script link.
        tab->SetLocked(true);
        QVERIFY(!fake->beforeNavigate("javascript:next()"));
        QVERIFY(!host.reports.contains("NewTabBackground(false)"));

        // The test is for the exact lower-case prefix.
        tab->SetLocked(false);
        QVERIFY(!fake->beforeNavigate("JavaScript:void(0)"));
        QVERIFY(tab->Busy());
    }

    void lockedTabOpensNavigationsInNewTabs()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        fake->completeLoad(PageA, "Kept page");
        tab->SetLocked(true);
        QCOMPARE(tab->ImageIndex(), int(TBrowserTab::iconLocked));
        host.takeReports();

        QVERIFY(fake->beforeNavigate(PageB)); // cancelled
        // The tab is made once the engine has its answer, outside the engine's call.
        QCOMPARE(host.pages.size(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(host.pages.size(), 2);
        TBrowserTab* opened = host.pages.at(1);
        QCOMPARE(host.active, tab);
        QVERIFY(opened->FocusOnLoad());
        QCOMPARE(FakeTabHost::fakeOf(opened)->navigations().last(), PageB);
        QCOMPARE(opened->Caption(), PageB);
        QCOMPARE(tab->Caption(), QStringLiteral("Kept page"));
        QVERIFY(!tab->Busy());
        QCOMPARE(tab->ImageIndex(), int(TBrowserTab::iconLocked));
        QCOMPARE(host.takeReports(), QStringList{"NewTabBackground(false)"});

        // The page's own frames, a jump to an anchor and a reload (F5, Refresh All, a
        // content switch) keep the page in place: no tab is opened for any of them.
        QVERIFY(fake->frameLoad(SecureB) != 0);
        QVERIFY(!fake->beforeNavigate(PageA + "#part"));
        fake->finishLoad(PageA, "Kept page");
        tab->Refresh(false);
        tab->Refresh(true);
        QCOMPARE(fake->callNames().filter("refresh").size(), 2);
        QVERIFY(tab->Busy()); // reloading in place
        fake->finishLoad(PageA, "Kept page");
        QCoreApplication::processEvents();
        QCOMPARE(host.pages.size(), 2);
        QVERIFY(host.takeReports().filter("NewTabBackground").isEmpty());

        // Without a new tab the navigation is still refused.
        host.refuseNewTabs = true;
        QVERIFY(fake->beforeNavigate(PageB));
        QCoreApplication::processEvents();
        QCOMPARE(host.pages.size(), 2);

        // The lock survives loads: no other icon replaces the padlock.
        fake->navigateComplete(PageA);
        fake->documentComplete(PageA);
        QCOMPARE(tab->ImageIndex(), int(TBrowserTab::iconLocked));
        // NavigateTo in a locked tab leaves the caption: the page goes elsewhere.
        tab->NavigateTo(PageB);
        QCOMPARE(tab->Caption(), QStringLiteral("Kept page"));
    }

    void lockedPageThatNavigatesInALoopGetsAFewTabs()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        fake->completeLoad(PageA, "A");
        tab->SetLocked(true);
        for (int i = 0; i < PopupRules::MaxWindowsAtOnce + 5; ++i)
            QVERIFY(fake->beforeNavigate(PageB + "?" + QString::number(i)));
        QCoreApplication::processEvents();
        QCOMPARE(host.pages.size(), 1 + PopupRules::MaxWindowsAtOnce);
        // The user's next click in the page may open one again.
        tab->NoteUserInput();
        QVERIFY(fake->beforeNavigate(PageB));
        QCoreApplication::processEvents();
        QCOMPARE(host.pages.size(), 2 + PopupRules::MaxWindowsAtOnce);
    }

    void redirectedTabTakesTheFocusWhenItsPageArrives()
    {
        FakeTabHost host;
        TBrowserTab* tab = host.addTab();
        tab->SetLocked(true);
        FakeTabHost::fakeOf(tab)->beforeNavigate(PageB);
        QCoreApplication::processEvents();
        TBrowserTab* opened = host.pages.at(1);
        FakeWebBackend* fake = FakeTabHost::fakeOf(opened);

        host.active = opened;
        host.windowShown = false;
        fake->completeLoad(PageB, "B");
        QVERIFY(!opened->FocusOnLoad());
        QVERIFY(!fake->received("focusPage")); // the window is not shown

        opened->setFocusOnLoad(true);
        host.windowShown = true;
        fake->startLoad(PageA);
        fake->navigateComplete(PageA, fake->subFrame()); // a frame is not the page
        QVERIFY(opened->FocusOnLoad());
        fake->navigateComplete(PageA);
        QVERIFY(!opened->FocusOnLoad());
        QCOMPARE(fake->count("focusPage"), 1);
    }

    void lockWhenLoadedLocksAfterEachLoad()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        tab->setLockWhenLoaded(true);
        // Neither the blank page every tab starts with nor a frame locks: the group's own
        // address must still load in this tab.
        fake->completeLoad("about:blank", "about:blank");
        QVERIFY(fake->startLoad(PageA));
        fake->navigateComplete(SecureB, fake->subFrame());
        QVERIFY(!tab->Locked());
        fake->finishLoad(PageA, "A");
        QVERIFY(tab->Locked());
        QCOMPARE(tab->ImageIndex(), int(TBrowserTab::iconLocked));

        // Unlocked by hand: lasts until the next completed navigation.
        tab->SetLocked(false);
        QCOMPARE(tab->ImageIndex(), -1);
        QVERIFY(fake->startLoad(PageB));
        QVERIFY(!tab->Locked());
        fake->navigateComplete(PageB);
        QVERIFY(tab->Locked());
        QVERIFY(tab->LockWhenLoaded());
    }

    void newWindowBecomesAHiddenTab()
    {
        FakeTabHost host;
        TBrowserTab* opener = host.addTab();
        FakeWebBackend* fake = FakeTabHost::fakeOf(opener);

        const FakeWebBackend::NewWindow window = fake->raiseNewWindow();
        QCOMPARE(host.pages.size(), 2);
        TBrowserTab* popup = host.pages.at(1);
        QCOMPARE(window.browser, popup->Browser());
        QCOMPARE(window.backend, FakeTabHost::fakeOf(popup));
        QVERIFY(!window.cancel);
        QVERIFY(popup->PendingPopup());
        QVERIFY(!popup->TabVisible());
        QVERIFY(popup->FocusOnLoad());
        QCOMPARE(host.active, opener);

        // Its own blank page leaves it waiting; the first real address decides.
        window.backend->completeLoad("about:blank", "about:blank");
        QVERIFY(popup->PendingPopup());
        QVERIFY(!popup->TabVisible());

        QVERIFY(window.backend->startLoad(PageB));
        QVERIFY(!popup->PendingPopup());
        QVERIFY(popup->TabVisible());
        QCOMPARE(popup->Caption(), QStringLiteral("Loading..."));
        QCOMPARE(popup->PopupUrl(), PageB);
        QVERIFY(popup->Busy());
        window.backend->finishLoad(PageB, "Pop-up page");
        QCOMPARE(popup->Caption(), QStringLiteral("Pop-up page"));
    }

    void blockedWindowStaysHiddenAndIsSwept()
    {
        FakeTabHost host;
        TBrowserTab* opener = host.addTab();
        host.blockedPrefixes = {"http://127.0.0.1/ads"};
        host.takeReports();

        const FakeWebBackend::NewWindow window =
            FakeTabHost::fakeOf(opener)->openWindow("http://127.0.0.1/ads/1.html");
        TBrowserTab* popup = host.pages.at(1);
        QVERIFY(popup->PopupBlocked());
        QVERIFY(!popup->PendingPopup());
        QVERIFY(!popup->TabVisible());
        QVERIFY(!popup->Busy());
        QCOMPARE(popup->PopupUrl(), QStringLiteral("http://127.0.0.1/ads/1.html"));
        QCOMPARE(host.takeReports(),
                 (QStringList{"NewTabBackground(true)", "ScheduleCloseHiddenTabs"}));
        QVERIFY(!window.backend->busy()); // the load was cancelled
    }

    void aWindowWrittenByItsOpenerIsAPopupOfThatPage()
    {
        OneTab fixture;
        auto& [host, opener, fake] = fixture;
        fake->completeLoad(PageA, "A");
        const auto window = fake->raiseNewWindow();
        TBrowserTab* receipt = host.pages.at(1);
        window.backend->completeLoad("about:blank", "about:blank");
        window.backend->setDocumentHtml(
            "<title>Receipt</title><SCRIPT type=x>print()</script ><p onclick=\"f()\">42</p>");
        window.backend->titleChange("Receipt");
        // Shown once a copy of its page, whose scripts have run, has loaded at the opener's
        // address.
        QCOMPARE(window.backend->lastCall().args,
                 (QVariantList{"<title>Receipt</title><p onclick=\"f()\">42</p>", PageA}));
        QVERIFY(!receipt->TabVisible());
        window.backend->finishLoad(PageA, "Receipt");
        QVERIFY(receipt->TabVisible());
        QCOMPARE(receipt->PopupUrl(), PageA);
        // A written window that then goes to an address of its own is held to the list.
        host.blockedPrefixes = {PageB};
        QVERIFY(window.backend->beforeNavigate(PageB));
        QVERIFY(!receipt->TabVisible());
        QCOMPARE(receipt->PopupUrl(), PageB);
    }

    void onlyAWindowThatAPageOpenedClosesWhenItsPageAsks()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        const auto popup = fake->openWindow(PageB, "B");
        fake->windowClosing(); // the user's own tab stays
        popup.backend->windowClosing();
        QTRY_COMPARE(host.pages, QList<TBrowserTab*>{tab});
        // A window reset to blank (the only tab closed) is the user's tab from then on.
        const auto again = fake->openWindow(PageB, "B");
        const QPointer<TBrowserTab> reset = host.pages.last();
        reset->resetToBlank(false);
        again.backend->windowClosing();
        QObject turn;
        bool turnTaken = false; // queued after the close the request would have made
        QTimer::singleShot(0, &turn, [&turnTaken] { turnTaken = true; });
        QTRY_VERIFY(turnTaken);
        QVERIFY(reset);
    }

    void newWindowWithoutATab()
    {
        FakeTabHost host;
        TBrowserTab* opener = host.addTab();
        host.refuseNewTabs = true;
        const FakeWebBackend::NewWindow window = FakeTabHost::fakeOf(opener)->raiseNewWindow();
        QVERIFY(!window.browser);
        QVERIFY(!window.cancel);

        // A tab without a browser cannot take the window: refused.
        host.refuseNewTabs = false;
        host.noBackend = true;
        const FakeWebBackend::NewWindow refused = FakeTabHost::fakeOf(opener)->raiseNewWindow();
        QVERIFY(!refused.browser);
        QVERIFY(refused.cancel);
    }

    void tabWithoutBrowserDoesNothing()
    {
        FakeTabHost host;
        host.noBackend = true;
        TBrowserTab* tab = host.addTab();
        QVERIFY(!tab->Browser());
        tab->NavigateTo(PageA);
        tab->Refresh(true);
        tab->FollowNextLink();
        tab->GoBack();
        QCOMPARE(tab->GetFontSize(), 2);
        QCOMPARE(tab->GetAddress(), QString());
        QCOMPARE(tab->GetTitle(), QString());
        bool called = false;
        tab->SaveToTempFile([&](const TSaveResult& result) {
            called = true;
            QVERIFY(result.fileName.isEmpty());
            QVERIFY(!result.ok());
        });
        QTRY_VERIFY(called);
    }

    void backAndForwardFollowTheEngine()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        tab->GoBack();
        tab->GoForward();
        QVERIFY(!fake->received("goBack"));
        QVERIFY(!fake->received("goForward"));
        fake->commandState(TWebBrowser::CSC_NAVIGATEBACK, true);
        fake->commandState(TWebBrowser::CSC_NAVIGATEFORWARD, true);
        fake->commandState(0xFFFF, true); // other commands only ask for an update
        QVERIFY(tab->CanGoBack() && tab->CanGoForward());
        QCOMPARE(host.reports.count("UpdateBackForward"), 3);
        tab->GoBack();
        tab->GoForward();
        QCOMPARE(fake->count("goBack"), 1);
        QCOMPARE(fake->count("goForward"), 1);
    }

    // Stopping a running load first is the browser's own (see its tests).
    void refreshChoosesTheReload()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        fake->clearCalls();
        tab->Refresh(false);
        tab->Refresh(true);
        QCOMPARE(fake->callNames(), (QStringList{"refresh", "refreshCompletely"}));
    }

    void homeAddressOfTheTab()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        tab->GoTabHome(); // none yet
        QCOMPARE(fake->navigations().size(), 0);
        tab->OpenAsHome(PageA);
        QCOMPARE(tab->HomeUrl(), PageA);
        tab->NavigateTo(PageB);
        tab->GoTabHome();
        QCoreApplication::processEvents();
        QCOMPARE(fake->navigations(), (QStringList{PageA, PageB, PageA}));
    }

    void followNextLinkTakesTheLastMatch()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        fake->setScriptHandler([](const QString&, const QVariantList&) {
            return QVariant(QStringList{"http://127.0.0.1/2", "http://127.0.0.1/3"});
        });
        fake->startLoad(PageA);
        fake->clearCalls();
        tab->FollowNextLink();
        QCOMPARE(fake->callNames(), (QStringList{"runJavaScript", "stop", "navigate"}));
        QCOMPARE(fake->navigations(), QStringList{"http://127.0.0.1/3"});

        // No qualifying link: nothing happens.
        fake->setScriptHandler([](const QString&, const QVariantList&) { return QVariant(); });
        fake->clearCalls();
        tab->FollowNextLink();
        QCOMPARE(fake->callNames(), QStringList{"runJavaScript"});
    }

    void followNextLinkAnswerAfterClose()
    {
        FakeTabHost host;
        host.addTab();
        TBrowserTab* tab = host.addTab();
        FakeWebBackend* fake = FakeTabHost::fakeOf(tab);
        fake->setScriptHandler([](const QString&, const QVariantList&) {
            return QVariant(QStringList{"http://127.0.0.1/next"});
        });
        fake->holdAnswers(true);
        tab->FollowNextLink();
        QCOMPARE(fake->heldAnswers(), 1);
        tab->CloseTab();
        fake->releaseAnswers(); // the tab is gone from the strip: the answer is dropped
        QVERIFY(!fake->navigations().contains("http://127.0.0.1/next"));
    }

    void closeTabActivatesTheNeighbour()
    {
        FakeTabHost host;
        TBrowserTab* a = host.addTab();
        TBrowserTab* b = host.addTab();
        TBrowserTab* c = host.addTab();
        TBrowserTab* d = host.addTab();

        host.active = a; // the first tab: its right neighbour
        a->CloseTab();
        QCOMPARE(host.active, b);
        QCOMPARE(host.pages, (QList<TBrowserTab*>{b, c, d}));

        host.active = c; // any other: its left neighbour
        c->CloseTab();
        QCOMPARE(host.active, b);

        d->CloseTab(); // not active: the active tab stays
        QCOMPARE(host.active, b);
        QCOMPARE(host.pages, QList<TBrowserTab*>{b});
    }

    void closedTabIsStoppedAndDeaf()
    {
        FakeTabHost host;
        host.addTab();
        TBrowserTab* tab = host.addTab();
        FakeWebBackend* fake = FakeTabHost::fakeOf(tab);
        fake->startLoad(PageA);
        tab->CloseTab();
        QVERIFY(fake->received("stop"));
        QVERIFY(!tab->TabVisible());
        QVERIFY(!tab->Browser());

        // Until it is destroyed, late events of its engine reach nobody.
        const QPointer<TBrowserTab> watched(tab);
        fake->titleChange("late");
        fake->documentComplete(PageA);
        QVERIFY(watched);
        QVERIFY(tab->Hint() != QStringLiteral("late"));
        QVERIFY(tab->Busy()); // the cycle is not ended by a dead browser's event
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!watched);
        QCOMPARE(host.made->alive().size(), 1);
    }

    void closingTheLastTabResetsIt()
    {
        OneTab fixture;
        auto& [host, tab, fake] = fixture;
        tab->OpenAsHome(PageA);
        fake->completeLoad(PageA, "A");
        tab->SetStickyName("Mine");
        tab->SetLocked(true);
        tab->setHideFromCloseAll(true);

        tab->CloseTab();
        QCOMPARE(host.pages, QList<TBrowserTab*>{tab});
        QCOMPARE(tab->Caption(), QStringLiteral("Blank"));
        QVERIFY(!tab->Locked());
        QCOMPARE(tab->ImageIndex(), -1);
        QCOMPARE(tab->StickyName(), QString());
        QCOMPARE(tab->HomeUrl(), QString());
        QVERIFY(!tab->HideFromCloseAll());
        QCOMPARE(fake->navigations().last(), QStringLiteral("about:blank"));
        QVERIFY(!host.reports.contains("destroyTab"));

        // Its blank page arrives as in any blank tab.
        fake->completeLoad("about:blank", "about:blank");
        QCOMPARE(tab->Caption(), QStringLiteral("Blank"));

        host.pages.clear(); // no pages at all: nothing to do
        tab->CloseTab();
        QVERIFY(!host.reports.contains("destroyTab"));
        host.pages.append(tab);
    }
};

PELVANE_TEST_MAIN(TestBrowserTab)
#include "tst_browsertab.moc"
