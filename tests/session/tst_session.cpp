// The session kept against crashes: its file, the rule after an abnormal end, the delayed
// writer, and the window's tabs that wait until they are shown.
#include "browser/TabLifecycle.h"
#include "platform/InstanceLock.h"
#include "platform/MemoryPressure.h"
#include "session/SessionFile.h"
#include "session/SessionKeeper.h"
#include "session/SessionRecovery.h"
#include "support/HiveFiles.h"
#include "support/MainWindowFixture.h"
#include "support/TestHome.h"

#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QtTest>

using Decision = SessionRecovery::Decision;

namespace {

SessionState twoTabs()
{
    SessionState state;
    state.tabs << SessionTab{QStringLiteral("http://127.0.0.1/a"),
                             QStringLiteral("A"),
                             {},
                             {},
                             false,
                             false,
                             {}}
               << SessionTab{QStringLiteral("http://127.0.0.1/b"),
                             QStringLiteral("B"),
                             QStringLiteral("http://127.0.0.1/b"),
                             QStringLiteral("Mine"),
                             true,
                             true,
                             QPointF(0, 240)};
    state.active = 1;
    return state;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    QVERIFY(file.commit());
}

// A session left by a run that ended abnormally, with its marker.
void leftBehind(const QString& path, const SessionState& state, const RunMarker& marker)
{
    QCOMPARE(SessionFile::write(path, state), QString());
    writeFile(path + QStringLiteral(".running"), marker.toJson());
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recoveryRule_data()
    {
        QTest::addColumn<bool>("markerFound");
        QTest::addColumn<int>("marker"); // 0 unreadable, 1 plain, 2 restored, 3 restored+settled
        QTest::addColumn<int>("savedTabs");
        QTest::addColumn<Decision>("expected");
        QTest::newRow("clean exit") << false << 1 << 4 << Decision::StartNormally;
        QTest::newRow("crash, nothing saved") << true << 1 << 0 << Decision::StartNormally;
        QTest::newRow("crash") << true << 1 << 4 << Decision::Restore;
        QTest::newRow("damaged marker") << true << 0 << 4 << Decision::Restore;
        QTest::newRow("restored run crashed at once") << true << 2 << 4 << Decision::Ask;
        QTest::newRow("restored run lived on") << true << 3 << 4 << Decision::Restore;
    }
    void recoveryRule()
    {
        QFETCH(bool, markerFound);
        QFETCH(int, marker);
        QFETCH(int, savedTabs);
        QFETCH(Decision, expected);
        std::optional<RunMarker> contents;
        if (marker > 0)
            contents = RunMarker{1000, marker >= 2, marker == 3};
        // The marker survives its file.
        if (contents)
            QCOMPARE(RunMarker::fromJson(contents->toJson()), contents);
        QCOMPARE(SessionRecovery::decide(markerFound, contents, savedTabs), expected);
    }

    void fileKeepsTheTabsAndRefusesWhatIsNotASession()
    {
        TestHome home;
        const QString path = home.file(QStringLiteral("session.json"));
        QVERIFY(SessionFile::read(path).error.isEmpty()); // none yet: no complaint
        QVERIFY(!SessionFile::read(path).state);
        QCOMPARE(SessionFile::write(path, twoTabs()), QString());
        QCOMPARE(SessionFile::read(path).state, twoTabs());

        const QList<QByteArray> damaged = {
            "{\"format\":1,\"tabs\":[{\"addr", // cut off by a crash of another writer
            "[1,2,3]",
            "{\"format\":99,\"tabs\":[]}",
            QByteArray(SessionFile::MaxBytes + 1, ' '),
        };
        for (const QByteArray& bytes : damaged) {
            writeFile(path, bytes);
            const SessionFile::ReadResult read = SessionFile::read(path);
            QVERIFY(!read.state);
            QVERIFY2(read.error.contains(path), qPrintable(read.error));
        }
        // Tabs without an address are left out; the active one keeps its place.
        QString error;
        const auto state = SessionState::fromJson(
            "{\"format\":1,\"active\":2,\"tabs\":[{\"title\":\"x\"},{\"address\":\"a\"},"
            "{\"address\":\"b\",\"locked\":\"yes\"}]}",
            &error);
        QVERIFY(state);
        QCOMPARE(state->tabs.size(), 2);
        QCOMPARE(state->active, 1);
        QVERIFY(!state->tabs.at(1).locked);
    }

    void keeperWritesAfterAChangeOnlyWhenTheTabsDiffer()
    {
        TestHome home;
        const QString path = home.file(QStringLiteral("session.json"));
        SessionState now = twoTabs();
        SessionKeeper keeper(path, [&now] { return now; });
        keeper.setDelay(200);
        QCOMPARE(keeper.inspect().decision, Decision::StartNormally);
        keeper.begin(false);
        QVERIFY(QFile::exists(keeper.markerFile()));
        QVERIFY(!QFile::exists(path)); // not at the change, a moment after
        QTRY_COMPARE(keeper.writes(), 1);
        QCOMPARE(SessionFile::read(path).state, now);

        // Changes that leave the session as it was (progress, icons) write nothing.
        keeper.noteChanged();
        keeper.flush();
        QCOMPARE(keeper.writes(), 1);
        // A burst of changes is one write.
        for (int i = 0; i < 20; ++i) {
            now.tabs[0].title = QStringLiteral("Title %1").arg(i);
            keeper.noteChanged();
        }
        QTRY_COMPARE(keeper.writes(), 2);
        QCOMPARE(SessionFile::read(path).state->tabs.at(0).title, QStringLiteral("Title 19"));

        // Killed now, the next start brings the tabs back; a clean exit leaves nothing.
        SessionKeeper next(path, [] { return SessionState(); });
        QCOMPARE(next.inspect().decision, Decision::Restore);
        QCOMPARE(next.inspect().saved, now);
        keeper.endCleanly();
        QCOMPARE(next.inspect().decision, Decision::StartNormally);
        QVERIFY(!QFile::exists(path));
    }

    void keeperSaysOnceWhenItCannotWrite()
    {
        TestHome home;
        SessionKeeper keeper(home.file(QStringLiteral("no-folder/session.json")),
                             [] { return twoTabs(); });
        QSignalSpy failed(&keeper, &SessionKeeper::writeFailed);
        keeper.begin(false);
        keeper.flush();
        keeper.noteChanged();
        keeper.flush();
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed.first().first().toString().contains(QStringLiteral("no-folder")));
    }

    void sleepRules()
    {
        using State = TabLifecycle::State;
        constexpr qint64 Hour = 3600 * 1000;
        TabLifecycle::Facts idle;
        idle.idleMs = Hour;
        auto with = [idle](auto change) {
            TabLifecycle::Facts facts = idle;
            change(facts);
            return facts;
        };
        const QList<TabLifecycle::Facts> tabs = {
            with([](auto& f) { f.shown = true; }),       idle,
            with([](auto& f) { f.idleMs = 60 * 1000; }), with([](auto& f) { f.locked = true; }),
            with([](auto& f) { f.audible = true; }),     with([](auto& f) { f.editing = true; }),
            with([](auto& f) { f.waiting = true; }),     with([](auto& f) { f.busy = true; }),
            with([](auto& f) { f.idleMs = 2 * Hour; }),
        };
        // Idle for the delay: frozen, except the shown, the playing, the unloaded and the
        // loading tab.
        QCOMPARE(
            TabLifecycle::decide(tabs, {30 * 60 * 1000, false}),
            (QList<State>{State::Active, State::Frozen, State::Active, State::Frozen, State::Active,
                          State::Frozen, State::Active, State::Active, State::Frozen}));
        // Freezing off, memory short: the least recently used half of those that may go
        // are discarded; locked, playing and edited tabs never are.
        QCOMPARE(
            TabLifecycle::decide(tabs, {0, true}),
            (QList<State>{State::Active, State::Active, State::Active, State::Active, State::Active,
                          State::Active, State::Active, State::Active, State::Discarded}));
        // A tab shown again is active, whatever it was.
        QCOMPARE(TabLifecycle::decide({with([](auto& f) {
                                          f.shown = true;
                                          f.state = State::Discarded;
                                      })},
                                      {}),
                 QList<State>{State::Active});

        QVERIFY(MemoryPressure::isLow("MemTotal: 8000000 kB\nMemAvailable: 700000 kB\n"));
        QVERIFY(!MemoryPressure::isLow("MemTotal: 8000000 kB\nMemAvailable: 3000000 kB\n"));
        QVERIFY(!MemoryPressure::isLow("MemTotal: 8000000 kB\n")); // no figure: no pressure
    }

    // A window started after an abnormal end, on the fake engine.
    void restoredTabsWaitUntilShown()
    {
        TestHome home;
        const QString path = home.file(QStringLiteral("session.json"));
        leftBehind(path, twoTabs(), {1, false, false});

        MainWindowFixture window({.sessionFile = path});
        const auto tabs = window->tabs();
        QCOMPARE(tabs.size(), 2);
        QVERIFY(window.questions.asked.isEmpty()); // brought back without a question
        // Said in a slim bar above the tabs, which keep the height.
        auto* bar = window->findChild<QWidget*>(QStringLiteral("restoredBar"));
        QVERIFY(bar);
        window->resize(900, 700);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.window.get()));
        QCOMPARE(bar->height(), bar->sizeHint().height());
        QVERIFY(window->pages()->height() > 700 / 2);
        if (qEnvironmentVariableIsSet("PELVANE_SCREENSHOTS"))
            window->grab().save(qEnvironmentVariable("PELVANE_SCREENSHOTS") + "/restored.png");
        // The active one loads at once; the other shows its address and caption only.
        QCOMPARE(window->GetActivePage(), tabs.at(1));
        QCOMPARE(MainWindowFixture::fakeOf(tabs.at(1))->navigations(),
                 QStringList{QStringLiteral("http://127.0.0.1/b")});
        QCOMPARE(tabs.at(1)->Caption(), QStringLiteral("Mine"));
        QVERIFY(tabs.at(1)->Locked() && tabs.at(1)->HideFromCloseAll());
        QVERIFY(tabs.at(0)->Waiting());
        QCOMPARE(tabs.at(0)->Caption(), QStringLiteral("A"));
        QCOMPARE(tabs.at(0)->GetAddress(), QStringLiteral("http://127.0.0.1/a"));
        window->rebuildTabsMenu();
        QCOMPARE(window->menu(MenuId::Tabs)->actions().at(0)->text(), QStringLiteral("&1    A"));
        QCoreApplication::processEvents(); // no blank page comes after all
        QVERIFY(MainWindowFixture::fakeOf(tabs.at(0))->navigations().isEmpty());

        // The locked tab loads its own page although it is locked, scrolled where it was.
        window.load(1, QStringLiteral("http://127.0.0.1/b"));
        QCOMPARE(window->tabs().size(), 2);
        const auto scripts =
            MainWindowFixture::fakeOf(tabs.at(1))->calls(QStringLiteral("runJavaScript"));
        QCOMPARE(scripts.size(), 1);
        QCOMPARE(scripts.first().args.at(1).toList(), (QVariantList{0.0, 240.0}));
        window->pages()->setActivePage(tabs.at(0));
        QCOMPARE(MainWindowFixture::fakeOf(tabs.at(0))->navigations(),
                 QStringList{QStringLiteral("http://127.0.0.1/a")});
        QVERIFY(!tabs.at(0)->Waiting());
        QCOMPARE(tabs.at(0)->Caption(), QStringLiteral("A"));

        // The session is what the window shows; a clean exit leaves no session behind.
        QCOMPARE(window->sessionNow().tabs.size(), 2);
        window.window.reset();
        QVERIFY(!QFile::exists(path));
        QVERIFY(!QFile::exists(path + QStringLiteral(".running")));
    }

    // The settings refuse the open sites at exit (a full disk): the session keeps the tabs.
    void anExitThatCannotKeepTheOpenSitesKeepsTheSession()
    {
        TestHome home;
        const QString path = home.file(QStringLiteral("session.json"));
        MainWindowFixture window({.sessionFile = path});
        window.load(0, QStringLiteral("http://127.0.0.1/kept"));
        QVERIFY(HiveFiles::refuseValues(window.hive.path(), QStringLiteral("url%")));
        window.window.reset();
        const SessionKeeper::Previous left = SessionKeeper::inspect(path);
        QVERIFY(left.decision != Decision::StartNormally);
        QCOMPARE(left.saved.tabs.value(0).address, QStringLiteral("http://127.0.0.1/kept"));
    }

    // An argument given at a start that restores is checked as at any start.
    void aScriptArgumentIsRefusedWhenRestoring()
    {
        TestHome home;
        const QString path = home.file(QStringLiteral("session.json"));
        leftBehind(path, twoTabs(), {1, false, false});
        MainWindowFixture window(
            {.argument = QStringLiteral("javascript:alert(1)"), .sessionFile = path});
        QCOMPARE(window->tabs().size(), 2);
    }

    // Sessions of other slots, taken over at start: each by its own rule; kept (and their
    // slot held) until this run's own session has the tabs.
    void sessionsLeftInOtherSlotsComeBackToo()
    {
        TestHome home;
        const QString second = home.file(QStringLiteral("session-2.json"));
        const QString third = home.file(QStringLiteral("session-3.json"));
        leftBehind(second, twoTabs(), {1, false, true});
        leftBehind(third, twoTabs(), {1, true, false}); // restored, crashed at once: declined
        const QString slotLock = home.file(QStringLiteral("slot-2.lock"));
        auto hold = std::make_shared<InstanceLock>(slotLock);
        QVERIFY(hold->tryAcquire());
        MainWindowFixture window(
            {.sessionFile = home.file(QStringLiteral("session.json")),
             .leftSessions = {{second, std::exchange(hold, {})}, {third, {}}},
             .answers = [](ScriptedWindowQuestions& q) { q.restoreAnswer = false; }});
        QCOMPARE(window.questions.asked, QStringList{QStringLiteral("restoreAfterCrash 2")});
        QCOMPARE(window.captions(), (QStringList{QStringLiteral("A"), QStringLiteral("Mine")}));
        // Killed now, the next start would ask about them, as after a crash at once.
        QCOMPARE(SessionKeeper::inspect(second).decision, Decision::Ask);
        QVERIFY(!InstanceLock(slotLock).tryAcquire());
        window->session()->flush();
        QVERIFY(!QFile::exists(second) && !QFile::exists(third));
        QVERIFY(InstanceLock(slotLock).tryAcquire());
    }

    void repeatedCrashAsksAndStartFreshCloses()
    {
        TestHome home;
        const QString path = home.file(QStringLiteral("session.json"));
        leftBehind(path, twoTabs(), {1, true, false});
        {
            MainWindowFixture window({.sessionFile = path});
            QCOMPARE(window.questions.asked, QStringList{QStringLiteral("restoreAfterCrash 2")});
            QCOMPARE(window->tabs().size(), 2);
        }
        // That window exited cleanly; crashed at once again, and the answer is No.
        leftBehind(path, twoTabs(), {1, true, false});
        MainWindowFixture window({.sessionFile = path, .answers = [](ScriptedWindowQuestions& q) {
                                      q.restoreAnswer = false;
                                  }});
        QCOMPARE(window.questions.asked, QStringList{QStringLiteral("restoreAfterCrash 2")});
        QCOMPARE(window->tabs().size(), 1);
        QVERIFY(!window->tabs().first()->Waiting());

        // A session damaged on disk: the start pages, and the user is told.
        window.window.reset();
        writeFile(path, "{\"format\":1,\"tabs\":[{\"addr");
        writeFile(path + QStringLiteral(".running"), RunMarker{1, false, true}.toJson());
        {
            MainWindowFixture damaged({.sessionFile = path});
            QCOMPARE(damaged->tabs().size(), 1);
            QTRY_COMPARE(damaged.questions.told.size(), 1);
            QVERIFY(damaged.questions.told.first().contains(path));
        }

        // Restored, then "Start fresh instead": the tabs go, the start page opens.
        window.window.reset();
        leftBehind(path, twoTabs(), {1, false, true});
        MainWindowFixture again({.sessionFile = path});
        QCOMPARE(again->tabs().size(), 2);
        auto* fresh = again->findChild<QPushButton*>(QStringLiteral("startFresh"));
        QVERIFY(fresh);
        fresh->click();
        QCOMPARE(again->tabs().size(), 1);
        QVERIFY(!again->tabs().first()->Locked());
        QCOMPARE(MainWindowFixture::lastNavigation(again->tabs().first()),
                 again->tabs().first()->Browser()->startPage());

        // Only the tabs brought back go: the address given at this start and a tab opened
        // since stay, and no start page opens beside them.
        again.window.reset();
        leftBehind(path, twoTabs(), {1, false, true});
        MainWindowFixture given(
            {.argument = QStringLiteral("http://127.0.0.1/c"), .sessionFile = path});
        QCOMPARE(given->tabs().size(), 3);
        given->NewTab()->OpenAsHome(QStringLiteral("http://127.0.0.1/d"));
        // Its access key reaches the button, not a menu of the menu band.
        given.show();
        given->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(given.get()));
        QTest::keyClick(given.get(), Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(!given->findChild<QWidget*>(QStringLiteral("restoredBar")));
        QCOMPARE(given.opened(), (QStringList{QStringLiteral("http://127.0.0.1/c"),
                                              QStringLiteral("http://127.0.0.1/d")}));

        // The start's address closed as well before Start fresh: the start page opens, not
        // that address again.
        given.window.reset();
        leftBehind(path, twoTabs(), {1, false, true});
        MainWindowFixture closed(
            {.argument = QStringLiteral("http://127.0.0.1/c"), .sessionFile = path});
        for (TBrowserTab* tab : closed->tabs()) {
            if (MainWindowFixture::lastNavigation(tab) == QStringLiteral("http://127.0.0.1/c"))
                tab->CloseTab();
        }
        QCOMPARE(closed->tabs().size(), 2);
        closed->findChild<QPushButton*>(QStringLiteral("startFresh"))->click();
        QCOMPARE(closed->tabs().size(), 1);
        QCOMPARE(MainWindowFixture::lastNavigation(closed->tabs().first()),
                 closed->tabs().first()->Browser()->startPage());

        // A restored page's window still waiting hidden goes with it: it is no tab to keep,
        // and the sweep would leave the window without any.
        closed.window.reset();
        leftBehind(path, twoTabs(), {1, false, true});
        MainWindowFixture waiting({.sessionFile = path});
        QVERIFY(!waiting->NewTabBackground(true)->TabVisible());
        waiting->findChild<QPushButton*>(QStringLiteral("startFresh"))->click();
        QCOMPARE(waiting->tabs().size(), 1);
        QVERIFY(waiting->tabs().first()->TabVisible());
        QCOMPARE(MainWindowFixture::lastNavigation(waiting->tabs().first()),
                 waiting->tabs().first()->Browser()->startPage());
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
