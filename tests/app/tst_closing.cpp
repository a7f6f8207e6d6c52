#include "address/AddressBand.h"
#include "address/PVComboBox.h"
#include "bars/MenuBand.h"
#include "browser/window/TabMenu.h"
#include "browser/BrowserTab.h"
#include "browser/TabSet.h"
#include "browser/PopupControl.h"
#include "browser/PopupNotify.h"
#include "browser/PopupRules.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/PVStatusBar.h"
#include "platform/web/WebBrowser.h"
#include "support/ActiveWindow.h"
#include "support/MainWindowFixture.h"
#include "support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

namespace {

const QString Ads = QStringLiteral("http://127.0.0.1/ads");

using Fixture = MainWindowFixture;

// A right press on the strip over the tab at `tabIndex`, or away from every tab.
void rightPress(const Fixture& w, int tabIndex)
{
    QWidget* strip = w->pages()->tabStrip();
    const QPoint at = tabIndex >= 0 ? w->pages()->tabRect(tabIndex).center()
                                    : QPoint(strip->width() - 2, strip->height() / 2);
    QVERIFY(tabIndex < 0 || !w->pages()->tabRect(tabIndex).isNull());
    QTest::mousePress(strip, Qt::RightButton, Qt::NoModifier, at);
    QCOMPARE(w->tabMenu()->PopupTabIndex(), tabIndex);
}

QAction* menuItem(const Fixture& w, const char* name)
{
    return w->tabMenu()->item(QString::fromLatin1(name));
}

// A mouse button or a key pressed on the page of `tab`, as the application delivers it.
void pressIn(TBrowserTab* tab)
{
    QWidget* page = Fixture::fakeOf(tab)->view() ? Fixture::fakeOf(tab)->view() : tab->Browser();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), page->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page, &press);
}

void keyIn(TBrowserTab* tab)
{
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(tab->Browser(), &key);
}

} // namespace

class TestClosing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void closeActivatesTheNeighbourAndKeepsOneTab()
    {
        {
            Fixture w;
            const auto tabs = w.withTabs(2);
            w->runCommand(KeyDispatcher::Command::Close); // the active first tab
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(w->tabs(), (QList<TBrowserTab*>{tabs.at(1), tabs.at(2)}));
            QCOMPARE(w->GetActivePage(), tabs.at(1));
        }
        {
            Fixture w;
            const auto tabs = w.withTabs(2);
            w->pages()->setActivePage(tabs.at(2));
            w->action(ActionId::actClose)->trigger();
            QCOMPARE(w->tabs().size(), 2);
            QCOMPARE(w->GetActivePage(), tabs.at(1));
        }
        {
            // A window a page opened, reset as the only tab, is a plain tab from then on.
            Fixture w;
            TBrowserTab* opener = w->GetActivePage();
            Fixture::fakeOf(opener)->openWindow(QStringLiteral("http://127.0.0.1/pop"), "Pop");
            TBrowserTab* popup = w->tabs().at(1);
            w->closePage(opener);
            popup->setLockWhenLoaded(true);
            w->closePage(popup);
            w.load(0, QStringLiteral("http://127.0.0.1/next"));
            QVERIFY(popup->PopupUrl().isEmpty() && !popup->Locked());
        }
        // The only tab is reset, not removed.
        Fixture w;
        TBrowserTab* only = w->GetActivePage();
        only->OpenAsHome(QStringLiteral("http://127.0.0.1/home"));
        only->SetStickyName(QStringLiteral("Mine"));
        only->SetLocked(true);
        only->setHideFromCloseAll(true);
        w->runCommand(KeyDispatcher::Command::Close);
        QCOMPARE(w->tabs(), QList<TBrowserTab*>{only});
        QCOMPARE(only->Caption(), QStringLiteral("Blank"));
        QCOMPARE(w.lastNavigation(only), QStringLiteral("about:blank"));
        QVERIFY(only->HomeUrl().isEmpty());
        QVERIFY(only->StickyName().isEmpty());
        QVERIFY(!only->Locked());
        QVERIFY(!only->HideFromCloseAll());
    }

    // The keys, the menu items and the strip's menu reach the tab set's closing (its own
    // test shows what each does).
    void closeCommandsReachTheirClosing()
    {
        Fixture w;
        w.withTabs(2);
        w->runCommand(KeyDispatcher::Command::CloseAll);
        QCOMPARE(w->tabs().size(), 1);
        auto tabs = w.withTabs(2);
        w->pages()->setActivePage(tabs.at(1));
        w->action(ActionId::actCloseAllKeepCurrent)->trigger();
        QCOMPARE(w->tabs(), QList<TBrowserTab*>{tabs.at(1)});
        w->NewTab();
        w.questions.tabsToClose = QList<int>{0};
        w->action(ActionId::actCloseAllShowList)->trigger();
        QCOMPARE(w.questions.asked.size(), 1);
        QCOMPARE(w->tabs().size(), 1);
        w.options().SetConfirmCloseAll(true);
        w.questions.closeAllAnswer = false;
        w->NewTab();
        w->action(ActionId::actCloseAll)->trigger();
        QCOMPARE(w.questions.asked.last(), QStringLiteral("closeAll"));
        QCOMPARE(w->tabs().size(), 2);
    }

    void tabMenuActsOnTheTabUnderThePointer()
    {
        Fixture w;
        w.show();
        const auto tabs = w.withTabs(2);
        for (TBrowserTab* tab : tabs)
            tab->SetTitle(QStringLiteral("Page"));
        tabs.at(1)->OpenAsHome(QStringLiteral("http://127.0.0.1/home"));
        tabs.at(1)->SetStickyName(QStringLiteral("Sticky"));
        QMenu* menu = w->tabMenu();

        // From the keyboard, on the strip: the menu of the active tab.
        QVERIFY(activateForKeys(w.get()));
        w->pages()->setActivePage(tabs.at(2));
        QWidget* strip = w->pages()->tabStrip();
        // The strip comes next after the address band (its Go button, when it shows one).
        w->addressBand()->box()->setFocus(Qt::ShortcutFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), strip);
        w->addressBand()->SetShowGo(true);
        w->addressBand()->box()->setFocus(Qt::ShortcutFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("spdGo"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), strip);
        for (const QKeyCombination key : {Qt::SHIFT | Qt::Key_F10, QKeyCombination(Qt::Key_Menu)}) {
            QTest::keyClick(strip, key.key(), key.keyboardModifiers());
            QVERIFY(menu->isVisible());
            menu->hide();
        }
        // The arrows go from tab to tab and leave the keyboard on the strip.
        QTest::keyClick(strip, Qt::Key_Left);
        QCOMPARE(w->GetActivePage(), tabs.at(1));
        QCOMPARE(QApplication::focusWidget(), strip);
        QTest::keyClick(strip, Qt::Key_Right);
        QCOMPARE(w->GetActivePage(), tabs.at(2));
        QTest::keyClick(strip, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(w->addressBand()->isAncestorOf(QApplication::focusWidget()));
        menuItem(w, "mnuHideFromCloseAll")->trigger();
        QVERIFY(tabs.at(2)->HideFromCloseAll());
        w->pages()->setActivePage(tabs.at(0));

        rightPress(w, 1);
        QVERIFY(menu->isVisible());
        QCOMPARE(menuItem(w, "mnuStickyName")->text(), QStringLiteral("Clear StickyName"));
        QVERIFY(menuItem(w, "mnuTabHome")->isEnabled());
        QVERIFY(!menuItem(w, "mnuTabLocked")->isChecked());
        menuItem(w, "mnuTabLocked")->trigger();
        menuItem(w, "mnuHideFromCloseAll")->trigger();
        menuItem(w, "mnuStickyName")->trigger();
        menuItem(w, "mnuTabHome")->trigger();
        menu->hide();
        QVERIFY(tabs.at(1)->Locked());
        QVERIFY(tabs.at(1)->HideFromCloseAll());
        QVERIFY(tabs.at(1)->StickyName().isEmpty());
        QCOMPARE(w.lastNavigation(tabs.at(1)), QStringLiteral("http://127.0.0.1/home"));
        QVERIFY(!tabs.at(0)->Locked());
        QCOMPARE(w->GetActivePage(), tabs.at(0));

        rightPress(w, 1);
        QCOMPARE(menuItem(w, "mnuStickyName")->text(), QStringLiteral("Set StickyName"));
        QVERIFY(menuItem(w, "mnuTabLocked")->isChecked());
        QVERIFY(menuItem(w, "mnuHideFromCloseAll")->isChecked());
        menu->hide();

        // The sticky-name prompt: a name sets it, an empty answer or Cancel changes nothing.
        rightPress(w, 2);
        QVERIFY(!menuItem(w, "mnuTabHome")->isEnabled());
        menu->hide();
        const auto prompt = [&](const std::optional<QString>& answer) {
            w.questions.stickyName = answer;
            menuItem(w, "mnuStickyName")->trigger();
            QCOMPARE(w.questions.asked.last(), QStringLiteral("stickyName"));
        };
        prompt(QString());
        prompt(std::nullopt);
        QVERIFY(tabs.at(2)->StickyName().isEmpty());
        prompt(QStringLiteral("Named"));
        QCOMPARE(tabs.at(2)->StickyName(), QStringLiteral("Named"));
        QCOMPARE(tabs.at(2)->Caption(), QStringLiteral("Named"));
        QCOMPARE(w.questions.asked.size(), 3);

        // Close closes that tab, not the active one, nor the one in its place once a window
        // let through meanwhile shifted the tabs.
        TBrowserTab* letThrough = w->NewTabBackground(false);
        menuItem(w, "mnuClose")->trigger();
        QCOMPARE(w->tabs(), (QList<TBrowserTab*>{tabs.at(0), letThrough, tabs.at(1)}));
        QCOMPARE(w->GetActivePage(), tabs.at(0));

        // Away from the tabs there is no tab: the items are off, without a tab's state, and
        // do nothing.
        rightPress(w, 2); // locked, hidden from Close All
        menu->hide();
        rightPress(w, -1);
        menu->hide();
        QVERIFY(!w->tabMenu()->PopupTab());
        for (const char* name :
             {"mnuTabLocked", "mnuStickyName", "mnuAddTo", "mnuStop", "mnuClose"})
            QVERIFY2(!menuItem(w, name)->isEnabled(), name);
        QVERIFY(!menuItem(w, "mnuTabLocked")->isChecked());
        QVERIFY(!menuItem(w, "mnuHideFromCloseAll")->isChecked());
        QVERIFY(menuItem(w, "mnuCloseAll")->isEnabled());
        menuItem(w, "mnuClose")->trigger();
        menuItem(w, "mnuTabLocked")->trigger();
        QCOMPARE(w->tabs().size(), 3);
        QVERIFY(!tabs.at(0)->Locked());
        rightPress(w, 0);
        QVERIFY(menuItem(w, "mnuClose")->isEnabled());
        menu->hide();
    }

    void tabMenuItemsAndTheirOrder()
    {
        Fixture w;
        w.show();
        QMenu* menu = w->tabMenu();
        const auto names = [menu] {
            QStringList result;
            const auto items = menu->actions();
            for (const QAction* item : items)
                result << (item->isSeparator() ? QStringLiteral("-") : item->objectName());
            return result;
        };
        rightPress(w, 0);
        menu->hide();
        QCOMPARE(names(), (QStringList{"mnuTabLocked", "mnuStickyName", "-", "mnuAddTo", "-",
                                       "mnuStop", "mnuRefresh", "mnuTabHome", "-",
                                       "mnuHideFromCloseAll", "mnuCloseAll", "mnuClose"}));
        QCOMPARE(menuItem(w, "mnuTabLocked")->text(), QStringLiteral("Tab &Locked"));
        QCOMPARE(menuItem(w, "mnuTabLocked")->shortcut(), QKeySequence(Qt::Key_F12));
        QCOMPARE(menuItem(w, "mnuStickyName")->shortcut(), QKeySequence(Qt::Key_F9));
        QCOMPARE(menuItem(w, "pmAddToPopupSorvel")->text(), QStringLiteral("&Add to PopupSorvel"));
        QCOMPARE(menuItem(w, "pmAddToPopupSorvel")->shortcut(), QKeySequence(Qt::Key_F8));
        QCOMPARE(menuItem(w, "pmAddToPopupSorvel")->statusTip(),
                 QStringLiteral("Adds this URL to PopupSorvel"));
        QCOMPARE(menuItem(w, "mnuTabHome")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Home));
        QCOMPARE(menuItem(w, "mnuClose")->statusTip(), QStringLiteral("Close this browser tab"));
        const QMenu* closeAll = menuItem(w, "mnuCloseAll")->menu();
        QCOMPARE(closeAll->title(), QStringLiteral("C&lose All"));
        QCOMPARE(closeAll->actions(), (QList<QAction*>{w->action(ActionId::actCloseAll),
                                                       w->action(ActionId::actCloseAllKeepCurrent),
                                                       w->action(ActionId::actCloseAllShowList)}));
        QCOMPARE(closeAll->defaultAction(), w->action(ActionId::actCloseAll));
        QCOMPARE(w->findChild<MenuBand*>()->closeAllMenu()->actions(), closeAll->actions());
        const auto* fileCloseAll = w->findChild<QMenu*>(QStringLiteral("mnuFileCloseAll"));
        QVERIFY(fileCloseAll);
        QCOMPARE(fileCloseAll->title(), QStringLiteral("Close A&ll"));
        QCOMPARE(fileCloseAll->actions(), closeAll->actions());
        QCOMPARE(w->action(ActionId::actCloseAll)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
        QCOMPARE(menuItem(w, "mnuAddToSorvelGroup")->text(),
                 QStringLiteral("Add to Sor&velGroup..."));
        QVERIFY(menuItem(w, "mnuAddToSorvelGroup")->isEnabled());

        // With the tabs on top, the closing items come first, next to the pointer.
        w->pages()->setTabPosition(TPVPageControl::Side::Top);
        rightPress(w, 0);
        menu->hide();
        QCOMPARE(names().mid(0, 5), (QStringList{"mnuClose", "mnuCloseAll", "mnuHideFromCloseAll",
                                                 "-", "mnuTabLocked"}));
    }

    void hiddenTabsAreSweptByTheTimerOrAWalkOverTheTabs()
    {
        Fixture w({.before = [](TPVOptions& o) {
            o.SetPopupSorvelList({"url1=" + Ads});
            o.SetPopupSorvelNotify(false);
        }});
        // A window that never asks for an address waits hidden until a walk over the tabs,
        // or until its grace is over.
        w->NewTabBackground(true);
        QCOMPARE(w.hiddenTabs(), 1);
        w->rebuildTabsMenu();
        QCOMPARE(w->tabs().size(), 1);
        w->popups()->setPendingWindowGrace(20);
        w->NewTabBackground(true);
        QSignalSpy graceOver(w->popups(), &PopupControl::sweepDue);
        QVERIFY(graceOver.wait());
        QCOMPARE(w->tabs().size(), 1);

        // A blocked window starts the sweep, which destroys every hidden tab.
        w->popups()->setSweepInterval(20);
        Fixture::fakeOf(w->GetActivePage())->openWindow(Ads + "/1.html");
        QCOMPARE(w.hiddenTabs(), 1);
        QSignalSpy swept(w->popups(), &PopupControl::sweepDue);
        QVERIFY(swept.wait());
        QCOMPARE(w->tabs().size(), 1);

        // Moving between tabs (Ctrl+Tab, F2, F3) passes a waiting window by and leaves it be.
        TBrowserTab* first = w->GetActivePage();
        TBrowserTab* second = w->NewTab();
        w->NewTabBackground(true);
        w->runCommand(KeyDispatcher::Command::NextTab);
        QCOMPARE(w->GetActivePage(), first);
        w->runCommand(KeyDispatcher::Command::PreviousTab);
        QCOMPARE(w->GetActivePage(), second);
        QCOMPARE(w.hiddenTabs(), 1);
    }

    void aWindowAskedForWhileTheSweepIsDueLeavesTheOpenerAlive()
    {
        // A window not yet classified (hidden) asks for a window of its own while the sweep
        // of hidden tabs is due: nothing may run the sweep inside the engine's call.
        Fixture w;
        const auto first = Fixture::fakeOf(w->GetActivePage())->raiseNewWindow();
        QVERIFY(first.backend);
        QPointer<TBrowserTab> hiddenOpener = w->tabs().at(1);
        QVERIFY(!hiddenOpener->TabVisible());
        w->popups()->setSweepInterval(0);
        w->popups()->ScheduleCloseHiddenTabs();
        const auto second = first.backend->raiseNewWindow();
        QVERIFY(hiddenOpener); // alive when the engine's call returns
        QVERIFY(second.browser || second.cancel);
        QSignalSpy swept(w->popups(), &PopupControl::sweepDue);
        QVERIFY(swept.wait());
        QCOMPARE(w->tabs().size(), 1); // then the sweep takes the hidden ones
    }

    void aPageWithAQuestionOpenOutlivesItsTab()
    {
        // A page's question (an alert) runs a nested event loop inside the engine's call;
        // the sweep and Close All may run in that loop, and the page must not go before the
        // call returns.
        Fixture w;
        const auto popup = Fixture::fakeOf(w->GetActivePage())->raiseNewWindow();
        QVERIFY(popup.backend);
        QVERIFY(w.hiddenTabs() == 1);
        popup.backend->openQuestion();
        w->CloseHiddenTabs();
        QCOMPARE(w->tabs().size(), 1);
        QVERIFY(w.engine.made->alive().contains(popup.backend)); // its page is still there
        QSignalSpy gone(popup.backend->view() ? static_cast<QObject*>(popup.backend->view())
                                              : static_cast<QObject*>(popup.browser),
                        &QObject::destroyed);
        popup.backend->closeQuestion();
        QVERIFY(gone.wait());
        QVERIFY(!w.engine.made->alive().contains(popup.backend));

        // The same for a visible tab that Close All takes while its page asks.
        TBrowserTab* asking = w->NewTab();
        FakeWebBackend* fake = Fixture::fakeOf(asking);
        QSignalSpy browserGone(asking->Browser(), &QObject::destroyed);
        fake->openQuestion();
        w->CloseAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.engine.made->alive().contains(fake));
        fake->closeQuestion();
        QVERIFY(browserGone.wait());
    }

    void blockedWindowsNeverLoadTheirAddress()
    {
        Fixture w({.before = [](TPVOptions& o) {
            o.SetPopupSorvelList({"url1=" + Ads, "url2=http://127.0.0.1/longer/entry"});
        }});
        TBrowserTab* first = w->GetActivePage();
        FakeWebBackend* opener = Fixture::fakeOf(first);

        // Blocked: hidden, cancelled before any request, told in one notice.
        const auto blocked = opener->openWindow(Ads + "/pop.html?x=1");
        QVERIFY(!blocked.cancel);
        QVERIFY(blocked.backend);
        QCOMPARE(blocked.backend->locationUrl(), QString()); // never loaded
        TBrowserTab* popup = w->tabs().at(1);
        QVERIFY(popup->PopupBlocked());
        QVERIFY(!popup->TabVisible());
        QCOMPARE(w->GetActivePage(), first);
        QVERIFY(w->popups()->notice());
        QVERIFY(w->popups()->notice()->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(w->popups()->notice()->windowTitle(), QStringLiteral("PopupSorvel"));

        // "about:blank" first, then a real address: classified by the real one. An entry
        // longer than the address blocks when it begins with the whole address.
        const auto late = opener->raiseNewWindow();
        late.backend->completeLoad(QStringLiteral("about:blank"), QStringLiteral("about:blank"));
        TBrowserTab* waiting = w->tabs().at(1);
        QVERIFY(waiting->PendingPopup());
        QVERIFY(!late.backend->completeLoad(QStringLiteral("http://127.0.0.1/longer"), {}));
        QVERIFY(waiting->PopupBlocked());
        QCOMPARE(w->popups()->notice()->addresses(),
                 (QStringList{Ads + "/pop.html?x=1", "http://127.0.0.1/longer"}));

        // Not on the list, or on it in other letters: a visible tab.
        const auto shown = opener->openWindow(QStringLiteral("http://127.0.0.1/ADS/page"), "Page");
        QVERIFY(shown.backend->locationUrl().endsWith(QLatin1String("/ADS/page")));
        TBrowserTab* visible = w->tabs().at(1);
        QVERIFY(visible->TabVisible());
        QCOMPARE(visible->Caption(), QStringLiteral("Page"));
        QCOMPARE(visible->PopupUrl(), QStringLiteral("http://127.0.0.1/ADS/page"));

        w->CloseHiddenTabs();
        QCOMPARE(w->tabs(), (QList<TBrowserTab*>{first, visible}));

        // With the switch off every window shows.
        w->popups()->SetUsePopupSorvel(false);
        opener->openWindow(Ads + "/again.html", "Again");
        QCOMPARE(w.hiddenTabs(), 0);
        QCOMPARE(w->tabs().size(), 3);
    }

    void allowedWindowsComeToTheFrontWhenNewTabsDo()
    {
        Fixture w({.before = [](TPVOptions& o) { o.SetPopupSorvelList({"url1=" + Ads}); }});
        TBrowserTab* first = w->GetActivePage();
        FakeWebBackend* opener = Fixture::fakeOf(first);
        opener->openWindow(QStringLiteral("http://127.0.0.1/behind"));
        QCoreApplication::processEvents();
        QCOMPARE(w->GetActivePage(), first);

        w->runCommand(KeyDispatcher::Command::ToggleForeground);
        QVERIFY(w->tabSet()->OpenNewInForeground());
        const auto late = opener->raiseNewWindow();
        // The preference at the time of the request counts.
        w->runCommand(KeyDispatcher::Command::ToggleForeground);
        late.backend->completeLoad(QStringLiteral("http://127.0.0.1/front"), "Front");
        QCoreApplication::processEvents();
        QCOMPARE(w->GetActivePage()->PopupUrl(), QStringLiteral("http://127.0.0.1/front"));

        w->pages()->setActivePage(first);
        w->runCommand(KeyDispatcher::Command::ToggleForeground);
        opener->openWindow(Ads + "/x");
        QCoreApplication::processEvents();
        QCOMPARE(w->GetActivePage(), first); // a blocked one never shows
    }

    void noticeCanBeTurnedOff()
    {
        Fixture w({.before = [](TPVOptions& o) { o.SetPopupSorvelList({"url1=" + Ads}); }});
        FakeWebBackend* opener = Fixture::fakeOf(w->GetActivePage());
        opener->openWindow(Ads + "/1");
        QPointer<TfrmPopupNotify> notice = w->popups()->notice();
        QVERIFY(notice);
        QVERIFY(!notice->dontShowAgainBox()->isChecked());
        notice->dontShowAgainBox()->setChecked(true);
        notice->okButton()->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!notice);
        QVERIFY(!w.options().GetPopupSorvelNotify());

        // Blocking goes on silently.
        opener->openWindow(Ads + "/2");
        QVERIFY(!w->popups()->notice());
        QVERIFY(w->tabs().at(1)->PopupBlocked());
    }

    void addToPopupListRecordsTheFirstAddressAndReloads()
    {
        Fixture w({.before = [](TPVOptions& o) {
            o.SetPopupSorvelList({"url1=http://127.0.0.1/old", "url3=http://127.0.0.1/x"});
        }});
        w.withTabs(1);
        FakeWebBackend* opener = Fixture::fakeOf(w->GetActivePage());
        opener->openWindow(QStringLiteral("http://127.0.0.1/pop/a.html?id=7"), "Pop");
        TBrowserTab* popup = w->tabs().at(1);
        Fixture::fakeOf(popup)->completeLoad(QStringLiteral("http://127.0.0.1/elsewhere"), "Else");
        w->pages()->setActivePage(popup);

        w->runCommand(KeyDispatcher::Command::AddToPopupList); // F8
        QCOMPARE(w.options().GetPopupSorvelList(),
                 (QStringList{"url1=http://127.0.0.1/old", "url3=http://127.0.0.1/x",
                              "url4=http://127.0.0.1/pop/a.html"}));
        QCOMPARE(w->popups()->PopupList(), w.options().GetPopupSorvelList());
        QCOMPARE(w->tabs().size(), 2);
        QVERIFY(!w->tabs().contains(popup));
        opener->openWindow(QStringLiteral("http://127.0.0.1/pop/a.html?id=8"));
        QVERIFY(w->tabs().at(1)->PopupBlocked());
        w->CloseHiddenTabs();

        // From the tab menu over a tab that is not active: that tab's own address.
        w.show();
        TBrowserTab* other = w->tabs().at(1);
        Fixture::fakeOf(other)->completeLoad(QStringLiteral("http://127.0.0.1/q?a"), "Q");
        w->pages()->setActivePage(w->tabs().first());
        rightPress(w, 1);
        w->tabMenu()->hide();
        menuItem(w, "pmAddToPopupSorvel")->trigger();
        QCOMPARE(w.options().GetPopupSorvelList().last(),
                 QStringLiteral("url5=http://127.0.0.1/q"));
        QCOMPARE(w->tabs().size(), 1);
    }

    void aPopupFloodIsBounded()
    {
        Fixture w;
        w.show();
        TBrowserTab* first = w->GetActivePage();
        FakeWebBackend* opener = Fixture::fakeOf(first);
        opener->completeLoad(QStringLiteral("http://127.0.0.1/flood"), "Flood");

        // Windows that never ask for an address: the bound, and no more.
        int refused = 0;
        for (int i = 0; i < 300; ++i) {
            const auto window = opener->raiseNewWindow();
            if (window.cancel) {
                QVERIFY(!window.browser);
                ++refused;
            }
        }
        QCOMPARE(w.hiddenTabs(), PopupRules::MaxWindowsAtOnce);
        QCOMPARE(refused, 300 - PopupRules::MaxWindowsAtOnce);
        QCOMPARE(first->WaitingPopups(), PopupRules::MaxWindowsAtOnce);
        QVERIFY(w->statusPanel()->text().contains(QLatin1String("http://127.0.0.1/flood")));
        // The hidden ones go with the next sweep.
        QVERIFY(w->popups()->sweepPending());

        // Told once per page.
        w->SetStatusText(QString());
        QVERIFY(opener->raiseNewWindow().cancel);
        QVERIFY(w->statusPanel()->text().isEmpty());

        // Windows that are shown at once count too, until the user does something in the
        // page: a loop of window.open with a real engine shows each window before it asks
        // for the next.
        w->CloseHiddenTabs();
        QCOMPARE(w->tabs(), QList<TBrowserTab*>{first});
        opener->completeLoad(QStringLiteral("http://127.0.0.1/next"), "Next");
        QVERIFY(opener->openWindow(QStringLiteral("http://127.0.0.1/ok"), "OK").cancel);
        QVERIFY(w->statusPanel()->text().contains(QLatin1String("http://127.0.0.1/next")));
        pressIn(first);
        QCOMPARE(first->PopupsSinceUserInput(), 0);
        int shown = 0;
        for (int i = 0; i < 30; ++i)
            shown +=
                opener->openWindow(QStringLiteral("http://127.0.0.1/s/%1").arg(i)).cancel ? 0 : 1;
        QCOMPARE(shown, PopupRules::MaxWindowsAtOnce);
        QCOMPARE(w.hiddenTabs(), 0);

        // The user opening links one by one is never held back, by key or by mouse.
        for (int i = 0; i < 30; ++i) {
            i % 2 ? pressIn(first) : keyIn(first);
            QVERIFY(!opener->openWindow(QStringLiteral("http://127.0.0.1/u/%1").arg(i)).cancel);
        }
        // Input in another tab is not input in this page.
        pressIn(w->tabs().last());
        QCOMPARE(first->PopupsSinceUserInput(), 1);

        // The window stays usable.
        QCOMPARE(w->tabs().size(), 1 + PopupRules::MaxWindowsAtOnce + 30);
        TBrowserTab* fresh = w->NewTab();
        QCOMPARE(w->GetActivePage(), fresh);
        w->runCommand(KeyDispatcher::Command::CloseAll);
        QCOMPARE(w->tabs().size(), 1);
    }

    void aBlockedFloodLeavesOneNoticeAndIsSwept()
    {
        Fixture w({.before = [](TPVOptions& o) { o.SetPopupSorvelList({"url1=" + Ads}); }});
        TBrowserTab* first = w->GetActivePage();
        FakeWebBackend* opener = Fixture::fakeOf(first);
        for (int i = 0; i < 300; ++i)
            opener->openWindow(Ads + QStringLiteral("/%1.html").arg(i));
        QCOMPARE(w.hiddenTabs(), PopupRules::MaxWindowsAtOnce);
        QCOMPARE(w->popups()->notice()->addresses().size(), PopupRules::MaxWindowsAtOnce);
        QCOMPARE(w->findChildren<TfrmPopupNotify*>().size(), 1);
        w->CloseHiddenTabs();
        QCOMPARE(w->tabs(), QList<TBrowserTab*>{first});
        QVERIFY(opener->raiseNewWindow().cancel); // until the user does something there
        keyIn(first);
        QVERIFY(!opener->raiseNewWindow().cancel);
    }

    void aChainOfPagesOpeningCopiesOfThemselvesStops()
    {
        // Each copy is a tab with a bound of its own: the window's bound holds the chain.
        Fixture w;
        FakeWebBackend* first = Fixture::fakeOf(w->GetActivePage());
        QList<FakeWebBackend*> openers{first};
        for (int generation = 0; generation < 6; ++generation) {
            QList<FakeWebBackend*> copies;
            for (FakeWebBackend* opener : openers)
                for (const auto& window : {opener->openWindow(Ads), opener->openWindow(Ads)})
                    copies << (window.cancel ? QList<FakeWebBackend*>{} : QList{window.backend});
            openers = copies;
        }
        QCOMPARE(w->tabs().size(), 1 + PopupRules::MaxWindowsUnasked);
        QCOMPARE(w->statusPanel()->text(), PopupControl::budgetSpentText());
        w->SetStatusText(QString()); // told once
        QVERIFY(first->raiseNewWindow().cancel);
        QVERIFY(w->statusPanel()->text().isEmpty());
        pressIn(w->tabs().last()); // input in any tab makes room again
        QVERIFY(!first->openWindow(Ads).cancel);
    }
};

PELVANE_TEST_MAIN(TestClosing)
#include "tst_closing.moc"
