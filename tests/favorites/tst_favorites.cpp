#include "favorites/FavoriteFiles.h"
#include "favorites/FavoritesMenu.h"
#include "favorites/dialogs/AddFavoriteDialog.h"
#include "favorites/dialogs/ImportExportWizard.h"
#include "favorites/dialogs/OrganizeFavoritesDialog.h"
#include "platform/FolderTree.h"
#include "platform/InternetShortcut.h"
#include "platform/SiteIcons.h"
#include "support/FakeSideBarHost.h"
#include "support/MenuItems.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

QString shortcut(const QString& path, const QString& url)
{
    return writeFile(path, "[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n");
}

QStringList captions(const QList<QAction*>& items)
{
    QStringList texts;
    for (const QAction* item : items)
        texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return texts;
}

} // namespace

class TestFavorites : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void displayNames_data();
    void displayNames();
    void levelsListFoldersThenShortcuts();
    void menuFollowsTheFolder();
    void safeNames_data();
    void safeNames();
    void addFavoriteWritesAShortcut();
    void shortcutAddressesAreOneLine();
    void organizeMovesRenamesAndEdits();
    void importExportWizard();
    void siteIconsByHost();
    void siteIconsKeepTheLastSeen();
};

void TestFavorites::displayNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    const QString n45(45, QLatin1Char('x'));
    const QString fifty = QStringLiteral("abcdefghijklmnopqrstuVWXYZ0123456789ABCDEFGHIJKLMN");
    QTest::newRow("short") << "News" << "News";
    QTest::newRow("45 kept") << n45 << n45;
    QTest::newRow("46 cut") << n45 + "y" << QString(21, 'x') + "..." + QString(20, 'x') + "y";
    QTest::newRow("50 cut") << fifty << "abcdefghijklmnopqrstu...3456789ABCDEFGHIJKLMN";
    QTest::newRow("ampersand") << "Tom & Jerry" << "Tom && Jerry";
    QTest::newRow("cut, then doubled") << "&" + QString(49, 'a') << "&&" + QString(20, 'a') + "..." + QString(21, 'a');
    QTest::newRow("tab") << "a\tb" << "a b";
}

void TestFavorites::displayNames()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QCOMPARE(favoriteDisplayName(name), shown);
}

void TestFavorites::levelsListFoldersThenShortcuts()
{
    const QString root = TestFiles::home(QStringLiteral("order"));
    QDir().mkpath(root + "/zeta");
    QDir().mkpath(root + "/Alpha & Omega");
    QDir().mkpath(root + "/.hidden");
    shortcut(root + "/aardvark.url", "http://a.example/");
    shortcut(root + "/Beta.URL", "http://b.example/");
    writeFile(root + "/No address.url", "[InternetShortcut]\r\nIconIndex=1\r\n");
    writeFile(root + "/notes.txt", "not listed");
    // Not text, several megabytes, a name that is not UTF-8: listed, leading nowhere.
    writeFile(root + "/binary.url", QByteArray("[InternetShortcut]\r\nURL=x\0\x01", 27));
    writeFile(root + "/huge.url", "[InternetShortcut]\r\nURL=" + QByteArray(3 << 20, 'a'));
    const QByteArray badName = QFile::encodeName(root) + "/bad \xff\xfe.url";
    QFile bad;
    QVERIFY(bad.open(::fopen(badName.constData(), "w"), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
    bad.write("[InternetShortcut]\r\nURL=http://bad.example/\r\n");
    bad.close();
    const auto entries = readFavoriteEntries(root, {}, QIcon());
    QStringList shown;
    for (const FolderMenuEntry& entry : entries)
        shown << QStringLiteral("%1|%2|%3").arg(entry.caption).arg(entry.folder).arg(entry.hint);
    // Folders first even when a shortcut sorts before them.
    // (The name that is not UTF-8 cannot be named back to the system, so it is not listed.)
    QCOMPARE(shown, QStringList({"Alpha && Omega|1|", "zeta|1|", "aardvark|0|http://a.example/",
                                 "Beta|0|http://b.example/", "binary|0|", "huge|0|",
                                 "No address|0|"}));
    QVERIFY(readFavoriteEntries(root + "/missing", {}, QIcon()).isEmpty());
    ::remove(badName.constData()); // the temporary home cannot name it either
}

void TestFavorites::menuFollowsTheFolder()
{
    const QString root = TestFiles::home(QStringLiteral("menu"));
    QDir().mkpath(root + "/Empty");
    shortcut(root + "/News/Deep/Paper.url", "http://paper.example/");
    shortcut(root + "/Site.url", "http://site.example/");
    writeFile(root + "/Nowhere.url", "[InternetShortcut]\r\n");
    QMenu menu;
    menu.addAction(QStringLiteral("&Add to Favorites..."));
    menu.addAction(QStringLiteral("&Organize Favorites..."));
    menu.addSeparator();
    FavoritesMenu favorites(&menu, [root] { return root; }, nullptr);
    QSignalSpy chosen(&favorites, &FavoritesMenu::favoriteChosen);
    QSignalSpy changed(&favorites, &FavoritesMenu::folderChanged);
    QVERIFY(!favorites.FavoritesMenuBuilt());
    Q_EMIT menu.aboutToShow();
    QVERIFY(favorites.FavoritesMenuBuilt());
    QCOMPARE(captions(menu.actions()),
             QStringList({"&Add to Favorites...", "&Organize Favorites...", "-", "Empty", "News",
                          "Nowhere", "Site"}));

    QMenu* empty = itemNamed(&menu, "Empty")->menu();
    Q_EMIT empty->aboutToShow();
    QCOMPARE(captions(empty->actions()), QStringList({"(Empty)"}));
    QVERIFY(!empty->actions().first()->isEnabled());

    itemNamed(&menu, "Nowhere")->trigger(); // listed, opens nothing
    itemNamed(&menu, "Site")->trigger();
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.first().first().toString(), QStringLiteral("http://site.example/"));

    // A change deep inside a subfolder is heard; the menu is read again when it opens.
    QVERIFY(favorites.monitor());
    for (int n = 0; changed.isEmpty() && n < 50; ++n) {
        shortcut(root + QStringLiteral("/News/Deep/Late %1.url").arg(n), "http://late.example/");
        changed.wait(100);
    }
    QVERIFY(!changed.isEmpty());
    QVERIFY(!favorites.FavoritesMenuBuilt());
    shortcut(root + "/Added.url", "http://added.example/");
    Q_EMIT menu.aboutToShow();
    QVERIFY(itemNamed(&menu, "Added"));
    QMenu* news = itemNamed(&menu, "News")->menu();
    Q_EMIT news->aboutToShow();
    QMenu* deep = itemNamed(news, "Deep")->menu();
    Q_EMIT deep->aboutToShow();
    QVERIFY(itemNamed(deep, "Late 0"));
    QVERIFY(itemNamed(deep, "Paper"));
}

void TestFavorites::safeNames_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "Example Domain" << "Example Domain";
    QTest::newRow("reserved") << "a/b\\c|d: e*f?\"<g>" << "a-b-c-d efg";
    QTest::newRow("breaks and blanks") << "  one\r\ntwo\tthree  " << "one two three";
    QTest::newRow("trailing dots") << "Wait..." << "Wait";
    QTest::newRow("device") << "con" << "_con";
    QTest::newRow("device with extension") << "NUL.txt" << "_NUL.txt";
    QTest::newRow("nothing left") << " ?*: " << "Untitled";
    QTest::newRow("dots only") << ".." << "Untitled";
    QTest::newRow("lone surrogate") << QString("a") + QChar(0xD800) + "b" << "ab";
    QTest::newRow("long") << QString(300, 'n') << QString(FavoriteFiles::MaxNameChars, 'n');
}

void TestFavorites::safeNames()
{
    QFETCH(QString, title);
    QFETCH(QString, name);
    QCOMPARE(FavoriteFiles::safeName(title), name);
}

void TestFavorites::addFavoriteWritesAShortcut()
{
    const QString root = TestFiles::home(QStringLiteral("add"));
    QDir().mkpath(root + "/Work");
    ScriptedSideBarQuestions questions;
    {
        TfrmAddFavorite dialog(root, "Report: Q3 / draft", "http://report.example/", questions);
        QCOMPARE(dialog.nameEdit()->text(), QStringLiteral("Report Q3 - draft"));
        dialog.folders()->setCurrentItem(dialog.folders()->nodeOf(root + "/Work"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    const QString file = root + "/Work/Report Q3 - draft.url";
    QCOMPARE(readFile(file), QByteArray("[InternetShortcut]\r\nURL=http://report.example/\r\n"));

    // The same name again: asked; No keeps the old one and the dialog open, Yes replaces it.
    questions.confirmations = {false, true};
    TfrmAddFavorite again(root, "Report: Q3 / draft", "http://other.example/", questions);
    again.folders()->setCurrentItem(again.folders()->nodeOf(root + "/Work"));
    again.accept();
    QCOMPARE(again.result(), int(QDialog::Rejected));
    QVERIFY(readFile(file).contains("report.example"));
    again.accept();
    QCOMPARE(again.result(), int(QDialog::Accepted));
    QCOMPARE(readFile(file), QByteArray("[InternetShortcut]\r\nURL=http://other.example/\r\n"));
    QCOMPARE(questions.asked.size(), 2);

    // Unless another is chosen, the favourite goes in the Favorites folder itself, which
    // the tree shows as its top.
    {
        TfrmAddFavorite top(root, "Top", "http://top.example/", questions);
        QCOMPARE(top.folders()->selectedPath(), root);
        QCOMPARE(top.folders()->rootNode()->text(0), QStringLiteral("Favorites"));
        top.accept();
        QCOMPARE(top.result(), int(QDialog::Accepted));
        QCOMPARE(top.savedFile(), root + "/Top.url");
    }

    // An empty name is refused with a word.
    again.nameEdit()->setText("  ");
    again.setResult(QDialog::Rejected);
    again.accept();
    QCOMPARE(again.result(), int(QDialog::Rejected));
    QCOMPARE(questions.told.size(), 1);
}

void TestFavorites::shortcutAddressesAreOneLine()
{
    // A lone CR is no line end by the profile rules: it is left out of the address, and the
    // address read is written back keeping the file's other lines.
    const QString root = TestFiles::home(QStringLiteral("cr"));
    const QString file = root + "/Cr.url";
    writeFile(file, "[InternetShortcut]\r\nURL=http://cr.example/\ra\r\nIconIndex=3\r\n");
    const QString address = InternetShortcut::readAddress(file);
    QCOMPARE(address, QStringLiteral("http://cr.example/a"));
    QString error;
    QVERIFY2(InternetShortcut::writeAddress(file, address, &error), qPrintable(error));
    QCOMPARE(readFile(file),
             QByteArray("[InternetShortcut]\r\nURL=http://cr.example/a\r\nIconIndex=3\r\n"));
}

void TestFavorites::organizeMovesRenamesAndEdits()
{
    const QString root = TestFiles::home(QStringLiteral("organize"));
    shortcut(root + "/Work/Inner/Deep.url", "http://deep.example/");
    shortcut(root + "/Site.url", "http://site.example/");
    shortcut(root + "/Work/site.URL", "http://other.example/");
    QString moved;
    QString error;
    // A folder into itself or below itself, a name already there (in any case): refused.
    QVERIFY(!FavoriteFiles::moveInto(root + "/Work", root + "/Work/Inner", &moved, &error));
    QCOMPARE(error, QStringLiteral("A folder cannot be moved into itself."));
    QVERIFY(!FavoriteFiles::moveInto(root + "/Site.url", root + "/Work", &moved, &error));
    QVERIFY(FavoriteFiles::moveInto(root + "/Work/Inner/Deep.url", root, &moved, &error));
    QCOMPARE(moved, root + "/Deep.url");
    QVERIFY(!FavoriteFiles::rename(root + "/Deep.url", "a/b", &moved, &error));
    QVERIFY(!FavoriteFiles::rename(root + "/Deep.url", "SITE", &moved, &error));
    QVERIFY(FavoriteFiles::rename(root + "/Work/site.URL", "Renamed", &moved, &error));
    QCOMPARE(moved, root + "/Work/Renamed.URL"); // the extension as it was

    // The dialog edits the selected shortcut's address, keeping its other lines.
    writeFile(root + "/Icon.url", "[InternetShortcut]\r\nURL=http://old.example/\r\nIconIndex=3\r\n");
    ScriptedSideBarQuestions questions;
    TfrmOrganizeFavorites dialog(root, questions);
    dialog.tree()->setCurrentItem(dialog.tree()->nodeOf(root + "/Icon.url"));
    QCOMPARE(dialog.addressEdit()->text(), QStringLiteral("http://old.example/"));
    dialog.addressEdit()->setText("http://new.example/");
    dialog.addressEdit()->setModified(true);
    dialog.saveAddress();
    QCOMPARE(readFile(root + "/Icon.url"),
             QByteArray("[InternetShortcut]\r\nURL=http://new.example/\r\nIconIndex=3\r\n"));
    // A drop onto a folder moves it there.
    dialog.moveByDrop(root + "/Icon.url", dialog.tree()->nodeOf(root + "/Work"));
    QVERIFY(QFileInfo::exists(root + "/Work/Icon.url"));
    QCOMPARE(dialog.tree()->selectedPath(), root + "/Work/Icon.url");
    QVERIFY(questions.told.isEmpty());
}

void TestFavorites::importExportWizard()
{
    const QString home = TestFiles::home(QStringLiteral("export"));
    shortcut(home + "/Favorites/Site.url", "http://site.example/");
    const QString file = writeFile(home + "/bookmark.htm", "the user's own");
    ScriptedSideBarQuestions questions;
    questions.confirmations = {false, true};
    TfrmImportExport wizard(home + "/Favorites", home, false, questions);
    wizard.restart();
    wizard.next();
    wizard.next(); // No: the file is kept and the wizard waits on the page
    QCOMPARE(wizard.currentId(), int(TfrmImportExport::ExportPage));
    QCOMPARE(readFile(file), QByteArray("the user's own"));
    wizard.next(); // written off the window's thread: the last page is busy until then
    QVERIFY(!wizard.button(QWizard::FinishButton)->isEnabled());
    QTRY_VERIFY(wizard.button(QWizard::FinishButton)->isEnabled());
    QVERIFY(readFile(file).contains("http://site.example/"));
    QCOMPARE(wizard.summary(), "Exported 1 bookmark in 0 folders to " + file + ".");
    TfrmImportExport back(home + "/Favorites", home, true, questions);
    back.restart();
    back.next();
    back.importFile()->setText(file); // the one source found: a file
    back.next();
    QTRY_VERIFY(QFileInfo::exists(home + "/Favorites/Imported Bookmarks/Site.url"));
}

void TestFavorites::siteIconsByHost()
{
    const QString folder = TestFiles::home(QStringLiteral("icons"));
    QPixmap red(16, 16);
    red.fill(Qt::red);
    {
        SiteIcons icons(folder);
        icons.store(QUrl("https://Example.org/a/page"), QIcon(red));
        icons.store(QUrl("about:blank"), QIcon(red)); // no host: nothing kept
        QVERIFY(icons.iconFor("https://other.example/").isNull());
    }
    // Read back from the folder by another store, for any address of the host.
    SiteIcons again(folder);
    const QIcon icon = again.iconFor("http://example.org/other?x=1");
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    QVERIFY(again.iconFor("http://[::1]:8080/").isNull());
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"example.org.png"}));
    // A file that is no picture (or far too large for one) gives none.
    writeFile(folder + "/bad.example.png", "not a png");
    QVERIFY(again.iconFor("http://bad.example/").isNull());
    // The menu shows the site's picture where it has one.
    shortcut(folder + "/fav/Site.url", "http://example.org/");
    const auto entries = readFavoriteEntries(
        folder + "/fav", [&again](const QString& a) { return again.iconFor(a); }, QIcon());
    QCOMPARE(entries.first().icon.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    // A picture read for a menu, then seen at a visit: dated afresh, so the trim keeps it.
    const QString kept = folder + "/example.org.png";
    QVERIFY(TestFiles::setModified(kept, QDateTime::currentDateTime().addDays(-30)));
    again.store(QUrl("http://example.org/"), QIcon(red));
    QVERIFY(QFileInfo(kept).lastModified() > QDateTime::currentDateTime().addDays(-1));
}

void TestFavorites::siteIconsKeepTheLastSeen()
{
    const QString folder = TestFiles::home(QStringLiteral("icons-trim"));
    const QDateTime now = QDateTime::currentDateTime();
    const auto writtenAt = [](const QString& path, const QDateTime& when) {
        writeFile(path, "picture");
        QVERIFY(TestFiles::setModified(path, when));
    };
    for (int day = 0; day < 5; ++day)
        writtenAt(folder + QString("/site%1.example.png").arg(day), now.addDays(-day));
    writtenAt(folder + "/crashed.example.png.part", now.addDays(-1));
    writtenAt(folder + "/writing.example.png.part", now); // being written: left
    writtenAt(folder + "/notes.txt", now.addDays(-30));   // not a picture of ours
    std::atomic_bool cancelled = false;

    // The three sites seen last stay; the two seen longest ago and the old piece go.
    QCOMPARE(SiteIcons::prune(folder, 3, cancelled), 3);
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name),
             QStringList({"notes.txt", "site0.example.png", "site1.example.png",
                          "site2.example.png", "writing.example.png.part"}));
    QCOMPARE(SiteIcons::prune(folder, 3, cancelled), 0);
    QCOMPARE(SiteIcons::prune(folder + "/missing", 3, cancelled), 0);
    cancelled = true;
    QCOMPARE(SiteIcons::prune(folder, 0, cancelled), 0);
    QCOMPARE(QDir(folder).entryList({"*.png"}, QDir::Files).size(), 3);
}

PELVANE_TEST_MAIN(TestFavorites)
#include "tst_favorites.moc"
