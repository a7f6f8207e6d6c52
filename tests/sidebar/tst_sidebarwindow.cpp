#include "browser/strip/PVPageControl.h"
#include "history/HistoryStore.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"
#include "sidebar/FavoritesPane.h"
#include "sidebar/HistoryPane.h"
#include "sidebar/SideBar.h"
#include "support/MainWindowFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QTreeWidget>

namespace {

void shortcut(const QString& path, const QByteArray& body)
{
    TestFiles::writeFile(path, body);
}

// A Favorites folder as a user might have it: CR LF and LF files, UTF-8 names, one
// shortcut without an address.
void fillFavorites()
{
    const QString root = Paths::defaultFavoritesFolder();
    if (QFileInfo::exists(root + "/Links"))
        return;
    shortcut(root + "/Links/Pelvane Help.url",
             "[InternetShortcut]\r\nURL=http://127.0.0.1/help\r\n");
    shortcut(root + "/Links/Weather.url", "[InternetShortcut]\nURL=http://127.0.0.1/weather\n");
    shortcut(root + "/News/Zürich Zeitung.url", "[InternetShortcut]\r\nURL=http://127.0.0.1/z\r\n");
    shortcut(root + "/Software/Qt Documentation.url",
             "[InternetShortcut]\r\nURL=http://127.0.0.1/qt\r\n");
    shortcut(root + "/Local Pages.url", "[InternetShortcut]\r\nURL=http://127.0.0.1:8080/\r\n");
    shortcut(root + "/No Address.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
    shortcut(root + "/Café Menu.url", "[InternetShortcut]\r\nURL=http://127.0.0.1/cafe\r\n");
}

} // namespace

class TestSideBarWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // "ViewSorvelBar" and "SorvelBarWidth" read at creation, F4, and both written at exit.
    void showAndHide()
    {
        fillFavorites();
        MainWindowFixture window({.before = [](TPVOptions& options) {
            options.SetViewSorvelBar(true);
            options.SetSorvelBarWidth(180);
        }});
        window.show();
        SideBar* bar = window->sideBar();
        QVERIFY(bar->isVisible());
        QVERIFY(bar->FavoritesFilled());
        QVERIFY(window->action(ActionId::actViewSorvelBar)->isEnabled());
        QVERIFY(window->action(ActionId::tbVarloBar)->isChecked());
        QCOMPARE(bar->width(), 180);
        QCOMPARE(bar->favorites()->tree()->topLevelItemCount(), 6);

        QTest::keyClick(window.get(), Qt::Key_F4); // toggles once, not once per handler
        QVERIFY(!bar->isVisible());
        QVERIFY(!window->action(ActionId::actViewSorvelBar)->isChecked());
        QVERIFY(!window->action(ActionId::tbVarloBar)->isChecked());
        window.window.reset(); // exit
        QCOMPARE(window.options().GetViewSorvelBar(), false);
        QCOMPARE(window.options().GetSorvelBarWidth(), 180);
    }

    void commandsShowPanes()
    {
        MainWindowFixture window({.before = [](TPVOptions& options) {
            options.SetSorvelBarWidth(150);
            options.SetTabsDown(false);
            options.SetTabColorScheme(QStringLiteral("std"));
        }});
        window.show();
        SideBar* bar = window->sideBar();
        QVERIFY(!bar->isVisible());
        QVERIFY(!bar->built()); // a hidden bar is made when first shown
        window->action(ActionId::actOrganizeSorvelGroups)->trigger();
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->width(), 150); // first shown at the stored width
        // Its pane strip as the tab strip is: tabs on top, the same inactive colours.
        QCOMPARE(bar->paneStrip()->tabPosition(), TPVPageControl::Side::Top);
        QCOMPARE(bar->paneStrip()->InactiveTabColor(), TabColors::clBtnFace);
        QCOMPARE(bar->paneStrip()->InactiveFontColor(), TabColors::clWindowText);
        QCOMPARE(bar->currentPane(), SideBar::Pane::SorvelGroups);
        QVERIFY(bar->GroupsRooted());
        window->action(ActionId::actGoSearch)->trigger();
        QCOMPARE(bar->currentPane(), SideBar::Pane::Search);
    }

    // A favourite opens through the window's OpenAddress, in a new tab by default.
    void favoriteOpensInTab()
    {
        fillFavorites();
        MainWindowFixture window(
            {.before = [](TPVOptions& options) { options.SetViewSorvelBar(true); }});
        window.show();
        window.settleBlank();
        FolderTree* tree = window->sideBar()->favorites()->tree();
        QTreeWidgetItem* local = tree->nodeOf(Paths::defaultFavoritesFolder() + "/Local Pages.url");
        QVERIFY(local);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(local).center());
        QCOMPARE(window.opened().last(), QString("http://127.0.0.1:8080/"));
        // Shift+F10 gets past the window's key table to the tree's menu.
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(window->sideBar()->favorites()->contextMenu()->isVisible());
        window->sideBar()->favorites()->contextMenu()->hide();
    }

    // Pictures of the side bar with each pane, for a person to look at: written when
    // PELVANE_SHOTS names a folder.
    void pictures()
    {
        const QString folder = qEnvironmentVariable("PELVANE_SHOTS");
        if (folder.isEmpty())
            QSKIP("PELVANE_SHOTS not set");
        fillFavorites();
        MainWindowFixture window(
            {.before = [](TPVOptions& options) { options.SetViewSorvelBar(true); }});
        {
            HistoryStore store(window.engine.historyFile());
            const QDateTime now = QDateTime::currentDateTime();
            store.recordVisit("http://127.0.0.1:8080/index.html", "Local start page", now);
            store.recordVisit("http://127.0.0.1:8080/news.html", "Local news", now);
            store.recordVisit("http://localhost:8080/", "Localhost", now.addDays(-1));
            store.recordVisit("http://127.0.0.1:8080/old.html", "An older page", now.addDays(-10));
        }
        window->resize(900, 600);
        window.show();
        SideBar* bar = window->sideBar();
        const auto shoot = [&](const QString& name) {
            QTest::qWait(100);
            QVERIFY(window->grab().save(QDir(folder).filePath(name)));
        };
        FolderTree* favorites = bar->favorites()->tree();
        favorites->topLevelItem(0)->setExpanded(true);
        shoot("sidebar-favorites.png");
        bar->favorites()->findToggle()->trigger();
        bar->favorites()->findPanel()->edit()->setText("local");
        bar->favorites()->find();
        QTRY_VERIFY(!bar->favorites()->findPanel()->rows().isEmpty());
        shoot("sidebar-favorites-find.png");
        bar->showPane(SideBar::Pane::History);
        QTreeWidget* history = bar->history()->tree();
        history->topLevelItem(0)->setExpanded(true);
        history->topLevelItem(0)->child(0)->setExpanded(true);
        shoot("sidebar-history.png");
        bar->showPane(SideBar::Pane::Search);
        shoot("sidebar-search.png");
        QDir().mkpath(Paths::groupsFolder() + "/Work");
        for (const char* name : {"/Morning.sgp", "/Work/Projects.sgp", "/Reading.sgp"})
            shortcut(Paths::groupsFolder() + name, "[SorvelGroup]\r\n");
        bar->showPane(SideBar::Pane::SorvelGroups);
        shoot("sidebar-groups.png");
    }
};

PELVANE_TEST_MAIN(TestSideBarWindow)
#include "tst_sidebarwindow.moc"
