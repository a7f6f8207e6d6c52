#include "app/MainActions.h"
#include "app/MainWindow.h"
#include "app/CloseAll.h"
#include "app/ConfirmCloseAll.h"
#include "browser/BrowserTab.h"
#include "browser/PopupRules.h"
#include "browser/PopupNotify.h"
#include "browser/strip/PVPageControl.h"
#include "browser/strip/PVStatusBar.h"
#include "platform/web/WebBrowser.h"
#include "support/FakeWebBackend.h"
#include "support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

namespace {

const QString Ads = QStringLiteral("http://127.0.0.1/ads");

// A main window on fake engines.
struct Window
{
    std::shared_ptr<FakeWebBackend::Made> made = std::make_shared<FakeWebBackend::Made>();
    std::unique_ptr<TfrmMain> window;

    Window()
    {
        MainWindowOptions options;
        options.backends = FakeWebBackend::factory(made);
        window = std::make_unique<TfrmMain>(options);
    }
    TfrmMain* operator->() const { return window.get(); }
    static FakeWebBackend* fakeOf(const TBrowserTab* tab)
    {
        return static_cast<FakeWebBackend*>(tab->Browser()->backend());
    }
    // The first tab plus `more` new ones, with the first active.
    QList<TBrowserTab*> withTabs(int more)
    {
        for (int i = 0; i < more; ++i)
            window->NewTab();
        window->pages()->setActivePage(window->tabs().first());
        return window->tabs();
    }
    int hiddenTabs() const
    {
        int n = 0;
        for (const TBrowserTab* tab : window->tabs())
            n += tab->TabVisible() ? 0 : 1;
        return n;
    }
    QString lastNavigation(const TBrowserTab* tab) const
    {
        return fakeOf(tab)->navigations().value(fakeOf(tab)->navigations().size() - 1);
    }
    void show()
    {
        window->resize(800, 500);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    // A right press on the strip over the tab at `tabIndex`, or away from every tab.
    void rightPress(int tabIndex)
    {
        QWidget* strip = window->pages()->tabStrip();
        const QPoint at = tabIndex >= 0 ? window->pages()->tabRect(tabIndex).center()
                                        : QPoint(strip->width() - 2, strip->height() / 2);
        QVERIFY(tabIndex < 0 || !window->pages()->tabRect(tabIndex).isNull());
        QTest::mousePress(strip, Qt::RightButton, Qt::NoModifier, at);
        QCOMPARE(window->PopupTabIndex(), tabIndex);
    }
    QAction* menuItem(const char* name) const
    {
        QAction* item = window->tabMenu()->findChild<QAction*>(QString::fromLatin1(name));
        if (!item) {
            const auto all = window->tabMenu()->findChildren<QMenu*>();
            for (const QMenu* sub : all) {
                if (sub->menuAction()->objectName() == QLatin1String(name))
                    return sub->menuAction();
            }
        }
        return item;
    }
};

// Answers the next modal dialog of type T once it is up, and counts what it answered.
struct ModalAnswer
{
    std::unique_ptr<QTimer> poll = std::make_unique<QTimer>();
    std::shared_ptr<int> answered = std::make_shared<int>(0);

    template<typename T, typename Answer> static std::unique_ptr<ModalAnswer> on(Answer answer)
    {
        auto result = std::make_unique<ModalAnswer>();
        QTimer* poll = result->poll.get();
        const auto answered = result->answered;
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, answered, answer] {
            auto* box = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll->stop();
            ++*answered;
            answer(box);
        });
        poll->start();
        return result;
    }
};

// A mouse button or a key pressed on the page of `tab`, as the application delivers it.
void pressIn(TBrowserTab* tab)
{
    QWidget* page = Window::fakeOf(tab)->view() ? Window::fakeOf(tab)->view() : tab->Browser();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), page->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page, &press);
}

void keyIn(TBrowserTab* tab)
{
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(tab->Browser(), &key);
}

void clearSettings()
{
    TRegistry reg;
    reg.deleteKey(QStringLiteral("\\Software\\Brenmoor"));
}

void click(QWidget* box, const char* button)
{
    auto* found = box->findChild<QPushButton*>(QString::fromLatin1(button));
    QVERIFY2(found, button);
    found->click();
}

} // namespace

class TestClosing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        clearSettings();
        TPVOptions().SetConfirmCloseAll(false);
    }

    void closeActivatesTheNeighbourAndKeepsOneTab()
    {
        {
            Window w;
            const auto tabs = w.withTabs(2);
            w->runCommand(KeyDispatcher::Command::Close); // the active first tab
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(w->tabs(), (QList<TBrowserTab*>{tabs.at(1), tabs.at(2)}));
            QCOMPARE(w->GetActivePage(), tabs.at(1));
        }
        {
            Window w;
            const auto tabs = w.withTabs(2);
            w->pages()->setActivePage(tabs.at(2));
            w->actions()->get("actClose")->trigger();
            QCOMPARE(w->tabs().size(), 2);
            QCOMPARE(w->GetActivePage(), tabs.at(1));
        }
        // The only tab is reset, not removed.
        Window w;
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

    void closingTheOnlyShownTabBesideAHiddenOneResetsIt()
    {
        // A window not yet classified is a page too; closing the one tab the user sees must
        // still leave a tab to see.
        Window w;
        TBrowserTab* shown = w->GetActivePage();
        w->NewTabBackground(true);
        QCOMPARE(w->tabs().size(), 2);
        w->runCommand(KeyDispatcher::Command::Close);
        QCOMPARE(w->tabs(), QList<TBrowserTab*>{shown});
        QCOMPARE(shown->Caption(), QStringLiteral("Blank"));
        QCOMPARE(w->GetActivePage(), shown);
    }

    void closeAllKeepsTheTabsHiddenFromIt()
    {
        Window w;
        const auto tabs = w.withTabs(3); // A, B, C, D
        tabs.at(1)->setHideFromCloseAll(true);
        tabs.at(3)->setHideFromCloseAll(true);
        tabs.at(2)->SetLocked(true); // locked tabs close like any other
        w->runCommand(KeyDispatcher::Command::CloseAll);
        QCOMPARE(w->tabs(), (QList<TBrowserTab*>{tabs.at(1), tabs.at(3)}));
        QCOMPARE(w->GetActivePage(), tabs.at(1));
    }

    void closeAllWithoutKeptTabsLeavesTheFirstTabBlank()
    {
        Window w;
        const auto tabs = w.withTabs(3);
        TBrowserTab* first = tabs.first();
        first->OpenAsHome(QStringLiteral("http://127.0.0.1/home"));
        first->SetStickyName(QStringLiteral("Mine"));
        first->SetLocked(true);
        w->pages()->setActivePage(tabs.at(2));
        w->actions()->get("actCloseAll")->trigger();
        QCOMPARE(w->tabs(), QList<TBrowserTab*>{first});
        QCOMPARE(w->GetActivePage(), first);
        QCOMPARE(first->Caption(), QStringLiteral("Blank"));
        QCOMPARE(w.lastNavigation(first), QStringLiteral("about:blank"));
        QVERIFY(!first->Locked());
        QVERIFY(first->StickyName().isEmpty());
        QCOMPARE(first->HomeUrl(), QStringLiteral("http://127.0.0.1/home"));
    }

    void closeAllKeepCurrent()
    {
        Window w;
        const auto tabs = w.withTabs(4);
        tabs.at(4)->setHideFromCloseAll(true);
        w->pages()->setActivePage(tabs.at(2));
        w->actions()->get("actCloseAllKeepCurrent")->trigger();
        QCOMPARE(w->tabs(), (QList<TBrowserTab*>{tabs.at(2), tabs.at(4)}));
        QCOMPARE(w->GetActivePage(), tabs.at(2));
        QVERIFY(!tabs.at(2)->HideFromCloseAll());
        QVERIFY(tabs.at(4)->HideFromCloseAll());
    }

    void confirmationAndDontAskMeAgain()
    {
        TPVOptions options;
        options.SetConfirmCloseAll(true);
        Window w;
        w.withTabs(2);

        // Closing the box any other way is No, and leaves the question on.
        auto escape = ModalAnswer::on<TfrmConfirmCloseAll>([](TfrmConfirmCloseAll* box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("Close All"));
            box->dontAskBox()->setChecked(true);
            box->reject();
        });
        w->CloseAll();
        QCOMPARE(*escape->answered, 1);
        QCOMPARE(w->tabs().size(), 3);
        QVERIFY(options.GetConfirmCloseAll());

        // No with "Don't ask me again": nothing closes, and the question is off for good.
        auto no = ModalAnswer::on<TfrmConfirmCloseAll>([](TfrmConfirmCloseAll* box) {
            box->dontAskBox()->setChecked(true);
            click(box, "cmdNo");
        });
        w->runCommand(KeyDispatcher::Command::CloseAll);
        QCOMPARE(*no->answered, 1);
        QCOMPARE(w->tabs().size(), 3);
        QVERIFY(!options.GetConfirmCloseAll());

        auto unasked = ModalAnswer::on<QDialog>([](QDialog* box) { box->reject(); });
        w->CloseAll();
        QCOMPARE(*unasked->answered, 0);
        unasked.reset();
        QCOMPARE(w->tabs().size(), 1);

        // Yes closes; the check box is written with either button.
        options.SetConfirmCloseAll(true);
        w->NewTab();
        auto yes = ModalAnswer::on<TfrmConfirmCloseAll>(
            [](TfrmConfirmCloseAll* box) { click(box, "cmdYes"); });
        w->CloseAll();
        QCOMPARE(*yes->answered, 1);
        QCOMPARE(w->tabs().size(), 1);
        QVERIFY(options.GetConfirmCloseAll());
    }

    void showListClosesTheCheckedTabs()
    {
        Window w;
        const auto tabs = w.withTabs(3);
        tabs.at(1)->SetStickyName(QStringLiteral("Two"));
        tabs.at(2)->SetTitle(QStringLiteral("Three"));
        tabs.at(3)->setHideFromCloseAll(true); // plays no part here
        TPVOptions().SetConfirmCloseAll(true); // neither does this

        // Every line cleared: nothing closes.
        auto none = ModalAnswer::on<TfrmCloseAll>([](TfrmCloseAll* box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("Select Browser Tabs to Close"));
            QCOMPARE(box->list()->count(), 4);
            QCOMPARE(box->list()->item(1)->text(), QStringLiteral("Two"));
            QCOMPARE(box->list()->item(2)->text(), QStringLiteral("Three"));
            QCOMPARE(box->checkedLines(), (QList<int>{0, 1, 2, 3}));
            click(box, "cmdDeselectAll");
            click(box, "cmdOK");
        });
        w->CloseAllShowList();
        QCOMPARE(*none->answered, 1);
        QCOMPARE(w->tabs(), tabs);

        // Cancel closes nothing either.
        auto cancel =
            ModalAnswer::on<TfrmCloseAll>([](TfrmCloseAll* box) { click(box, "cmdCancel"); });
        w->actions()->get("actCloseAllShowList")->trigger();
        QCOMPARE(w->tabs(), tabs);

        // Some lines; a tab that goes while the list is open is skipped, and no other tab
        // is closed in its place.
        auto some = ModalAnswer::on<TfrmCloseAll>([&](TfrmCloseAll* box) {
            box->setLineChecked(0, false);
            box->setLineChecked(3, false);
            w->closePage(tabs.at(1));
            click(box, "cmdOK");
        });
        w->CloseAllShowList();
        QCOMPARE(w->tabs(), (QList<TBrowserTab*>{tabs.at(0), tabs.at(3)}));

        // Every line: one blank tab is left.
        auto all = ModalAnswer::on<TfrmCloseAll>([](TfrmCloseAll* box) {
            box->deselectAll();
            click(box, "cmdSelectAll");
            click(box, "cmdOK");
        });
        w->CloseAllShowList();
        QCOMPARE(w->tabs().size(), 1);
        QCOMPARE(w->tabs().first()->Caption(), QStringLiteral("Blank"));
        QCOMPARE(w->GetActivePage(), w->tabs().first());
    }

    void tabMenuActsOnTheTabUnderThePointer()
    {
        Window w;
        w.show();
        const auto tabs = w.withTabs(2);
        for (TBrowserTab* tab : tabs)
            tab->SetTitle(QStringLiteral("Page"));
        tabs.at(1)->OpenAsHome(QStringLiteral("http://127.0.0.1/home"));
        tabs.at(1)->SetStickyName(QStringLiteral("Sticky"));
        QMenu* menu = w->tabMenu();

        w.rightPress(1);
        QVERIFY(menu->isVisible());
        QCOMPARE(w.menuItem("mnuStickyName")->text(), QStringLiteral("Clear StickyName"));
        QVERIFY(w.menuItem("mnuTabHome")->isEnabled());
        QVERIFY(!w.menuItem("mnuTabLocked")->isChecked());
        w.menuItem("mnuTabLocked")->trigger();
        w.menuItem("mnuHideFromCloseAll")->trigger();
        w.menuItem("mnuStickyName")->trigger();
        w.menuItem("mnuTabHome")->trigger();
        menu->hide();
        QVERIFY(tabs.at(1)->Locked());
        QVERIFY(tabs.at(1)->HideFromCloseAll());
        QVERIFY(tabs.at(1)->StickyName().isEmpty());
        QCOMPARE(w.lastNavigation(tabs.at(1)), QStringLiteral("http://127.0.0.1/home"));
        QVERIFY(!tabs.at(0)->Locked());
        QCOMPARE(w->GetActivePage(), tabs.at(0));

        w.rightPress(1);
        QCOMPARE(w.menuItem("mnuStickyName")->text(), QStringLiteral("Set StickyName"));
        QVERIFY(w.menuItem("mnuTabLocked")->isChecked());
        QVERIFY(w.menuItem("mnuHideFromCloseAll")->isChecked());
        menu->hide();

        // The sticky-name prompt: a name sets it, an empty answer or Cancel changes nothing.
        w.rightPress(2);
        QVERIFY(!w.menuItem("mnuTabHome")->isEnabled());
        menu->hide();
        const auto prompt = [&](const QString& answer, bool accept) {
            auto box = ModalAnswer::on<QInputDialog>([answer, accept](QInputDialog* dialog) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Set Sticky Name"));
                QCOMPARE(dialog->labelText(),
                         QStringLiteral("Enter a StickyName for the selected tab:"));
                QVERIFY(dialog->textValue().isEmpty());
                dialog->setTextValue(answer);
                accept ? dialog->accept() : dialog->reject();
            });
            w.menuItem("mnuStickyName")->trigger();
            QCOMPARE(*box->answered, 1);
        };
        prompt(QString(), true);
        prompt(QStringLiteral("Ignored"), false);
        QVERIFY(tabs.at(2)->StickyName().isEmpty());
        prompt(QStringLiteral("Named"), true);
        QCOMPARE(tabs.at(2)->StickyName(), QStringLiteral("Named"));
        QCOMPARE(tabs.at(2)->Caption(), QStringLiteral("Named"));

        // Close closes that tab, not the active one.
        w.menuItem("mnuClose")->trigger();
        QCOMPARE(w->tabs(), (QList<TBrowserTab*>{tabs.at(0), tabs.at(1)}));
        QCOMPARE(w->GetActivePage(), tabs.at(0));

        // Away from the tabs there is no tab, and the items do nothing.
        w.rightPress(-1);
        menu->hide();
        QVERIFY(!w->PopupTab());
        w.menuItem("mnuClose")->trigger();
        w.menuItem("mnuTabLocked")->trigger();
        QCOMPARE(w->tabs().size(), 2);
        QVERIFY(!tabs.at(0)->Locked());
    }

    void tabMenuItemsAndTheirOrder()
    {
        Window w;
        w.show();
        QMenu* menu = w->tabMenu();
        const auto names = [menu] {
            QStringList result;
            const auto items = menu->actions();
            for (const QAction* item : items)
                result << (item->isSeparator() ? QStringLiteral("-") : item->objectName());
            return result;
        };
        w.rightPress(0);
        menu->hide();
        QCOMPARE(names(), (QStringList{"mnuTabLocked", "mnuStickyName", "-", "mnuAddTo", "-",
                                       "mnuStop", "mnuRefresh", "mnuTabHome", "-",
                                       "mnuHideFromCloseAll", "mnuCloseAll", "mnuClose"}));
        QCOMPARE(w.menuItem("mnuTabLocked")->text(), QStringLiteral("Tab &Locked"));
        QCOMPARE(w.menuItem("mnuTabLocked")->shortcut(), QKeySequence(Qt::Key_F12));
        QCOMPARE(w.menuItem("mnuStickyName")->shortcut(), QKeySequence(Qt::Key_F9));
        QCOMPARE(w.menuItem("pmAddToPopupSorvel")->text(), QStringLiteral("&Add to PopupSorvel"));
        QCOMPARE(w.menuItem("pmAddToPopupSorvel")->shortcut(), QKeySequence(Qt::Key_F8));
        QCOMPARE(w.menuItem("pmAddToPopupSorvel")->statusTip(),
                 QStringLiteral("Adds this URL to PopupSorvel"));
        QCOMPARE(w.menuItem("mnuTabHome")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Home));
        QCOMPARE(w.menuItem("mnuClose")->statusTip(), QStringLiteral("Close this browser tab"));
        const QMenu* closeAll = w.menuItem("mnuCloseAll")->menu();
        QCOMPARE(closeAll->title(), QStringLiteral("C&lose All"));
        QCOMPARE(closeAll->actions(), (QList<QAction*>{w->actions()->get("actCloseAll"),
                                                       w->actions()->get("actCloseAllKeepCurrent"),
                                                       w->actions()->get("actCloseAllShowList")}));
        QCOMPARE(closeAll->defaultAction(), w->actions()->get("actCloseAll"));
        QCOMPARE(w->closeAllButtonMenu()->actions(), closeAll->actions());
        const auto* fileCloseAll = w->findChild<QMenu*>(QStringLiteral("mnuFileCloseAll"));
        QVERIFY(fileCloseAll);
        QCOMPARE(fileCloseAll->title(), QStringLiteral("Close A&ll"));
        QCOMPARE(fileCloseAll->actions(), closeAll->actions());
        QCOMPARE(w->actions()->get("actCloseAll")->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
        QCOMPARE(w.menuItem("mnuAddToSorvelGroup")->text(),
                 QStringLiteral("Add to Sor&velGroup..."));
        QVERIFY(w.menuItem("mnuAddToSorvelGroup")->isEnabled());

        // With the tabs on top, the closing items come first, next to the pointer.
        w->pages()->setTabPosition(TPVPageControl::Side::Top);
        w.rightPress(0);
        menu->hide();
        QCOMPARE(names().mid(0, 5), (QStringList{"mnuClose", "mnuCloseAll", "mnuHideFromCloseAll",
                                                 "-", "mnuTabLocked"}));
    }

    void hiddenTabsAreSweptAfterTwoSeconds()
    {
        Window w;
        auto* timer = w->findChild<QTimer*>(QStringLiteral("tmrCloseHidden"));
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 2000);
        QVERIFY(timer->isSingleShot());
        QVERIFY(!timer->isActive());

        // A window that never asks for an address waits hidden until a walk over the tabs.
        w->NewTabBackground(true);
        QCOMPARE(w.hiddenTabs(), 1);
        w->rebuildTabsMenu();
        QCOMPARE(w->tabs().size(), 1);

        TPVOptions().SetPopupSorvelList({"url1=" + Ads});
        TPVOptions().SetPopupSorvelNotify(false);
        w->ReloadPopupList();
        FakeWebBackend* opener = Window::fakeOf(w->GetActivePage());
        opener->openWindow(Ads + "/1.html");
        QVERIFY(timer->isActive());
        // Later blocked windows do not put the sweep off.
        const int before = timer->remainingTime();
        QTest::qWait(300);
        opener->openWindow(Ads + "/2.html");
        QVERIFY(timer->remainingTime() <= before - 200);
        QCOMPARE(w.hiddenTabs(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(w->tabs().size(), 1, 10000);
        QVERIFY(!timer->isActive());
    }

    void blockedWindowsNeverLoadTheirAddress()
    {
        TPVOptions().SetPopupSorvelList({"url1=" + Ads, "url2=http://127.0.0.1/longer/entry"});
        Window w;
        TBrowserTab* first = w->GetActivePage();
        FakeWebBackend* opener = Window::fakeOf(first);

        // Blocked: hidden, cancelled before any request, told in one notice.
        const auto blocked = opener->openWindow(Ads + "/pop.html?x=1");
        QVERIFY(!blocked.cancel);
        QVERIFY(blocked.backend);
        QCOMPARE(blocked.backend->locationUrl(), QString()); // never loaded
        TBrowserTab* popup = w->tabs().at(1);
        QVERIFY(popup->PopupBlocked());
        QVERIFY(!popup->TabVisible());
        QCOMPARE(w->GetActivePage(), first);
        QVERIFY(w->popupNotice());
        QVERIFY(w->popupNotice()->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(w->popupNotice()->windowTitle(), QStringLiteral("PopupSorvel"));

        // "about:blank" first, then a real address: classified by the real one. An entry
        // longer than the address blocks when it begins with the whole address.
        const auto late = opener->raiseNewWindow();
        late.backend->completeLoad(QStringLiteral("about:blank"), QStringLiteral("about:blank"));
        TBrowserTab* waiting = w->tabs().at(1);
        QVERIFY(waiting->PendingPopup());
        QVERIFY(!late.backend->completeLoad(QStringLiteral("http://127.0.0.1/longer"), {}));
        QVERIFY(waiting->PopupBlocked());
        QCOMPARE(w->popupNotice()->addresses(),
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
        w->SetUsePopupSorvel(false);
        opener->openWindow(Ads + "/again.html", "Again");
        QCOMPARE(w.hiddenTabs(), 0);
        QCOMPARE(w->tabs().size(), 3);
    }

    void allowedWindowsComeToTheFrontWhenNewTabsDo()
    {
        TPVOptions().SetPopupSorvelList({"url1=" + Ads});
        Window w;
        TBrowserTab* first = w->GetActivePage();
        FakeWebBackend* opener = Window::fakeOf(first);
        opener->openWindow(QStringLiteral("http://127.0.0.1/behind"));
        QCoreApplication::processEvents();
        QCOMPARE(w->GetActivePage(), first);

        w->runCommand(KeyDispatcher::Command::ToggleForeground);
        QVERIFY(w->OpenNewInForeground());
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
        TPVOptions().SetPopupSorvelList({"url1=" + Ads});
        Window w;
        FakeWebBackend* opener = Window::fakeOf(w->GetActivePage());
        opener->openWindow(Ads + "/1");
        QPointer<TfrmPopupNotify> notice = w->popupNotice();
        QVERIFY(notice);
        QVERIFY(!notice->dontShowAgainBox()->isChecked());
        notice->dontShowAgainBox()->setChecked(true);
        notice->okButton()->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!notice);
        QVERIFY(!TPVOptions().GetPopupSorvelNotify());

        // Blocking goes on silently.
        opener->openWindow(Ads + "/2");
        QVERIFY(!w->popupNotice());
        QVERIFY(w->tabs().at(1)->PopupBlocked());
    }

    void addToPopupListRecordsTheFirstAddressAndReloads()
    {
        TPVOptions().SetPopupSorvelList({"url1=http://127.0.0.1/old", "url3=http://127.0.0.1/x"});
        Window w;
        w.withTabs(1);
        FakeWebBackend* opener = Window::fakeOf(w->GetActivePage());
        opener->openWindow(QStringLiteral("http://127.0.0.1/pop/a.html?id=7"), "Pop");
        TBrowserTab* popup = w->tabs().at(1);
        Window::fakeOf(popup)->completeLoad(QStringLiteral("http://127.0.0.1/elsewhere"), "Else");
        w->pages()->setActivePage(popup);

        w->runCommand(KeyDispatcher::Command::AddToPopupList); // F8
        QCOMPARE(TPVOptions().GetPopupSorvelList(),
                 (QStringList{"url1=http://127.0.0.1/old", "url3=http://127.0.0.1/x",
                              "url4=http://127.0.0.1/pop/a.html"}));
        QCOMPARE(w->PopupList(), TPVOptions().GetPopupSorvelList());
        QCOMPARE(w->tabs().size(), 2);
        QVERIFY(!w->tabs().contains(popup));
        opener->openWindow(QStringLiteral("http://127.0.0.1/pop/a.html?id=8"));
        QVERIFY(w->tabs().at(1)->PopupBlocked());
        w->CloseHiddenTabs();

        // From the tab menu over a tab that is not active: that tab's own address.
        w.show();
        TBrowserTab* other = w->tabs().at(1);
        Window::fakeOf(other)->completeLoad(QStringLiteral("http://127.0.0.1/q?a"), "Q");
        w->pages()->setActivePage(w->tabs().first());
        w.rightPress(1);
        w->tabMenu()->hide();
        w.menuItem("pmAddToPopupSorvel")->trigger();
        QCOMPARE(TPVOptions().GetPopupSorvelList().last(),
                 QStringLiteral("url5=http://127.0.0.1/q"));
        QCOMPARE(w->tabs().size(), 1);
    }

    void aPopupFloodIsBounded()
    {
        Window w;
        w.show();
        TBrowserTab* first = w->GetActivePage();
        FakeWebBackend* opener = Window::fakeOf(first);
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
        QVERIFY(w->findChild<QTimer*>(QStringLiteral("tmrCloseHidden"))->isActive());

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
        TPVOptions().SetPopupSorvelList({"url1=" + Ads});
        Window w;
        TBrowserTab* first = w->GetActivePage();
        FakeWebBackend* opener = Window::fakeOf(first);
        for (int i = 0; i < 300; ++i)
            opener->openWindow(Ads + QStringLiteral("/%1.html").arg(i));
        QCOMPARE(w.hiddenTabs(), PopupRules::MaxWindowsAtOnce);
        QCOMPARE(w->popupNotice()->addresses().size(), PopupRules::MaxWindowsAtOnce);
        QCOMPARE(w->findChildren<TfrmPopupNotify*>().size(), 1);
        w->CloseHiddenTabs();
        QCOMPARE(w->tabs(), QList<TBrowserTab*>{first});
        QVERIFY(opener->raiseNewWindow().cancel); // until the user does something there
        keyIn(first);
        QVERIFY(!opener->raiseNewWindow().cancel);
    }
};

PELVANE_TEST_MAIN(TestClosing)
#include "tst_closing.moc"
