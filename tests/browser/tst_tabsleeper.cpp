// Tabs left unused: which are unloaded (the rule, by table), and the sleeper that applies it
// to a tab set on the fake engine, the listing that tells the states apart, and the way an
// unloaded tab comes back when shown.
#include "browser/TabLifecycle.h"
#include "browser/TabListing.h"
#include "browser/TabSleeper.h"
#include "support/DataRows.h"
#include "support/TabSetFixture.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>

using Facts = TabLifecycle::Facts;
using State = TabLifecycle::State;
Q_DECLARE_METATYPE(TabLifecycle::Facts)

namespace {

constexpr qint64 Minute = 60 * 1000;

// A loaded background tab, idle for `minutes`, changed by `change`.
Facts idleFor(qint64 minutes, const std::function<void(Facts&)>& change = {})
{
    Facts facts;
    facts.idleMs = minutes * Minute;
    if (change)
        change(facts);
    return facts;
}

QString lifecycleOf(TabSet& tabs, int index)
{
    return tabs.describeTabs().at(index).toObject().value(QStringLiteral("lifecycle")).toString();
}

} // namespace

class TestTabSleeper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void idleDiscards_data()
    {
        QTest::addColumn<Facts>("tab");
        QTest::addColumn<int>("unloadAfter"); // minutes
        QTest::addColumn<bool>("discarded");
        using F = Facts&;
        addRows<Facts, int, bool>({
            {"unused longer than the time", idleFor(121), 120, true},
            {"unused exactly the time", idleFor(120), 120, true},
            {"a minute short", idleFor(119), 120, false},
            {"switched off", idleFor(100000), 0, false},
            {"a frozen tab still holds its page", idleFor(500, [](F f) { f.state = State::Frozen; }),
             120, true},
            {"the shown tab never", idleFor(500, [](F f) { f.shown = true; }), 120, false},
            {"locked", idleFor(500, [](F f) { f.locked = true; }), 120, false},
            {"sounding", idleFor(500, [](F f) { f.audible = true; }), 120, false},
            {"typed into", idleFor(500, [](F f) { f.editing = true; }), 120, false},
            {"printing", idleFor(500, [](F f) { f.printing = true; }), 120, false},
            {"already unloaded", idleFor(500, [](F f) { f.state = State::Discarded; }), 120,
             false},
            {"waiting, never loaded", idleFor(500, [](F f) { f.waiting = true; }), 120, false},
            {"still loading", idleFor(500, [](F f) { f.busy = true; }), 120, false},
            {"after a minute", idleFor(1), 1, true},
        });
    }

    void idleDiscards()
    {
        QFETCH(Facts, tab);
        QFETCH(int, unloadAfter);
        QFETCH(bool, discarded);
        const Facts shown = idleFor(1000, [](Facts& f) { f.shown = true; });
        // Among others, at its own place.
        const QList<Facts> tabs{shown, tab, idleFor(0)};
        QCOMPARE(TabLifecycle::idleDiscards(tabs, unloadAfter * Minute),
                 discarded ? QList<qsizetype>{1} : QList<qsizetype>{});

        // The whole decision gives it the same state; what is not unloaded keeps what the
        // other rules give (freezing off here).
        TabLifecycle::Policy policy{0, false, unloadAfter * Minute};
        const QList<State> states = TabLifecycle::decide(tabs, policy);
        QCOMPARE(states.at(0), State::Active);
        QCOMPARE(states.at(1) == State::Discarded, discarded || tab.state == State::Discarded);
        QCOMPARE(states.at(2), State::Active);
    }

    void unloadingFreezingAndMemoryPressureTogether()
    {
        // Freeze after 30 minutes, unload after 120: each tab by its idle time.
        const QList<Facts> tabs{idleFor(0, [](Facts& f) { f.shown = true; }), idleFor(10),
                                idleFor(40), idleFor(200), idleFor(300),
                                idleFor(300, [](Facts& f) { f.locked = true; })};
        QCOMPARE(TabLifecycle::decide(tabs, {30 * Minute, false, 120 * Minute}),
                 (QList<State>{State::Active, State::Active, State::Frozen, State::Discarded,
                               State::Discarded, State::Frozen}));
        // Short of memory as well: half of the two tabs still holding a discardable page
        // goes, the least recently used (40 minutes).
        QCOMPARE(TabLifecycle::decide(tabs, {30 * Minute, true, 120 * Minute}),
                 (QList<State>{State::Active, State::Active, State::Discarded, State::Discarded,
                               State::Discarded, State::Frozen}));
    }

    // The sleeper on a tab set of the fake engine, its clock stepped by hand.
    void unusedTabsAreUnloadedAndComeBackWhenShown()
    {
        TabSetFixture set;
        const QList<TBrowserTab*> tabs = set.withTabs(5);
        set->setOpenNewAtEnd(true);
        for (int i = 0; i < tabs.size(); ++i)
            TabSetFixture::fakeOf(tabs.at(i))
                ->completeLoad(QStringLiteral("http://127.0.0.1/p%1").arg(i),
                               QStringLiteral("Page %1").arg(i));
        // Tab 1 has a history, a zoom of its own and is scrolled down.
        FakeWebBackend* idle = TabSetFixture::fakeOf(tabs.at(1));
        idle->completeLoad(QStringLiteral("http://127.0.0.1/p1b"), QStringLiteral("Page 1b"));
        idle->commandState(2, true); // back is possible
        tabs.at(1)->Browser()->ZoomBy(1);
        const qreal zoom = idle->zoomFactor();
        QVERIFY(zoom > 1.0);
        idle->setScrollValue(QPointF(0, 900));
        tabs.at(2)->SetLocked(true);
        tabs.at(3)->NoteUserInput(true);
        TabSetFixture::fakeOf(tabs.at(4))->setAudible(true);
        TabSetFixture::fakeOf(tabs.at(5))->setPrinting(true);
        auto* waiting = set->NewTabBackground(false);
        waiting->Wait(QStringLiteral("http://127.0.0.1/later"), QStringLiteral("Later"));

        qint64 now = QDeadlineTimer::current().deadline();
        TabSleeper sleeper({[&set] { return set->tabs(); },
                            [&set]() -> const TBrowserTab* { return set->GetActivePage(); },
                            [] { return false; },
                            [&now] { return now; }});
        QCOMPARE(sleeper.unloadAfterMinutes(), 120);
        sleeper.setFreezeAfterMinutes(30);
        sleeper.setUnloadAfterMinutes(120);
        const auto lifecycles = [&set] {
            QStringList result;
            for (int i = 0; i < set->tabs().size(); ++i)
                result << lifecycleOf(set.tabs, i);
            return result;
        };

        now += 119 * Minute;
        sleeper.check();
        QCOMPARE(lifecycles(), (QStringList{"active", "frozen", "frozen", "frozen", "active",
                                            "active", "waiting"}));
        now += Minute;
        sleeper.check();
        QCOMPARE(lifecycles(), (QStringList{"active", "unloaded", "frozen", "frozen", "active",
                                            "active", "waiting"}));
        // The listing keeps its fields; exactly one state holds.
        const QJsonObject listed = set->describeTabs().at(1).toObject();
        QVERIFY(listed.value(QStringLiteral("unloaded")).toBool());
        QVERIFY(!listed.value(QStringLiteral("frozen")).toBool());
        QVERIFY(!listed.value(QStringLiteral("waiting")).toBool());
        QCOMPARE(listed.value(QStringLiteral("address")).toString(),
                 QStringLiteral("http://127.0.0.1/p1b"));
        QVERIFY(set->describeTabs().at(2).toObject().value(QStringLiteral("frozen")).toBool());
        QVERIFY(set->describeTabs().at(6).toObject().value(QStringLiteral("waiting")).toBool());
        // Unloaded, the tab still offers what it showed: caption, address, back, scroll.
        QVERIFY(!idle->view());
        QCOMPARE(tabs.at(1)->Caption(), QStringLiteral("Page 1b"));
        QVERIFY(tabs.at(1)->CanGoBack());
        QCOMPARE(tabs.at(1)->ScrollPosition(), QPointF(0, 900));
        // The shown tab is never unloaded, however long the window stays as it is.
        now += 24 * 60 * Minute;
        sleeper.check();
        QCOMPARE(lifecycles().first(), QStringLiteral("active"));

        // Shown, it comes back: a view of its own again, the page of its history's place
        // loading, the zoom and the back button as they were.
        idle->clearCalls();
        set->activate(tabs.at(1));
        QCOMPARE(lifecycleOf(set.tabs, 1), QStringLiteral("active"));
        QVERIFY(idle->view());
        QCOMPARE(tabs.at(1)->Browser()->focusProxy(), idle->view());
        QVERIFY(tabs.at(1)->Busy());
        idle->finishLoad(QStringLiteral("http://127.0.0.1/p1b"), QStringLiteral("Page 1b"));
        QVERIFY(!tabs.at(1)->Busy());
        QCOMPARE(tabs.at(1)->GetAddress(), QStringLiteral("http://127.0.0.1/p1b"));
        QCOMPARE(tabs.at(1)->Caption(), QStringLiteral("Page 1b"));
        QVERIFY(tabs.at(1)->CanGoBack());
        QCOMPARE(idle->zoomFactor(), zoom);
        QVERIFY(idle->navigations().isEmpty()); // no new load: the engine's own reload

        // Switched off, nothing more is unloaded; the tab shown before may now sleep.
        sleeper.setUnloadAfterMinutes(0);
        now += 24 * 60 * Minute;
        sleeper.check();
        QCOMPARE(lifecycleOf(set.tabs, 0), QStringLiteral("frozen"));
    }
};

QTEST_MAIN(TestTabSleeper)
#include "tst_tabsleeper.moc"
