#include "bars/MainToolbar.h"
#include "favorites/FavoritesMenu.h"
#include "favorites/dialogs/AddFavoriteDialog.h"
#include "favorites/dialogs/FavoritesWindow.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"
#include "sidebar/FavoritesPane.h"
#include "sidebar/SideBar.h"
#include "support/MainWindowFixture.h"
#include "support/MenuItems.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QMenu>
#include <QSignalSpy>
#include <QToolButton>

using TestFiles::readFile;
using TestFiles::writeFile;

class TestFavoritesWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The menu opens favourites by "FavoritesNewWin"; a shortcut saved by another program
    // while the window runs reaches the menu and the side bar's tree.
    void menuAndTreesFollowTheFolder()
    {
        const QString root = Paths::defaultFavoritesFolder();
        writeFile(root + "/News/Paper.url", "[InternetShortcut]\r\nURL=http://127.0.0.1/paper\r\n");
        writeFile(root + "/Site.url", "[InternetShortcut]\r\nURL=http://127.0.0.1/site\r\n");
        MainWindowFixture window({.before = [](TPVOptions& options) {
            options.SetViewSorvelBar(true);
            options.SetFavoritesNewWin(false);
        }});
        window.show();
        QMenu* menu = window->menu(MenuId::Favorites);
        Q_EMIT menu->aboutToShow();
        QCOMPARE(menu->actions().size(), FavoritesMenu::HeadItems + 2);
        itemNamed(menu, "Site")->trigger();
        QCOMPARE(window->tabs().size(), 1); // FavoritesNewWin off: the active tab
        QCOMPARE(MainWindowFixture::lastNavigation(window->GetActivePage()),
                 QStringLiteral("http://127.0.0.1/site"));

        // The watch starts on its own thread: saved again under a new name until heard.
        FolderTree* tree = window->sideBar()->favorites()->tree();
        QString heard;
        for (int n = 0; heard.isEmpty() && n < 25; ++n) {
            const QString name = QStringLiteral("Later %1").arg(n);
            writeFile(root + "/" + name + ".url", "[InternetShortcut]\r\nURL=http://127.0.0.1/later\r\n");
            if (QTest::qWaitFor([&] { return tree->nodeOf(root + "/" + name + ".url"); }, 400))
                heard = name;
        }
        QVERIFY(!heard.isEmpty());
        QVERIFY(!window->favoritesMenu()->FavoritesMenuBuilt());
        Q_EMIT menu->aboutToShow();
        QVERIFY(itemNamed(menu, heard));
    }

    // Add to Favorites names the shortcut after the page; the floating window opens under
    // the button, Esc hides it and it keeps its size.
    void addAndFloatingWindow()
    {
        MainWindowFixture window({.before = [](TPVOptions& options) {
            options.SetFavoritesWidth(300);
        }});
        window.show();
        FakeWebBackend* page = window.activeFake();
        page->setLocationUrl(QStringLiteral("http://127.0.0.1/report"));
        page->setLocationName(QStringLiteral("Report: 2026"));
        window.questions.onDialog = [](QDialog& dialog) { dialog.accept(); };
        window->action(ActionId::actAddToFavorites)->trigger();
        QCOMPARE(window.questions.asked.last(), QStringLiteral("dialog frmAddFavorite"));
        QCOMPARE(readFile(Paths::defaultFavoritesFolder() + "/Report 2026.url"),
                 QByteArray("[InternetShortcut]\r\nURL=http://127.0.0.1/report\r\n"));

        window->action(ActionId::tbFavorites)->trigger();
        TfrmFavorites* floating = window->favoritesWindow();
        QVERIFY(floating && floating->isVisible());
        QCOMPARE(floating->width(), 300);
        const auto* button = window->toolbar()->findChild<QToolButton*>("tbFavorites");
        QVERIFY(button && button->isVisible());
        QCOMPARE(floating->pos(), button->mapToGlobal(button->rect().bottomLeft()));
        QVERIFY(floating->pane()->tree()->nodeOf(Paths::defaultFavoritesFolder() + "/Report 2026.url"));
        floating->resize(320, 330);
        QTest::keyClick(floating, Qt::Key_Escape);
        QVERIFY(!floating->isVisible());
        QCOMPARE(window.options().GetFavoritesWidth(), 320);
        QCOMPARE(window.options().GetFavoritesHeight(), 330);

        // A shortcut saved while the window is hidden is there when it shows again.
        QSignalSpy changed(window->favoritesMenu(), &FavoritesMenu::folderChanged);
        QString saved;
        for (int n = 0; saved.isEmpty() && n < 25; ++n) {
            const QString path = Paths::defaultFavoritesFolder() + QStringLiteral("/Hidden %1.url").arg(n);
            writeFile(path, "[InternetShortcut]\r\nURL=http://127.0.0.1/hidden\r\n");
            if (changed.wait(400))
                saved = path;
        }
        QVERIFY(!saved.isEmpty());
        window->action(ActionId::tbFavorites)->trigger();
        QVERIFY(floating->isVisible());
        QVERIFY(floating->pane()->tree()->nodeOf(saved));
    }
};

PELVANE_TEST_MAIN(TestFavoritesWindow)
#include "tst_favoriteswindow.moc"
