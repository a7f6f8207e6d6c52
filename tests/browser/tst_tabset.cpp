#include "browser/OpenRules.h"
#include "browser/TabListing.h"
#include "support/DataRows.h"
#include "support/TabSetFixture.h"
#include "support/TestHome.h"

#include <QJsonObject>
#include <QMenu>
#include <QSignalSpy>

using OpenRules::OpenTarget;
Q_DECLARE_METATYPE(OpenRules::OpenTarget)

namespace {

using Fixture = TabSetFixture;

const QString Blank = QStringLiteral("about:blank");
const QString PageA = QStringLiteral("http://127.0.0.1/a");

// What the set passed on to the window, as text.
struct Relayed
{
    explicit Relayed(TabSet& tabs)
    {
        QObject::connect(&tabs, &TabSet::statusText, &context,
                         [this](const QString& t) { seen << "status " + t; });
        QObject::connect(&tabs, &TabSet::progress, &context, [this](int done, int total) {
            seen << QStringLiteral("progress %1/%2").arg(done).arg(total);
        });
        QObject::connect(&tabs, &TabSet::progressEnded, &context,
                         [this] { seen << "progress ended"; });
        QObject::connect(&tabs, &TabSet::busy, &context,
                         [this](bool on) { seen << (on ? "busy" : "idle"); });
        QObject::connect(&tabs, &TabSet::indicatorsChanged, &context,
                         [this] { seen << "indicators"; });
        QObject::connect(&tabs, &TabSet::backForwardChanged, &context,
                         [this] { seen << "back/forward"; });
        QObject::connect(&tabs, &TabSet::addressShown, &context,
                         [this](const QString& url) { seen << "shown " + url; });
        QObject::connect(&tabs, &TabSet::addressTyped, &context,
                         [this](const QString& url) { seen << "typed " + url; });
    }
    QStringList take() { return std::exchange(seen, {}); }

    QObject context;
    QStringList seen;
};

// A load of `url` in `tab`'s fake, from the first question to the end, with a status text
// and progress on the way.
void loadWithReports(TBrowserTab* tab, const QString& url)
{
    FakeWebBackend* fake = Fixture::fakeOf(tab);
    fake->statusText(QStringLiteral("Opening"));
    fake->progress(5, 10);
    fake->completeLoad(url, url);
    fake->progress(10, 10);
}

} // namespace

class TestTabSet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onlyTheActiveTabsReportsReachTheWindow()
    {
        Fixture set;
        TBrowserTab* front = set->GetActivePage();
        TBrowserTab* back = set->NewTabBackground(false);
        QCOMPARE(set->GetActivePage(), front);
        Relayed relayed(set.tabs);

        loadWithReports(back, PageA);
        QVERIFY2(relayed.take().isEmpty(), "a tab out of sight reports nothing");

        loadWithReports(front, PageA);
        const QStringList seen = relayed.take();
        for (const char* report : {"status Opening", "progress 5/10", "progress ended",
                                   "indicators", "idle"}) {
            QVERIFY2(seen.contains(QLatin1String(report)), report);
        }
        QVERIFY(seen.contains("typed " + PageA));
        QVERIFY(seen.contains("shown " + PageA));

        // Once in front, the other tab's reports pass and the first tab's stop.
        QSignalSpy changed(&set.tabs, &TabSet::activeTabChanged);
        set->activate(back);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().value<TBrowserTab*>(), back);
        Fixture::fakeOf(front)->statusText(QStringLiteral("from behind"));
        Fixture::fakeOf(back)->statusText(QStringLiteral("from the front"));
        QCOMPARE(relayed.take(), QStringList{"status from the front"});
    }

    void newTabGoesAfterTheActiveOneOrAtTheEnd()
    {
        Fixture set;
        set->NewTab()->SetStickyName(QStringLiteral("B"));
        set->NewTab()->SetStickyName(QStringLiteral("C"));
        set->tabs().first()->SetStickyName(QStringLiteral("A"));
        set->activate(set->tabs().at(1)); // B
        set->NewTab()->SetStickyName(QStringLiteral("new"));
        QCOMPARE(set.captions(), (QStringList{"A", "B", "new", "C"}));
        QCOMPARE(set->GetActivePage()->Caption(), QStringLiteral("new"));

        set->activate(set->tabs().first());
        set->setOpenNewAtEnd(true);
        set->NewTab()->SetStickyName(QStringLiteral("end"));
        QCOMPARE(set.captions().last(), QStringLiteral("end"));

        // A group's tabs go to the end; a rule changed meanwhile (the options dialog while
        // the group opens) holds once the group is open.
        set->setOpenNewAtEnd(false);
        set->activate(set->tabs().first());
        set->openAtEnd([&] {
            set->setOpenNewAtEnd(false);
            set->NewTab()->SetStickyName(QStringLiteral("group"));
        });
        QCOMPARE(set.captions().last(), QStringLiteral("group"));
        set->activate(set->tabs().first());
        set->NewTab()->SetStickyName(QStringLiteral("after"));
        QCOMPARE(set.captions().at(1), QStringLiteral("after"));
    }

    void backgroundTabKeepsTheActiveTabUnlessForeground()
    {
        Fixture set;
        TBrowserTab* first = set->GetActivePage();
        TBrowserTab* background = set->NewTabBackground(false);
        QCOMPARE(set->GetActivePage(), first);
        QCOMPARE(set.strip.pageIndex(background), 1);

        TBrowserTab* hidden = set->NewTabBackground(true);
        QVERIFY(!set.strip.isTabVisible(hidden));
        QCOMPARE(set->GetActivePage(), first);

        TBrowserTab* inFront = nullptr;
        set->openInFront([&] { inFront = set->NewTabBackground(false); });
        QCOMPARE(set->GetActivePage(), inFront);
        QVERIFY(!set->OpenNewInForeground());
        set->setOpenNewInForeground(true);
        TBrowserTab* front = set->NewTabBackground(false);
        QCOMPARE(set->GetActivePage(), front);
    }

    void theTitleLengthIsPushedToEveryTab()
    {
        Fixture set;
        const QString title(60, QLatin1Char('t'));
        Fixture::fakeOf(set->GetActivePage())->titleChange(title);
        QCOMPARE(set->GetActivePage()->Caption(), title.left(50) + "...");
        set->setLimitTitleLength(20);
        QCOMPARE(set->GetActivePage()->Caption(), title.left(20) + "...");
        TBrowserTab* later = set->NewTab();
        Fixture::fakeOf(later)->titleChange(title);
        QCOMPARE(later->Caption(), title.left(20) + "...");
    }

    void closingKeepsOneShownTab()
    {
        {
            Fixture set;
            const auto tabs = set.withTabs(2);
            set->closePage(tabs.at(0)); // the active first tab
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(set->tabs(), (QList<TBrowserTab*>{tabs.at(1), tabs.at(2)}));
            QCOMPARE(set->GetActivePage(), tabs.at(1));
        }
        {
            Fixture set;
            const auto tabs = set.withTabs(2);
            set->activate(tabs.at(2));
            QSignalSpy changed(&set.tabs, &TabSet::changed);
            set->closePage(tabs.at(2));
            QCOMPARE(set->tabs().size(), 2);
            QCOMPARE(set->GetActivePage(), tabs.at(1));
            QVERIFY(changed.count() > 0);
        }
        {
            // A window not yet classified is a page too; closing the one tab the user sees
            // must still leave a tab to see.
            Fixture set;
            TBrowserTab* shown = set->GetActivePage();
            set->NewTabBackground(true);
            QCOMPARE(set->tabs().size(), 2);
            set->closePage(shown);
            QCOMPARE(set->tabs(), QList<TBrowserTab*>{shown});
            QCOMPARE(shown->Caption(), QStringLiteral("Blank"));
            QCOMPARE(set->GetActivePage(), shown);
        }
        // The sweep takes the hidden tabs only, whatever their place.
        Fixture set;
        TBrowserTab* shown = set->GetActivePage();
        set->NewTabBackground(true);
        TBrowserTab* other = set->NewTabBackground(false);
        set->NewTabBackground(true);
        set->CloseHiddenTabs();
        QCOMPARE(set->tabs(), (QList<TBrowserTab*>{shown, other}));
    }

    void aTabThatWaitedLoadsWhenShown()
    {
        Fixture set;
        TBrowserTab* waiting = set->NewTabBackground(false);
        waiting->Wait(PageA, QStringLiteral("A"));
        QVERIFY(Fixture::fakeOf(waiting)->navigations().filter(PageA).isEmpty());
        set->activate(waiting);
        QCOMPARE(Fixture::lastNavigation(waiting), PageA);
    }

    void tabsMenuListsTheTabsAndActivates()
    {
        QCOMPARE(TabListing::tabsMenuCaption(1, QStringLiteral("A")), QStringLiteral("&1    A"));
        QCOMPARE(TabListing::tabsMenuCaption(10, QStringLiteral("B")), QStringLiteral("10      B"));
        QCOMPARE(TabListing::tabsMenuCaption(2, QStringLiteral("Q&A &&")),
                 QStringLiteral("&2    Q&&A &&&&"));
        Fixture set;
        for (int i = 0; i < 10; ++i)
            set->NewTab();
        set->NewTabBackground(true); // swept before the menu lists the tabs
        QMenu menu;
        set->fillTabsMenu(&menu);
        const auto items = menu.actions();
        QCOMPARE(items.size(), 11);
        QVERIFY(items.at(8)->text().startsWith(QLatin1String("&9    ")));
        QVERIFY(!items.at(9)->text().contains(QLatin1Char('&')));
        TBrowserTab* fifth = set->tabs().at(4);
        set->activate(set->tabs().first());
        set->NewTabBackground(false); // a window let through while the menu is open
        items.at(4)->trigger();
        QCOMPARE(set->GetActivePage(), fifth);
    }

    void describesTabsForTheCommandLine()
    {
        Fixture set;
        set->NewTab()->SetStickyName(QStringLiteral("Sticky"));
        const QJsonArray tabs = set->describeTabs();
        QCOMPARE(tabs.size(), 2);
        const QJsonObject second = tabs.at(1).toObject();
        QCOMPARE(second.value(QStringLiteral("stickyName")).toString(), QStringLiteral("Sticky"));
        QVERIFY(second.value(QStringLiteral("active")).toBool());
        for (const char* field : {"index", "visible", "active", "caption", "hint", "address",
                                  "homeUrl", "stickyName", "locked", "hideFromCloseAll", "busy",
                                  "secure", "stateIcon", "pendingPopup", "popupBlocked"})
            QVERIFY2(second.contains(QLatin1String(field)), field);

        // A tab told to load, before the engine has begun, is listed on its way there.
        const QString address = QStringLiteral("http://127.0.0.1/asked");
        set->GetActivePage()->NavigateTo(address);
        const QJsonObject asked = set->describeTabs().at(1).toObject();
        QCOMPARE(asked.value(QStringLiteral("address")).toString(), address);
        QVERIFY(asked.value(QStringLiteral("busy")).toBool());
    }

    void openAddressReusesAnIdleBlankTab()
    {
        Fixture set;
        set.activeFake()->completeLoad(Blank, {});
        const QString a = QStringLiteral("http://127.0.0.1/a");
        set->OpenAddress(a, true, false);
        QCOMPARE(set->tabs().size(), 1);
        QCOMPARE(set->GetActivePage()->HomeUrl(), a);

        // Loading: a new tab, opened as its home.
        set.activeFake()->startLoad(a);
        const QString b = QStringLiteral("http://127.0.0.1/b");
        set->OpenAddress(b, true, false);
        QCOMPARE(set->tabs().size(), 2);
        QCOMPARE(set->GetActivePage()->HomeUrl(), b);

        // Shift held: the wish is inverted and the active tab navigates, its home kept.
        const QString c = QStringLiteral("http://127.0.0.1/c");
        set->OpenAddress(c, true, true);
        QCOMPARE(set->tabs().size(), 2);
        QCOMPARE(Fixture::lastNavigation(set->GetActivePage()), c);
        QCOMPARE(set->GetActivePage()->HomeUrl(), b);
        set->OpenAddress(QString(), true, false); // nothing
        QCOMPARE(set->tabs().size(), 2);
    }

    void openTarget_data()
    {
        QTest::addColumn<bool>("wish");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<OpenTarget>("target");
        const QString page = QStringLiteral("http://127.0.0.1/");
        addRows<bool, bool, QString, bool, OpenTarget>({
            {"no wish", false, false, page, false, OpenTarget::ActiveTab},
            {"wish", true, false, page, false, OpenTarget::NewTab},
            {"Shift inverts the wish", true, true, page, false, OpenTarget::ActiveTab},
            {"Shift makes one", false, true, page, false, OpenTarget::NewTab},
            {"idle blank tab reused", true, false, Blank, false, OpenTarget::ReuseBlankTab},
            {"loading blank tab is not", true, false, Blank, true, OpenTarget::NewTab},
            {"blank compared exactly", true, false, "About:Blank", false, OpenTarget::NewTab},
        });
    }

    void openTarget()
    {
        QFETCH(bool, wish);
        QFETCH(bool, shift);
        QFETCH(QString, address);
        QFETCH(bool, busy);
        QFETCH(OpenTarget, target);
        QCOMPARE(OpenRules::ChooseOpenTarget(wish, shift, true, address, busy), target);
        QCOMPARE(OpenRules::ChooseOpenTarget(wish, shift, false, address, busy),
                 OpenTarget::NewTab);
    }

    // A size chosen on a site shows every page of that site, in any tab, until the user
    // goes back to the own size; other sites and files are left as they are.
    void eachSiteIsShownAtItsChosenSize()
    {
        Fixture f;
        const QList<TBrowserTab*> tabs = f.withTabs(1);
        FakeWebBackend* first = Fixture::fakeOf(tabs.at(0));
        FakeWebBackend* second = Fixture::fakeOf(tabs.at(1));
        QVERIFY(first->completeLoad(QStringLiteral("http://a.test/one"), {}));
        tabs.at(0)->Browser()->ZoomBy(1);
        tabs.at(0)->Browser()->ZoomBy(1);
        QCOMPARE(first->zoomFactor(), 1.25);

        QVERIFY(second->completeLoad(QStringLiteral("http://A.test/two"), {}));
        QCOMPARE(second->zoomFactor(), 1.25);
        QVERIFY(second->completeLoad(QStringLiteral("http://b.test/"), {}));
        QCOMPARE(second->zoomFactor(), 1.0);
        tabs.at(1)->SetFontSize(0); // the Text Size menu chooses as well
        QVERIFY(second->completeLoad(QStringLiteral("file:///tmp/x.html"), {}));
        QCOMPARE(second->zoomFactor(), 0.75);
        QVERIFY(second->completeLoad(QStringLiteral("http://b.test/again"), {}));
        QCOMPARE(second->zoomFactor(), 0.75);

        // A later visit of the first site, after its size went back to its own.
        tabs.at(0)->Browser()->ZoomBy(0);
        QVERIFY(second->completeLoad(QStringLiteral("http://a.test/three"), {}));
        QCOMPARE(second->zoomFactor(), 1.0);
        QCOMPARE(SiteZoom(f.hive).zoomFor(QStringLiteral("http://b.test/")), 0.75);
    }

};

PELVANE_TEST_MAIN(TestTabSet)
#include "tst_tabset.moc"
