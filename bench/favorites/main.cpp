// The Favorites over a generated folder of 5,000 shortcuts in 200 folders: the menu's first
// level, its rebuild after a change (and how long the change takes to be heard), a
// submenu, the monitor's events for a folder of 1,000 files copied in; then the import of
// a 10,000-bookmark file and the export of the result. Median of 5 runs each.
//
//   QT_QPA_PLATFORM=offscreen build/<dir>/bench/favorites/bench_favorites
//
// With `--pictures DIR` (under a real X server) it writes pictures of the menu and the
// dialogs instead.
#include "favorites/Bookmarks.h"
#include "favorites/FavoritesMenu.h"
#include "favorites/FavoritesTransfer.h"
#include "favorites/dialogs/AddFavoriteDialog.h"
#include "favorites/dialogs/FavoritesWindow.h"
#include "favorites/dialogs/ImportExportWizard.h"
#include "favorites/dialogs/OrganizeFavoritesDialog.h"
#include "integration/DiscMonitor.h"
#include "platform/FolderTree.h"
#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "platform/ShellFolders.h"
#include "sidebar/SideBarDialogs.h"
#include "sidebar/SideBarHost.h"

#include "../support/FavoritesTree.h"
#include "../support/Median.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Runs = 5;

QByteArray bookmarkFile(int count)
{
    QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<DL><p>\n";
    for (int folder = 0; folder < count / 50; ++folder) {
        html += "<DT><H3 ADD_DATE=\"1600000000\">Folder " + QByteArray::number(folder) + "</H3>\n<DL><p>\n";
        for (int i = 0; i < 50; ++i) {
            const QByteArray n = QByteArray::number(folder * 50 + i);
            html += "<DT><A HREF=\"https://site" + n + ".example/?a=1&amp;b=" + n +
                    "\" ADD_DATE=\"1600000000\">Page &amp; title " + n + "</A>\n";
        }
        html += "</DL><p>\n";
    }
    return html + "</DL><p>\n";
}

QMenu* favoritesMenuOn(const QString& root, FavoritesMenu** favorites)
{
    auto* menu = new QMenu;
    menu->addAction(QStringLiteral("&Add to Favorites..."));
    menu->addAction(QStringLiteral("&Organize Favorites..."));
    menu->addSeparator();
    *favorites = new FavoritesMenu(menu, [root] { return root; }, menu);
    return menu;
}

int benchmark()
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("Favorites"));
    makeFavorites(root);
    FavoritesMenu* favorites = nullptr;
    QMenu* menu = favoritesMenuOn(root, &favorites);

    const double first = medianMs(Runs, [&] {
        favorites->setChanged();
        Q_EMIT menu->aboutToShow();
    });
    std::printf("Favorites menu, first level (20 folders; 5,000 shortcuts in all): %.1f ms\n", first);

    QSignalSpy changed(favorites, &FavoritesMenu::folderChanged);
    std::vector<double> heard;
    std::vector<double> rebuilt;
    for (int i = 0; i < Runs; ++i) {
        changed.clear();
        QElapsedTimer timer;
        timer.start();
        writeShortcut(QStringLiteral("%1/Topic 7/Folder 3/New %2.url").arg(root).arg(i),
                      QStringLiteral("http://new.example/"));
        if (!changed.wait(5000))
            qFatal("the change was not heard");
        heard.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        Q_EMIT menu->aboutToShow();
        rebuilt.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("change deep in a subfolder heard after: %.1f ms (gathering %d ms)\n", median(heard),
                TDiscMonitor::QuietMs);
    std::printf("Favorites menu, rebuild after the change: %.1f ms\n", median(rebuilt));

    QMenu* topic = menu->actions().at(FavoritesMenu::HeadItems)->menu();
    const double sub = medianMs(Runs, [&] {
        favorites->setChanged();
        Q_EMIT menu->aboutToShow();
        topic = menu->actions().at(FavoritesMenu::HeadItems)->menu();
        Q_EMIT topic->aboutToShow();
        QMenu* folder = topic->actions().at(0)->menu();
        Q_EMIT folder->aboutToShow(); // 25 shortcuts, each file read
    });
    std::printf("Favorites menu, rebuild and open two levels down (25 shortcuts): %.1f ms\n", sub);

    // A folder of 1,000 files copied in: how many changes the menu hears.
    changed.clear();
    QDir().mkpath(root + "/Copied");
    QElapsedTimer copy;
    copy.start();
    for (int i = 0; i < 1000; ++i)
        writeShortcut(QStringLiteral("%1/Copied/Page %2.url").arg(root).arg(i),
                      QStringLiteral("http://copied.example/"));
    const qint64 copyMs = copy.elapsed();
    QTest::qWait(3 * TDiscMonitor::MaxDelayMs);
    std::printf("1,000 files copied in (%lld ms): %lld changes heard\n", qint64(copyMs),
                qint64(changed.count()));

    const QByteArray html = bookmarkFile(10000);
    const QString source = dir.filePath(QStringLiteral("bookmarks.html"));
    {
        QFile file(source);
        file.open(QIODevice::WriteOnly);
        file.write(html);
    }
    // What the disk itself asks: the same number of small files written plainly.
    const double plain = medianMs(Runs, [&] {
        static int round = 0;
        const QString folder = dir.filePath(QStringLiteral("plain%1").arg(round++));
        for (int f = 0; f < 200; ++f) {
            QDir().mkpath(QStringLiteral("%1/%2").arg(folder).arg(f));
            for (int i = 0; i < 50; ++i)
                writeShortcut(QStringLiteral("%1/%2/%3.url").arg(folder).arg(f).arg(i),
                              QStringLiteral("https://site.example/"));
        }
    });
    std::printf("  10,000 small files in 200 folders written plainly, for comparison: %.0f ms\n", plain);
    std::vector<double> imports;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const BookmarkRead read = readBookmarkFile(source);
        const auto outcome = FavoritesTransfer::importInto(
            read.root, dir.filePath(QStringLiteral("Import")), QStringLiteral("Imported"));
        if (!outcome.ok() || outcome.counts.bookmarks != 10000)
            qFatal("import failed: %s", qPrintable(outcome.error));
        imports.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("import of 10,000 bookmarks in 200 folders (%lld KB): %.0f ms\n",
                qint64(html.size() / 1024), median(imports));
    const double parse = medianMs(Runs, [&] { readBookmarkFile(source); });
    std::printf("  of which reading the file: %.0f ms\n", parse);
    const double exported = medianMs(Runs, [&] {
        if (!FavoritesTransfer::exportTo(dir.filePath(QStringLiteral("Import/Imported")),
                                         dir.filePath(QStringLiteral("out.html")))
                 .ok())
            qFatal("export failed");
    });
    std::printf("export of the 10,000 imported: %.0f ms\n", exported);
    delete menu;
    return 0;
}

class PictureHost final : public SideBarHost
{
public:
    void OpenAddress(const QString&, bool, bool) override {}
    void OpenInNewTab(const QString&) override {}
    void OpenPageGroup(const QString&, bool, bool) override {}
    void OrganizePageGroup(const QString&) override {}
    void SetGroupsChanged() override {}
    bool SGCloseFirst() const override { return false; }
    NewTabFlags newTabFlags() const override { return {}; }
    bool SBAutoExpand() const override { return true; }
    void SetStatusText(const QString&) override {}
};

void save(QWidget* widget, const QString& file)
{
    widget->show();
    QTest::qWait(300);
    widget->grab().save(file);
    std::printf("%s\n", qPrintable(file));
}

int pictures(const QString& out)
{
    QDir().mkpath(out);
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("Favorites"));
    for (const char* name : {"Links/Pelvane Help", "Links/Weather", "News/Zürich Zeitung",
                             "Software/Qt Documentation", "Local Pages", "Tom & Jerry",
                             "A shortcut whose name runs on far beyond the forty-five characters"})
        QDir().mkpath(QFileInfo(QStringLiteral("%1/%2.url").arg(root, QString::fromUtf8(name))).path()),
            writeShortcut(QStringLiteral("%1/%2.url").arg(root, QString::fromUtf8(name)),
                          QStringLiteral("http://127.0.0.1/"));
    QDir().mkpath(root + "/Empty Folder");

    FavoritesMenu* favorites = nullptr;
    QMenu* menu = favoritesMenuOn(root, &favorites);
    menu->popup(QPoint(20, 20));
    QTest::qWait(300);
    QMenu* links = nullptr;
    for (QAction* item : menu->actions()) {
        if (item->text() == QLatin1String("Links"))
            links = item->menu();
    }
    menu->setActiveAction(links->menuAction());
    links->popup(QPoint(20 + menu->width(), 20 + menu->actionGeometry(links->menuAction()).top()));
    QTest::qWait(400);
    QApplication::primaryScreen()->grabWindow(0, 0, 0, 640, 420).save(out + "/favorites-menu.png");
    std::printf("%s\n", qPrintable(out + "/favorites-menu.png"));
    links->hide();
    menu->hide();

    SideBarDialogs questions(nullptr);
    TfrmAddFavorite add(root, QStringLiteral("Report: Q3 / draft"), QStringLiteral("http://127.0.0.1/report"), questions);
    save(&add, out + "/add-favorite.png");
    TfrmOrganizeFavorites organize(root, questions);
    organize.tree()->setCurrentItem(organize.tree()->nodeOf(root + "/Tom & Jerry.url"));
    save(&organize, out + "/organize-favorites.png");

    RegistryHive hive(dir.filePath(QStringLiteral("registry.db")));
    {
        TRegistry reg(hive);
        reg.openKey(ShellFolders::keyPath(), true);
        reg.writeString(QStringLiteral("Favorites"), root);
    }
    PictureHost host;
    QWidget owner;
    owner.resize(10, 10);
    QAction addAction(QIcon::fromTheme(QStringLiteral("bookmark-new")), QStringLiteral("Add"));
    QAction organizeAction(QStringLiteral("Organize"));
    TfrmFavorites floating(host, hive, questions, &addAction, &organizeAction, &owner);
    floating.showAt(QPoint(40, 40));
    QTest::qWait(300);
    floating.grab().save(out + "/favorites-window.png");
    std::printf("%s\n", qPrintable(out + "/favorites-window.png"));

    const QString home = dir.filePath(QStringLiteral("home"));
    QDir().mkpath(home + "/.mozilla/firefox/x1.default-release");
    QFile(home + "/.mozilla/firefox/x1.default-release/places.sqlite").open(QIODevice::WriteOnly);
    QDir().mkpath(home + "/.config/chromium/Default");
    QFile(home + "/.config/chromium/Default/Bookmarks").open(QIODevice::WriteOnly);
    TfrmImportExport wizard(root, home, true, questions);
    save(&wizard, out + "/wizard-choose.png");
    wizard.next();
    save(&wizard, out + "/wizard-import.png");
    wizard.next(); // reads the empty places.sqlite, off the window's thread: the failure page
    (void)QTest::qWaitFor([&wizard] { return wizard.button(QWizard::FinishButton)->isEnabled(); });
    save(&wizard, out + "/wizard-done.png");
    delete menu;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--pictures"))
        return pictures(args.value(2, QStringLiteral(".")));
    return benchmark();
}
