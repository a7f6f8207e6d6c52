#include "browser/strip/PVStatusBar.h"
#include "commands/MainActions.h"
#include "groups/SorvelGroupCommands.h"
#include "settings/WindowSettings.h"
#include "sidebar/SideBar.h"
#include "sidebar/window/SideBarCommands.h"
#include "support/ScriptedGroupQuestions.h"
#include "support/TabSetFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QSplitter>
#include <QToolButton>

namespace {

// The tabs as the page-group commands see them: every group they were asked to open.
struct RecordingGroupHost final : GroupCommandHost
{
    QStringList opened; // "<addresses> <replace> <mark>"

    QList<PageGroupEntry> shownTabs() override { return {}; }
    void openGroupEntries(const QList<PageGroupEntry>& entries, bool replaceTabs,
                          bool startupMark) override
    {
        QStringList addresses;
        for (const PageGroupEntry& entry : entries)
            addresses << entry.address;
        opened << QStringLiteral("%1 %2 %3")
                      .arg(addresses.join(QLatin1Char(',')))
                      .arg(replaceTabs)
                      .arg(startupMark);
    }
    bool SGCloseFirst() const override { return false; }
};

// The side bar in a window of its own beside a stand-in for the tabs, on a tab set of its
// own, with the window's settings as a test sets them before it is made.
struct Bar
{
    explicit Bar(const std::function<void(WindowSettings&)>& before = {})
    {
        if (before)
            before(settings);
        window.setCentralWidget(tabsArea);
        window.resize(800, 500);
        commands = std::make_unique<SideBarCommands>(
            SideBarCommands::Parts{window, set.tabs, groups, actions, settings, status, set.hive,
                                   set.engine.historyFile()});
    }
    SideBar* operator->() const { return commands->sideBar(); }
    QSplitter* splitter() const { return qobject_cast<QSplitter*>(window.centralWidget()); }

    TabSetFixture set;
    WindowSettings settings;
    MainActions actions{nullptr};
    TPVStatusBar status{&set.window};
    RecordingGroupHost groupHost;
    ScriptedGroupQuestions groupQuestions;
    QMenu groupMenu;
    SorvelGroupCommands groups{groupHost, &groupQuestions, &groupMenu, nullptr};
    QMainWindow window;
    QWidget* tabsArea = new QWidget;
    std::unique_ptr<SideBarCommands> commands;
};

} // namespace

class TestSideBarCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The host opens in the tab set, hands page groups to the group commands, and reads the
    // window's options as they are at the time of asking.
    void hostOpensInTheTabsAndFollowsTheSettings()
    {
        Bar bar;
        SideBarHost& host = bar.commands->host();
        bar.set.activeFake()->completeLoad(QStringLiteral("about:blank"), {});
        host.OpenAddress(QStringLiteral("http://127.0.0.1/here"), false, false);
        QCOMPARE(bar.set->tabs().size(), 1);
        QCOMPARE(TabSetFixture::lastNavigation(bar.set->GetActivePage()),
                 QStringLiteral("http://127.0.0.1/here"));
        bar.set.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/here"), {});
        host.OpenAddress(QStringLiteral("http://127.0.0.1/shift"), false, true); // Shift: new
        QCOMPARE(bar.set->tabs().size(), 2);
        QCOMPARE(TabSetFixture::lastNavigation(bar.set->tabs().last()),
                 QStringLiteral("http://127.0.0.1/shift"));
        host.OpenInNewTab(QString());
        QCOMPARE(bar.set->tabs().size(), 2);
        host.OpenInNewTab(QStringLiteral("http://127.0.0.1/new"));
        QCOMPARE(bar.set->tabs().size(), 3);
        QCOMPARE(bar.set->tabs().last()->HomeUrl(), QStringLiteral("http://127.0.0.1/new"));

        host.SetStatusText(QStringLiteral("Opening"));
        QCOMPARE(bar.status.text(), QStringLiteral("Opening"));

        const QString group = TestFiles::writeFile(
            TestFiles::home(QStringLiteral("side.sgp")),
            "[SorvelGroup]\r\nblank1=http://127.0.0.1/one\r\nblank2=http://127.0.0.1/two\r\n");
        host.OpenPageGroup(group, true, false);
        QCOMPARE(bar.groupHost.opened,
                 QStringList{QStringLiteral("http://127.0.0.1/one,http://127.0.0.1/two 1 0")});
        Q_EMIT bar.groupMenu.aboutToShow();
        QVERIFY(!bar.groups.GroupsChanged());
        host.SetGroupsChanged();
        QVERIFY(bar.groups.GroupsChanged());

        for (const bool on : {true, false}) {
            bar.settings.sgCloseFirst = on;
            bar.settings.sbAutoExpand = on;
            bar.settings.newTabFlags.favorites = on;
            QCOMPARE(host.SGCloseFirst(), on);
            QCOMPARE(host.SBAutoExpand(), on);
            QCOMPARE(host.newTabFlags().favorites, on);
        }
    }

    // Beside the tabs in a splitter, at the width the user left; the View command and the
    // toolbar button show it and follow it, and a width dragged is kept in the settings.
    void besideTheTabsAndShownByItsCommands()
    {
        Bar bar([](WindowSettings& s) {
            s.viewSorvelBar = false;
            s.sorvelBarWidth = 180;
        });
        QSplitter* splitter = bar.splitter();
        QVERIFY(splitter);
        QCOMPARE(splitter->objectName(), QStringLiteral("spSplitter"));
        QCOMPARE(splitter->widget(0), static_cast<QWidget*>(bar.commands->sideBar()));
        QCOMPARE(splitter->widget(1), bar.tabsArea);
        bar.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar.window));
        QVERIFY(!bar->isVisible());
        QAction* view = bar.actions[ActionId::actViewSorvelBar];
        QAction* button = bar.actions[ActionId::tbVarloBar];

        button->trigger();
        QVERIFY(bar->isVisible());
        QVERIFY(view->isChecked() && button->isChecked());
        QTRY_COMPARE(bar->width(), 180);
        bar->closeButton()->click();
        QVERIFY(!bar->isVisible());
        QVERIFY(!view->isChecked() && !button->isChecked());

        view->trigger();
        QVERIFY(bar->isVisible() && button->isChecked());
        splitter->setSizes({240, 560});
        Q_EMIT splitter->splitterMoved(240, 1);
        QCOMPARE(bar.settings.sorvelBarWidth, 240);
        // Hidden, the splitter's moves are none of the user's width; shown again, the bar
        // has the width the user left.
        view->trigger();
        Q_EMIT splitter->splitterMoved(10, 1);
        QCOMPARE(bar.settings.sorvelBarWidth, 240);
        view->trigger();
        QTRY_COMPARE(bar->width(), 240);
    }

    void shownAtCreationAsTheSettingSays()
    {
        Bar bar([](WindowSettings& s) { s.viewSorvelBar = true; });
        bar.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar.window));
        QVERIFY(bar->isVisible());
        QVERIFY(bar.actions[ActionId::actViewSorvelBar]->isChecked());
        QVERIFY(bar.actions[ActionId::tbVarloBar]->isChecked());
        QVERIFY(bar->FavoritesFilled());
    }
};

PELVANE_TEST_MAIN(TestSideBarCommands)
#include "tst_sidebarcommands.moc"
