#include "address/AddressBand.h"
#include "address/PVComboBox.h"
#include "session/HandOff.h"
#include "app/FirstPaint.h"
#include "app/StartArguments.h"
#include "bars/MainToolbar.h"
#include "browser/BrowserTab.h"
#include "browser/TabListing.h"
#include "browser/strip/PVPageControl.h"
#include "groups/SorvelGroup.h"
#include "groups/SorvelGroupCommands.h"
#include "platform/MessageBus.h"
#include "platform/web/WebBrowser.h"
#include "support/ActiveWindow.h"
#include "support/MainWindowFixture.h"
#include "support/Pictures.h"
#include "support/ScriptedGroupQuestions.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>
#include <future>
#include <tuple>

namespace {

using Fixture = MainWindowFixture;

QString writeGroup(const QString& name, const QByteArray& text)
{
    return TestFiles::writeFile(TestFiles::home(name), text);
}

// The first paint of any widget of `window`, and what `probe` said at that moment.
class FirstPaintSeen final : public QObject
{
public:
    FirstPaintSeen(const QWidget& window, std::function<qsizetype()> probe)
        : m_window(window)
        , m_probe(std::move(probe))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    bool painted() const { return m_atPaint >= 0; }
    qsizetype atPaint() const { return m_atPaint; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !painted()) {
            const auto* widget = qobject_cast<const QWidget*>(watched);
            if (widget && widget->window() == &m_window)
                m_atPaint = m_probe();
        }
        return false;
    }

private:
    const QWidget& m_window;
    std::function<qsizetype()> m_probe;
    qsizetype m_atPaint = -1;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aTabThatGoesWhileItsGroupIsChosenIsStillAdded()
    {
        // A hand-off that replaces the tabs arrives while the user picks the group.
        const QString group = writeGroup(QStringLiteral("target.sgp"),
                                         "[SorvelGroup]\r\nblank1=http://127.0.0.1/g\r\n");
        const QString other = writeGroup(QStringLiteral("other.sgp"),
                                         "[SorvelGroup]\r\nblank1=http://127.0.0.1/o\r\n");
        Fixture w({.before = [](TPVOptions& o) { o.SetSGCloseFirst(true); }});
        ScriptedGroupQuestions questions;
        w->groupCommands()->setQuestions(&questions);
        TBrowserTab* tab = w->NewTab();
        tab->SetStickyName(QStringLiteral("Going"));
        questions.existing = group;
        questions.whileAsking = [&] { w->acceptHandOff({QString(), other}); };
        w->AddTabToGroup(tab);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QFile file(group);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("Going="));
    }

    void exitWritesLastOpenSitesFromTheLastTab()
    {
        Fixture w;
        w->NewTab();
        w->NewTab();
        w.load(0, QStringLiteral("http://127.0.0.1/one"));
        w.load(2, QStringLiteral("http://127.0.0.1/three"));
        w.fakeOf(w->tabs().at(1))->setLocationUrl(QString());
        w.window.reset();
        TRegistry reg(w.hive);
        QVERIFY(reg.openKey(
            QStringLiteral("\\Software\\Brenmoor\\Pelvane\\CurrentVersion\\Last Open Sites"),
            false));
        QCOMPARE(reg.valueNames(), (QStringList{"url3", "url1"}));
        QCOMPARE(reg.readString(QStringLiteral("url1")), QStringLiteral("http://127.0.0.1/one"));
    }

    void exitAsksWhileDownloadsRunThenEndsTheProgramAndTakesNoHandOff()
    {
        QTemporaryDir folder;
        MessageBus bus(folder.path());
        QVERIFY(bus.listen());
        Fixture w({.bus = &bus});
        QSignalSpy exited(w.get(), &TfrmMain::exited);
        // What a second copy is told; it waits for its answer, so it runs on a thread.
        const auto handOff = [&] {
            auto answer = std::async(std::launch::async, [&folder, &w] {
                const MessageBus sender(folder.path());
                return HandOff::deliver(sender, w.hive, QStringLiteral("http://127.0.0.1/x"), 0);
            });
            // The sender gives up after its own timeout, so this loop ends.
            while (answer.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            return answer.get();
        };

        w.engine.running = 2;
        w.questions.exitAnswer = false;
        QVERIFY(!w->close());
        QCOMPARE(w.questions.asked, QStringList{"exitWithDownloads 2"});
        QCOMPARE(exited.count(), 0);
        QVERIFY(handOff() == HandOff::Delivery::Taken);

        w.questions.exitAnswer = true;
        QVERIFY(w->close());
        QCOMPARE(exited.count(), 1);
        QVERIFY(handOff() == HandOff::Delivery::Exiting);
    }

    void exitNowAsksNothingAndLeavesFromTheTray()
    {
        Fixture w;
        QSignalSpy exited(w.get(), &TfrmMain::exited);
        w.engine.running = 1;
        QVERIFY(w->isHidden()); // as in the tray
        w->ExitNow();
        QCOMPARE(exited.count(), 1);
        QVERIFY(w.questions.asked.isEmpty());
    }

    void startModes()
    {
        // Home: the first tab goes to the start page.
        {
            Fixture w;
            QCOMPARE(w->tabs().size(), 1);
            QCOMPARE(w.opened().first(), w->GetActivePage()->Browser()->startPage());
        }
        // Last: the saved tabs come back in their order, the first in the first tab.
        const auto last = [](const QStringList& sites) {
            return [sites](TPVOptions& options) {
                options.SetStartupMode(QStringLiteral("Last"));
                options.SetLastOpenSites(sites);
            };
        };
        {
            Fixture w({.before = last({"url3=http://127.0.0.1/c", "url2=http://127.0.0.1/b",
                                       "url1=http://127.0.0.1/a"})});
            // Only the first loads; the others show their address and wait to be shown.
            QCOMPARE(w.opened(), (QStringList{"http://127.0.0.1/a", "", ""}));
            QCOMPARE(w->tabs().at(2)->GetAddress(), QStringLiteral("http://127.0.0.1/c"));
            QCOMPARE(w->tabs().at(2)->Caption(), QStringLiteral("http://127.0.0.1/c"));
            QVERIFY(w->tabs().first()->StartupMark());
            QCOMPARE(w->pages()->activePageIndex(), 0);
            w->pages()->setActivePage(w->tabs().at(2));
            QCOMPARE(w.opened().at(2), QStringLiteral("http://127.0.0.1/c"));
        }
        // Last and an argument: the argument first, the saved tabs behind it, first active.
        {
            Fixture w({.argument = QStringLiteral("http://127.0.0.1/arg"),
                       .before = last({"url2=http://127.0.0.1/b", "url1=http://127.0.0.1/a"})});
            QCOMPARE(w.opened(), (QStringList{"http://127.0.0.1/arg", "", ""}));
            QCOMPARE(w->tabs().at(1)->GetAddress(), QStringLiteral("http://127.0.0.1/a"));
            QCOMPARE(w->pages()->activePageIndex(), 0);
        }
        // Last with nothing saved: a blank tab.
        {
            Fixture w({.before = last({})});
            QCOMPARE(w.opened(), QStringList{"about:blank"});
        }
        // Any other mode opens the start-up group; a missing one leaves one blank tab.
        {
            Fixture w({.before = [](TPVOptions& options) {
                options.SetStartupMode(QStringLiteral("xyz"));
                options.SetStartupSorvelGroup(QStringLiteral("/nonexistent/group.sgp"));
            }});
            QCOMPARE(w->tabs().size(), 1);
        }
        // A group file as argument replaces the first tab; the mode is not consulted.
        const QString group = writeGroup(
            QStringLiteral("start.SGP"),
            "[SorvelGroup]\r\nblank1=http://127.0.0.1/g1\r\nblank2=http://127.0.0.1/g2\r\n");
        {
            Fixture w({.argument = group});
            QCOMPARE(w.opened(), (QStringList{"http://127.0.0.1/g1", "http://127.0.0.1/g2"}));
        }
    }

    void startArguments()
    {
        using K = StartArguments::Kind; // rows: given, kind, argument (or problem), picture, private
        const std::tuple<QStringList, K, QString, QString, bool> rows[] = {
            {{"http://127.0.0.1/a", "ignored"}, K::Start, "http://127.0.0.1/a", {}, false},
            {{"--screenshot", "s.png", "x.sgp"}, K::Start, "x.sgp", "s.png", false},
            {{"--screenshot", "s.png", "--help"}, K::Help, {}, "s.png", false},
            {{"--reg-exprot", "x"}, K::Refused, "unknown option --reg-exprot", {}, false},
            {{"--screenshot"},
             K::Refused,
             "--screenshot needs the file to write the picture to",
             {},
             false},
            {{"--", "--odd.html"}, K::Start, "--odd.html", {}, false},
            {{"--private"}, K::Start, {}, {}, true},
            {{"--private", "http://127.0.0.1/p"}, K::Start, "http://127.0.0.1/p", {}, true},
            {{"--private", "--", "--odd.html"}, K::Start, "--odd.html", {}, true},
            {{"--screenshot", "s.png", "--private", "x"}, K::Start, "x", "s.png", true},
            // Only in its place: after the address it is the ignored second argument, and
            // before --screenshot it leaves --screenshot an unknown option.
            {{"http://127.0.0.1/a", "--private"}, K::Start, "http://127.0.0.1/a", {}, false},
            {{"--private", "--screenshot", "s.png"}, K::Refused, "unknown option --screenshot", {}, false},
            {{"--private", "--private"}, K::Refused, "unknown option --private", {}, false},
        };
        for (const auto& [given, kind, text, picture, privateWindow] : rows) {
            const auto start = StartArguments::parse(QStringList{"pelvane"} + given);
            QVERIFY2(start.kind == kind, qPrintable(given.join(' ')));
            QCOMPARE(kind == K::Refused ? start.problem : start.argument, text);
            QCOMPARE(start.screenshotFile, picture);
            QCOMPARE(start.privateWindow, privateWindow);
        }
    }

    // A private window says so in its title and above its tabs, opens its home page rather
    // than the user's last sites, and Ctrl+Shift+P in a page opens another one.
    void theFirstPagesWaitForTheWindowsFirstPicture()
    {
        Fixture w({.opensPagesWhenPainted = true});
        FakeWebBackend* first = w.activeFake();
        QVERIFY(first->navigations().isEmpty()); // nothing asked while the window is made
        // ...but the page is set up, so that the window is made with the surface it needs.
        QCOMPARE(first->count(QStringLiteral("prepareDrawing")), 1);
        const FirstPaintSeen seen(*w.get(), [first] { return first->navigations().size(); });
        QSignalSpy opened(w.get(), &TfrmMain::firstPagesOpened);
        w.show();
        QVERIFY(opened.wait());
        QVERIFY(seen.painted());
        QCOMPARE(seen.atPaint(), 0); // not even the blank page a new tab loads
        QCOMPARE(first->navigations().size(), 1);
        QVERIFY(first->navigations().constFirst() != QLatin1String("about:blank"));

        // A window the desktop does not draw still opens its pages.
        Fixture undrawn({.opensPagesWhenPainted = true});
        undrawn->setAttribute(Qt::WA_DontShowOnScreen);
        QSignalSpy undrawnOpened(undrawn.get(), &TfrmMain::firstPagesOpened);
        undrawn->show();
        QVERIFY(undrawnOpened.wait(FirstPaint::LongestWaitMs * 5));
        QCOMPARE(undrawn.activeFake()->navigations(), first->navigations());

        // Told to leave before its pages opened, the window keeps the last sites stored.
        const QStringList last = TPVOptions::BuildLastOpenSites({"http://127.0.0.1/kept"});
        Fixture leaving({.before = [&last](TPVOptions& o) { o.SetLastOpenSites(last); },
                         .opensPagesWhenPainted = true});
        leaving->ExitNow();
        QCOMPARE(leaving.options().GetLastOpenSites(), last);
    }

    void aPrivateWindowShowsWhatItIs()
    {
        int opened = 0;
        Fixture w({.before =
                       [](TPVOptions& o) {
                           o.SetStartupMode(QStringLiteral("Last"));
                           o.SetLastOpenSites(TPVOptions::BuildLastOpenSites(
                               {QStringLiteral("http://127.0.0.1/last")}));
                       },
                   .privateWindow = true,
                   .openPrivateWindow = [&opened] { ++opened; }});
        QCOMPARE(w->windowTitle(), QStringLiteral("Pelvane (Private)"));
        auto* strip = w->findChild<QLabel*>(QStringLiteral("privateStrip"));
        QVERIFY(strip);
        QVERIFY(!w.opened().contains(QStringLiteral("http://127.0.0.1/last")));
        w->show();
        QVERIFY(activateForKeys(w.window.get()));
        QVERIFY(strip->isVisible());
        picture(*w.window, QStringLiteral("private-mainwindow"));
        QWidget* page = w->GetActivePage()->Browser();
        page->setFocus();
        QTest::keyClick(page, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(opened, 1);
        w->action(ActionId::actNewPrivate)->trigger();
        QCOMPARE(opened, 2);

        // An ordinary window has neither mark; without a way to start one, no item either.
        Fixture plain;
        QCOMPARE(plain->windowTitle(), QStringLiteral("Pelvane"));
        QVERIFY(!plain->findChild<QLabel*>(QStringLiteral("privateStrip")));
        QVERIFY(!plain->action(ActionId::actNewPrivate)->isEnabled());
    }

    void keysReachTheirCommands()
    {
        Fixture w;
        w->show();
        QVERIFY(activateForKeys(w.window.get()));
        w->NewTab();
        QWidget* focus = w->GetActivePage()->Browser();
        focus->setFocus();

        QTest::keyClick(focus, Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(w->tabs().size(), 1);
        w->NewTab();
        QTest::keyClick(w->GetActivePage()->Browser(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(w->pages()->activePageIndex(), 0);
        QTest::keyClick(w->GetActivePage()->Browser(), Qt::Key_F12);
        QVERIFY(w->GetActivePage()->Locked());
        QTest::keyClick(w->GetActivePage()->Browser(), Qt::Key_D, Qt::AltModifier);
        QVERIFY(w->addressBand()->box()->hasFocus());
        QTest::keyClick(w->addressBand()->box()->lineEdit(), Qt::Key_F11);
        QVERIFY(w->FullScreen());
        QTest::keyClick(w->addressBand()->box()->lineEdit(), Qt::Key_F11);
        QVERIFY(!w->FullScreen());
    }

    void altKeysCanBeSwitchedOff()
    {
        Fixture w({.before = [](TPVOptions& o) { o.SetDisableALTShortcuts(true); }});
        w->show();
        QVERIFY(activateForKeys(w.window.get()));
        QWidget* page = w->GetActivePage()->Browser();
        page->setFocus();
        QTest::keyClick(page, Qt::Key_D, Qt::AltModifier);
        QVERIFY(!w->addressBand()->box()->hasFocus());
        w->NewTab();
        QTest::keyClick(w->GetActivePage()->Browser(), Qt::Key_F3); // F-keys still work
        QCOMPARE(w->pages()->activePageIndex(), 0);
        // The actions' own Alt shortcuts do not fire either.
        w.load(0, QStringLiteral("http://127.0.0.1/one"));
        w.load(0, QStringLiteral("http://127.0.0.1/two"));
        w.activeFake()->commandState(1, true); // Back enabled
        w.activeFake()->clearCalls();
        QTest::keyClick(w->GetActivePage()->Browser(), Qt::Key_Left, Qt::AltModifier);
        QVERIFY(!w.activeFake()->received(QStringLiteral("goBack")));
        QVERIFY(w->action(ActionId::actGoBack)->shortcut().isEmpty());
        // Switched on again, they are back.
        WindowSettings on = w->settings();
        on.disableAltShortcuts = false;
        w->applySettings(on);
        QCOMPARE(w->action(ActionId::actGoBack)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Left));
    }

    void altHomeGoesHomeFromATabWithoutOne()
    {
        Fixture w;
        TBrowserTab* linked = w->NewTabBackground(false); // as a link opens one: no home
        w->pages()->setActivePage(linked);
        w->runCommand(KeyDispatcher::Command::TabHome);
        QCOMPARE(w.lastNavigation(linked), linked->Browser()->startPage());
        linked->OpenAsHome(QStringLiteral("http://127.0.0.1/own"));
        w->runCommand(KeyDispatcher::Command::TabHome);
        QCOMPARE(w.lastNavigation(linked), QStringLiteral("http://127.0.0.1/own"));
    }

};

PELVANE_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
