#include "support/Pictures.h"
#include "blocking/ContentBlocker.h"
#include "blocking/window/BlockedListDialog.h"
#include "blocking/window/BlockingCommands.h"
#include "browser/strip/PVStatusBar.h"
#include "browser/window/TabMenu.h"
#include "commands/MainActions.h"
#include "platform/Registry.h"
#include "support/DiscMonitorWait.h"
#include "support/FakeWebBackend.h"
#include "support/TabSetFixture.h"
#include "support/TestHome.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

bool writeList(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

// The window's side of content blocking, on fake engines: the status bar's switch and count,
// the tab menu's switch, the list of what was blocked, and the folder watched.
class TestBlockingCommands : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        Fixture()
        {
            QDir().mkpath(folder);
            status.resize(800, 24);
        }
        TabSetFixture f;
        QString folder = qEnvironmentVariable("PELVANE_HOME") + QStringLiteral("/Filters");
        MainActions actions{nullptr};
        TTabMenu menu{f.tabs, actions, {}, &f.window};
        TPVStatusBar status{&f.window};
        ContentBlocker blocker{f.hive, folder};
        std::unique_ptr<BlockingCommands> commands;

        void start()
        {
            QSignalSpy loaded(&blocker, &ContentBlocker::listsLoaded);
            blocker.reload();
            QVERIFY(loaded.wait());
            commands = std::make_unique<BlockingCommands>(
                BlockingCommands::Parts{blocker, f.tabs, actions, menu, status});
        }
        // A request of the active tab's page, as the engine asks it.
        bool request(const QString& url, WebResource kind = WebResource::Script)
        {
            const TBrowserTab* tab = f.tabs.GetActivePage();
            return blocker.filter()->blocks({QUrl(url), QUrl(tab->Browser()->LocationURL()), kind,
                                             BlockingCommands::sourceOf(tab)});
        }
    };

private Q_SLOTS:
    void init() { QDir(qEnvironmentVariable("PELVANE_HOME") + QStringLiteral("/Filters")).removeRecursively(); }

    void statusBarCountsAndSwitchesTheSite()
    {
        Fixture w;
        QVERIFY(writeList(w.folder + QStringLiteral("/list.txt"), "||ads.net^\n"));
        w.start();
        QToolButton* button = w.commands->statusSwitch();
        QVERIFY(w.f.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/a.html"),
                                               QStringLiteral("A")));
        QCOMPARE(button->text(), QStringLiteral("Blocked: 0"));
        QVERIFY(button->isChecked());

        QVERIFY(w.request(QStringLiteral("https://ads.net/1.js")));
        QVERIFY(w.request(QStringLiteral("https://ads.net/2.png"), WebResource::Image));
        QVERIFY(!w.request(QStringLiteral("https://content.net/3.js")));
        QTRY_COMPARE(button->text(), QStringLiteral("Blocked: 2"));

        // Another tab in front shows its own count; back again, the first one's.
        TBrowserTab* first = w.f.tabs.GetActivePage();
        w.f.tabs.NewTab();
        QVERIFY(w.f.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/b.html"),
                                               QStringLiteral("B")));
        QCOMPARE(button->text(), QStringLiteral("Blocked: 0"));
        w.f.tabs.activate(first);
        QCOMPARE(button->text(), QStringLiteral("Blocked: 2"));

        // The switch turns blocking off for the site and shows the page again without it.
        w.f.activeFake()->clearCalls();
        button->click();
        QVERIFY(!w.blocker.isEnabledFor(QStringLiteral("127.0.0.1")));
        QCOMPARE(button->text(), QStringLiteral("Blocking off"));
        QVERIFY(!button->isChecked());
        QVERIFY(std::any_of(w.f.activeFake()->calls().begin(), w.f.activeFake()->calls().end(),
                            [](const FakeWebBackend::Call& call) { return call.name == "refresh"; }));
        QVERIFY(!w.request(QStringLiteral("https://ads.net/1.js")));
        TRegistry reg(w.f.hive);
        QVERIFY(reg.openKeyReadOnly(ContentBlocker::sitesKey()));
        QCOMPARE(reg.readInteger(QStringLiteral("127.0.0.1")), 1);

        // A new page of the tab starts a new count.
        button->click();
        QVERIFY(w.request(QStringLiteral("https://ads.net/1.js")));
        QTRY_COMPARE(button->text(), QStringLiteral("Blocked: 3"));
        QVERIFY(!w.request(QStringLiteral("http://127.0.0.1/c.html"), WebResource::Document));
        QTRY_COMPARE(button->text(), QStringLiteral("Blocked: 0"));
    }

    void tabMenuSwitchesTheSiteOfTheTabUnderThePointer()
    {
        Fixture w;
        QVERIFY(writeList(w.folder + QStringLiteral("/list.txt"), "||ads.net^\n"));
        w.start();
        QVERIFY(w.f.activeFake()->completeLoad(QStringLiteral("http://site.example/"),
                                               QStringLiteral("A")));
        w.f.window.show();
        w.menu.popupFor(0, QPoint(10, 10));
        QVERIFY(w.menu.actions().contains(w.commands->tabMenuItem()));
        QVERIFY(w.commands->tabMenuItem()->isEnabled());
        QVERIFY(w.commands->tabMenuItem()->isChecked());
        picture(w.menu, QStringLiteral("tab-menu"));
        w.commands->tabMenuItem()->trigger();
        w.menu.hide();
        QVERIFY(!w.blocker.isEnabledFor(QStringLiteral("site.example")));
        w.menu.popupFor(0, QPoint(10, 10));
        QVERIFY(!w.commands->tabMenuItem()->isChecked());
        w.menu.hide();
        // A page of no site has nothing to switch.
        QVERIFY(w.f.activeFake()->completeLoad(QStringLiteral("about:blank"), QString()));
        w.menu.popupFor(0, QPoint(10, 10));
        QVERIFY(!w.commands->tabMenuItem()->isEnabled());
        w.menu.hide();
    }

    void toolsItemListsWhatWasBlocked()
    {
        Fixture w;
        QVERIFY(writeList(w.folder + QStringLiteral("/list.txt"), "||ads.net^$script\n"));
        w.start();
        QVERIFY(w.f.activeFake()->completeLoad(QStringLiteral("http://site.example/"),
                                               QStringLiteral("A")));
        QVERIFY(w.request(QStringLiteral("https://ads.net/1.js")));
        QStringList rows;
        QString summary;
        QTimer::singleShot(0, [&] {
            BlockedListDialog* dialog = w.commands->blockedDialog();
            if (!dialog)
                return;
            summary = dialog->summary()->text();
            picture(*dialog, QStringLiteral("blocked-content"));
            for (int i = 0; i < dialog->list()->topLevelItemCount(); ++i)
                rows << dialog->list()->topLevelItem(i)->text(0) + QLatin1Char(' ') +
                            dialog->list()->topLevelItem(i)->text(1);
            dialog->reject();
        });
        w.actions.get(ActionId::actBlockedContent)->trigger();
        QCOMPARE(summary, QStringLiteral("1 request blocked on site.example"));
        QCOMPARE(rows, QStringList{QStringLiteral("https://ads.net/1.js ||ads.net^$script")});
    }

    // A window a page opens is asked about as a pop-up of that page: only rules written for
    // pop-ups refuse it, the refusal counts on the opener's page, and the site's switch lets
    // it through.
    void popupRulesRefuseTheWindowsAPageOpens()
    {
        Fixture w;
        QVERIFY(writeList(w.folder + QStringLiteral("/list.txt"),
                          "||pop.example^$popup\n||ads.net^\n@@||pop.example/ok/$popup\n"));
        w.start();
        w.f.popups.setContentFilter(w.blocker.filter());
        TBrowserTab* opener = w.f.tabs.GetActivePage();
        FakeWebBackend* fake = w.f.activeFake();
        QVERIFY(fake->completeLoad(QStringLiteral("http://site.example/"), QStringLiteral("A")));
        const auto popupOf = [&](const QString& url) {
            const int before = int(w.f.tabs.tabs().size());
            fake->openWindow(url, QStringLiteral("Pop-up"));
            const QList<TBrowserTab*> tabs = w.f.tabs.tabs();
            return tabs.size() > before ? tabs.at(tabs.indexOf(opener) + 1) : nullptr;
        };

        TBrowserTab* refused = popupOf(QStringLiteral("https://www.pop.example/win.html"));
        QVERIFY(refused);
        QVERIFY(refused->PopupBlocked());
        QVERIFY(!refused->TabVisible());
        QCOMPARE(refused->PopupUrl(), QStringLiteral("https://www.pop.example/win.html"));
        const void* source = BlockingCommands::sourceOf(opener);
        QTRY_COMPARE(w.blocker.blockedCountOn(source), 1);
        QCOMPARE(w.blocker.blockedOn(source).value(0).rule,
                 QStringLiteral("||pop.example^$popup"));
        QTRY_COMPARE(w.commands->statusSwitch()->text(), QStringLiteral("Blocked: 1"));
        // The pop-up list's notice is not the filter's: it stays shut.
        QVERIFY(!w.f.popups.notice());

        // A rule without the pop-up type does not refuse a window; an exception for pop-ups
        // lets one through.
        for (const QString& allowed : {QStringLiteral("https://ads.net/page.html"),
                                       QStringLiteral("https://pop.example/ok/1.html")}) {
            TBrowserTab* shown = popupOf(allowed);
            QVERIFY2(shown, qPrintable(allowed));
            QVERIFY2(!shown->PopupBlocked(), qPrintable(allowed));
            QVERIFY2(shown->TabVisible(), qPrintable(allowed));
        }
        QCOMPARE(w.blocker.blockedCountOn(source), 1);

        // With blocking off for the opener's site the same window opens.
        w.blocker.setEnabledFor(QStringLiteral("site.example"), false);
        TBrowserTab* now = popupOf(QStringLiteral("https://www.pop.example/win.html"));
        QVERIFY(now);
        QVERIFY(!now->PopupBlocked());
        QVERIFY(now->TabVisible());
    }

    void listsAreReadAgainWhenTheFolderChanges()
    {
        Fixture w;
        w.start();
        QCOMPARE(w.blocker.filters()->ruleCount(), 0);
        QVERIFY(!w.commands->statusSwitch()->isVisibleTo(&w.status));
        QSignalSpy loaded(&w.blocker, &ContentBlocker::listsLoaded);
        QVERIFY(DiscMonitorWait::changeUntilHeard(loaded, [&](int round) {
            writeList(w.folder + QStringLiteral("/new.txt"),
                      "||ads.net^\n##.ad\n! " + QByteArray::number(round) + '\n');
        }));
        QTRY_COMPARE(w.blocker.filters()->ruleCount(), 2);
        QVERIFY(w.commands->statusSwitch()->isVisibleTo(&w.status));

        // A list over the bound is refused, and the status bar says so; the others apply.
        QFile big(w.folder + QStringLiteral("/big.txt"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(FilterSet::MaxListBytes + 1));
        big.close();
        QTRY_VERIFY_WITH_TIMEOUT(!w.blocker.messages().isEmpty(), 5000);
        QCOMPARE(w.blocker.messages(),
                 QStringList{FilterSet::tooLargeMessage(QStringLiteral("big.txt"))});
        QTRY_COMPARE(w.status.text(), FilterSet::tooLargeMessage(QStringLiteral("big.txt")));
        QCOMPARE(w.blocker.filters()->ruleCount(), 2);
    }
};

PELVANE_TEST_MAIN(TestBlockingCommands)
#include "tst_blockingcommands.moc"
