#include "bars/MainToolbar.h"
#include "favorites/FavoritesMenu.h"
#include "favorites/dialogs/FavoritesWindow.h"
#include "favorites/window/FavoritesCommands.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"
#include "platform/ShellFolders.h"
#include "settings/PVOptions.h"
#include "settings/WindowSettings.h"
#include "sidebar/FavoritesPane.h"
#include "sidebar/SideBar.h"
#include "support/BarsFixture.h"
#include "support/FakeSideBarHost.h"
#include "support/MenuItems.h"
#include "support/ScriptedWindowQuestions.h"
#include "support/TabSetFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QDir>
#include <QMenu>
#include <QSignalSpy>
#include <QToolButton>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

// The Favorites commands on bars, a tab set and a side bar of their own, with the window's
// settings and questions answered by a script. `named`: the hive names the Favorites folder,
// as the window has it do on a first run.
struct Favorites
{
    explicit Favorites(bool named = true)
    {
        if (named)
            ShellFolders::seed(set.hive);
    }
    void make()
    {
        commands = std::make_unique<FavoritesCommands>(FavoritesCommands::Parts{
            bars.window, set.tabs, bars.actions, *bars.menus.menu(MenuId::Favorites), *bars.toolbar,
            sideBar, sideBarHost, questions, settings, set.hive, set.engine});
    }
    void show()
    {
        bars.window.resize(800, 500);
        bars.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bars.window));
    }
    QMenu* menu() { return bars.menus.menu(MenuId::Favorites); }
    QAction* action(ActionId id) const { return bars.actions[id]; }

    TabSetFixture set;
    BarsFixture bars;
    WindowSettings settings;
    FakeSideBarHost sideBarHost;
    SideBar sideBar{sideBarHost,
                    set.hive,
                    {set.engine.historyFile(), Paths::groupsFolder()},
                    nullptr,
                    &bars.window};
    ScriptedWindowQuestions questions;
    std::unique_ptr<FavoritesCommands> commands;
};

} // namespace

class TestFavoritesCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QDir(Paths::defaultFavoritesFolder()).removeRecursively(); }

    // The menu opens favourites by "FavoritesNewWin"; a shortcut saved by another program
    // reaches the menu and the side bar's tree, watched from the bar's first showing.
    void menuAndTreesFollowTheFolder()
    {
        const QString root = Paths::defaultFavoritesFolder();
        writeFile(root + "/News/Paper.url", "[InternetShortcut]\r\nURL=http://127.0.0.1/paper\r\n");
        writeFile(root + "/Site.url", "[InternetShortcut]\r\nURL=http://127.0.0.1/site\r\n");
        Favorites f;
        f.settings.newTabFlags.favorites = false;
        f.make();
        Q_EMIT f.menu()->aboutToShow();
        QCOMPARE(f.menu()->actions().size(), FavoritesMenu::HeadItems + 2);
        f.set.activeFake()->completeLoad(QStringLiteral("about:blank"), {});
        itemNamed(f.menu(), "Site")->trigger();
        QCOMPARE(f.set->tabs().size(), 1); // FavoritesNewWin off: the active tab
        QCOMPARE(TabSetFixture::lastNavigation(f.set->GetActivePage()),
                 QStringLiteral("http://127.0.0.1/site"));

        f.show();
        f.sideBar.ShowSideBar(true);
        FolderTree* tree = f.sideBar.favorites()->tree();
        // The watch starts on its own thread: saved again under a new name until heard.
        QString heard;
        for (int n = 0; heard.isEmpty() && n < 25; ++n) {
            const QString name = QStringLiteral("Later %1").arg(n);
            writeFile(root + "/" + name + ".url",
                      "[InternetShortcut]\r\nURL=http://127.0.0.1/later\r\n");
            if (QTest::qWaitFor([&] { return tree->nodeOf(root + "/" + name + ".url"); }, 400))
                heard = name;
        }
        QVERIFY(!heard.isEmpty());
        QVERIFY(!f.commands->menu()->FavoritesMenuBuilt());
        Q_EMIT f.menu()->aboutToShow();
        QVERIFY(itemNamed(f.menu(), heard));
    }

    // Add to Favorites (the command and a page's own request) names the shortcut after the
    // page; the floating window opens under the button, Esc hides it and it keeps its size.
    void addAndFloatingWindow()
    {
        Favorites f;
        TPVOptions(f.set.hive).SetFavoritesWidth(300);
        f.make();
        f.show();
        FakeWebBackend* page = f.set.activeFake();
        page->setLocationUrl(QStringLiteral("http://127.0.0.1/report"));
        page->setLocationName(QStringLiteral("Report: 2026"));
        f.questions.onDialog = [](QDialog& dialog) { dialog.accept(); };
        f.action(ActionId::actAddToFavorites)->trigger();
        QCOMPARE(f.questions.asked, QStringList{"dialog frmAddFavorite"});
        const QString root = Paths::defaultFavoritesFolder();
        QCOMPARE(readFile(root + "/Report 2026.url"),
                 QByteArray("[InternetShortcut]\r\nURL=http://127.0.0.1/report\r\n"));
        Q_EMIT f.set.tabs.addToFavoritesRequested(QStringLiteral("http://127.0.0.1/asked"),
                                                  QStringLiteral("Asked"));
        QCOMPARE(readFile(root + "/Asked.url"),
                 QByteArray("[InternetShortcut]\r\nURL=http://127.0.0.1/asked\r\n"));
        Q_EMIT f.set.tabs.addToFavoritesRequested(QString(), QStringLiteral("No page"));
        QCOMPARE(f.questions.asked.size(), 2);

        f.action(ActionId::tbFavorites)->trigger();
        TfrmFavorites* floating = f.commands->floatingWindow();
        QVERIFY(floating && floating->isVisible());
        QCOMPARE(floating->width(), 300);
        const auto* button = f.bars.toolbar->findChild<QToolButton*>("tbFavorites");
        QVERIFY(button && button->isVisible());
        QCOMPARE(floating->pos(), button->mapToGlobal(button->rect().bottomLeft()));
        QVERIFY(floating->pane()->tree()->nodeOf(root + "/Report 2026.url"));
        floating->resize(320, 330);
        QTest::keyClick(floating, Qt::Key_Escape);
        QVERIFY(!floating->isVisible());
        QCOMPARE(TPVOptions(f.set.hive).GetFavoritesWidth(), 320);
        QCOMPARE(TPVOptions(f.set.hive).GetFavoritesHeight(), 330);

        // A shortcut saved while the window is hidden is there when it shows again.
        QSignalSpy changed(f.commands->menu(), &FavoritesMenu::folderChanged);
        QString saved;
        for (int n = 0; saved.isEmpty() && n < 25; ++n) {
            const QString path = root + QStringLiteral("/Hidden %1.url").arg(n);
            writeFile(path, "[InternetShortcut]\r\nURL=http://127.0.0.1/hidden\r\n");
            if (changed.wait(400))
                saved = path;
        }
        QVERIFY(!saved.isEmpty());
        f.action(ActionId::tbFavorites)->trigger();
        QVERIFY(floating->isVisible());
        QCOMPARE(f.commands->floatingWindow(), floating);
        QVERIFY(floating->pane()->tree()->nodeOf(saved));
    }

    // Organize and the import and export wizard run as the window's dialogs; without a
    // Favorites folder named, each command says so and opens nothing.
    void dialogsAndNoFolder()
    {
        {
            Favorites f;
            f.make();
            f.action(ActionId::actOrganizeFavorites)->trigger();
            f.action(ActionId::actImportBookmarks)->trigger();
            f.action(ActionId::actExportFavorites)->trigger();
            QCOMPARE(f.questions.asked,
                     (QStringList{"dialog frmOrganizeFavorites", "dialog frmImportExport",
                                  "dialog frmImportExport"}));
            QVERIFY(f.questions.told.isEmpty());
        }
        Favorites f(false);
        f.make();
        f.set.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/page"),
                                         QStringLiteral("Page"));
        for (ActionId id : {ActionId::actAddToFavorites, ActionId::actOrganizeFavorites,
                            ActionId::actImportBookmarks})
            f.action(id)->trigger();
        QVERIFY(f.questions.asked.isEmpty());
        QCOMPARE(f.questions.told, (QStringList{"There is no Favorites folder to add the page to.",
                                                "There is no Favorites folder to organize.",
                                                "There is no Favorites folder."}));
    }
};

PELVANE_TEST_MAIN(TestFavoritesCommands)
#include "tst_favoritescommands.moc"
