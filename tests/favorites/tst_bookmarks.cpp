#include "favorites/Bookmarks.h"
#include "favorites/FavoritesTransfer.h"
#include "integration/DiscMonitor.h"
#include "support/DiscMonitorWait.h"
#include "support/ProgramRun.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

using TestFiles::readFile;
using TestFiles::writeFile;

namespace {

const char Exported[] = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks</H1>
<DL><p>
    <DT><H3 ADD_DATE="1600000000">Toolbar</H3>
    <DL><p>
        <DT><A HREF="https://example.org/?a=1&amp;b=2" ADD_DATE="1600000001">Tom &amp; Jerry</A>
        <DT><A HREF="https://example.org/2">Tom &amp; Jerry</A>
        <DT><A HREF="https://q.example/">What? A: b/c</A>
        <DT><A HREF="">No address</A>
    </DL><p>
    <DT><H3>Empty</H3>
    <DL><p>
    </DL><p>
    <DT><A HREF="https://top.example/">Caf&#233; &lt;b&gt;</A>
</DL><p>
)";

QString dropDates(const QByteArray& html)
{
    return QString::fromUtf8(html).remove(QRegularExpression(QStringLiteral(" ADD_DATE=\"\\d+\"")));
}

QStringList listing(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    return found;
}

// The number of a process that has ended.
qint64 endedProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

} // namespace

class TestBookmarks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void netscapeFileIsRead();
    void roundTripKeepsTheTree();
    void hostileFiles_data();
    void hostileFiles();
    void chromiumAndFirefoxProfiles();
    void chromiumExportReadsBack();
    void importLandsInOneChange();
    void commandLine();
    void unfinishedTransfersGoAtStart();
};

void TestBookmarks::netscapeFileIsRead()
{
    const BookmarkRead read = readNetscapeBookmarks(Exported);
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(read.root.children.size(), 3);
    const BookmarkNode& toolbar = read.root.children.at(0);
    QVERIFY(toolbar.folder);
    QCOMPARE(toolbar.added.toSecsSinceEpoch(), 1600000000);
    QCOMPARE(toolbar.children.at(0).url, QStringLiteral("https://example.org/?a=1&b=2"));
    QCOMPARE(toolbar.children.at(0).title, QStringLiteral("Tom & Jerry"));
    QCOMPARE(read.root.children.at(2).title, QStringLiteral("Café <b>"));
    const BookmarkCounts counts = countBookmarks(read.root);
    QCOMPARE(counts.folders, 2);
    QCOMPARE(counts.bookmarks, 5);
    // Windows text is read as such.
    const BookmarkRead ansi = readNetscapeBookmarks("<DL><DT><A HREF=\"x\">Caf\xe9</A></DL>");
    QCOMPARE(ansi.root.children.value(0).title, QStringLiteral("Café"));
}

void TestBookmarks::roundTripKeepsTheTree()
{
    const QString first = TestFiles::home(QStringLiteral("first"));
    auto outcome = FavoritesTransfer::writeTree(readNetscapeBookmarks(Exported).root, first);
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QCOMPARE(outcome.counts.bookmarks, 4); // the one without an address is passed over
    QCOMPARE(listing(first),
             QStringList({"Café b.url", "Empty", "Toolbar", "Toolbar/Tom & Jerry (2).url",
                          "Toolbar/Tom & Jerry.url", "Toolbar/What A b-c.url"}));
    QCOMPARE(readFile(first + "/Toolbar/Tom & Jerry.url"),
             QByteArray("[InternetShortcut]\r\nURL=https://example.org/?a=1&b=2\r\n"));

    // Export, import into an empty folder, export again: the same file but for dates.
    const QString html1 = TestFiles::home(QStringLiteral("one.html"));
    const QString html2 = TestFiles::home(QStringLiteral("two.html"));
    QVERIFY(FavoritesTransfer::exportTo(first, html1).ok());
    const QString second = TestFiles::home(QStringLiteral("second"));
    QVERIFY(FavoritesTransfer::writeTree(readBookmarkFile(html1).root, second).ok());
    QVERIFY(FavoritesTransfer::exportTo(second, html2).ok());
    QCOMPARE(dropDates(readFile(html2)), dropDates(readFile(html1)));
    QVERIFY(readFile(html1).contains("<DT><A HREF=\"https://example.org/?a=1&amp;b=2\" "
                                     "ADD_DATE=\"1600000001\">Tom &amp; Jerry</A>"));

    // Into the Favorites: a new folder, renamed into place whole; a second one is "(2)".
    const QString favorites = TestFiles::home(QStringLiteral("Favorites"));
    const BookmarkNode tree = readBookmarkFile(html1).root;
    QVERIFY(FavoritesTransfer::importInto(tree, favorites, "Imported").ok());
    const auto again = FavoritesTransfer::importInto(tree, favorites, "imported");
    QCOMPARE(again.folder, favorites + "/imported (2)");
    QCOMPARE(QDir(favorites).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"Imported", "imported (2)"}));
}

void TestBookmarks::importLandsInOneChange()
{
    // Staged beside the Favorites, hidden, named for this process.
    const QString favorites = TestFiles::home(QStringLiteral("Watched/Favorites"));
    QVERIFY(QDir().mkpath(favorites));
    const QString beside = FavoritesTransfer::stagingFolder(favorites, false);
    QCOMPARE(QFileInfo(beside).absolutePath(), QFileInfo(favorites).absolutePath());
    QVERIFY(QFileInfo(beside).fileName().startsWith(
        QStringLiteral(".Favorites.import-%1-").arg(QCoreApplication::applicationPid())));
    QCOMPARE(QFileInfo(FavoritesTransfer::stagingFolder(favorites, true)).absolutePath(),
             QDir(favorites).absolutePath());

    // The menu, the side bar and the favorites window watch the whole tree: a large import
    // reaches them as one change, when it lands.
    TDiscMonitor monitor;
    monitor.SetDirectory(favorites);
    monitor.SetFilters(TDiscMonitor::FileName | TDiscMonitor::DirName | TDiscMonitor::LastWrite);
    monitor.SetActive(true);
    QSignalSpy changes(&monitor, &TDiscMonitor::OnChange);
    QVERIFY(DiscMonitorWait::changeUntilHeard(changes, [&](int round) {
        TestFiles::writeFile(favorites + QStringLiteral("/armed%1.url").arg(round), "");
    }));
    BookmarkNode root;
    root.folder = true;
    for (int f = 0; f < 40; ++f) {
        BookmarkNode folder;
        folder.folder = true;
        folder.title = QStringLiteral("Folder %1").arg(f);
        for (int b = 0; b < 100; ++b) {
            BookmarkNode mark;
            mark.title = QStringLiteral("Mark %1").arg(b);
            mark.url = QStringLiteral("http://127.0.0.1/%1/%2").arg(f).arg(b);
            folder.children.append(mark);
        }
        root.children.append(folder);
    }
    changes.clear();
    const auto outcome = FavoritesTransfer::importInto(root, favorites, QStringLiteral("Big"));
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QCOMPARE(outcome.counts.bookmarks, 4000);
    QVERIFY(changes.wait(2000));
    // A change of the test's own, once the import's has been heard, comes as the second:
    // nothing else was on its way.
    TestFiles::writeFile(favorites + QStringLiteral("/after.url"), "");
    QVERIFY(changes.wait(2000));
    QCOMPARE(changes.count(), 2);
    QCOMPARE(QDir(QFileInfo(favorites).absolutePath())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Favorites")});
    QCOMPARE(QDir(favorites + QStringLiteral("/Big"))
                 .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                 .size(),
             40);
}

void TestBookmarks::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    QByteArray deep;
    for (int i = 0; i < 1000; ++i)
        deep += "<DT><H3>f</H3><DL><p>";
    for (int i = 0; i < 1000; ++i)
        deep += "</DL>";
    QTest::newRow("nested 1000 deep") << deep << "Its folders are nested more than 100 deep.";
    QTest::newRow("cut short") << QByteArray(Exported).left(400)
                               << "It ends in the middle of a folder: the file is incomplete.";
    QTest::newRow("binary") << QByteArray("\x7f" "ELF\0\0\x01", 7) << "It is not a text file.";
    QTest::newRow("other html") << QByteArray("<html><body>Hi</body></html>")
                                << "It is not a bookmark file.";
    QTest::newRow("json without roots") << QByteArray("{\"a\": 1}") << "It is not a bookmark file.";
    QTest::newRow("broken json") << QByteArray("{\"roots\": {") << "";
    QTest::newRow("damaged database") << QByteArray("SQLite format 3\0garbage garbage", 32) << "";
}

void TestBookmarks::hostileFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const QString file = writeFile(TestFiles::home(QStringLiteral("hostile")), bytes);
    const BookmarkRead read = readBookmarkFile(file);
    QVERIFY(!read.ok());
    if (!error.isEmpty())
        QCOMPARE(read.error, error);
    QVERIFY(read.root.children.isEmpty());
    // Too large for the bound given.
    BookmarkLimits small;
    small.maxBytes = 100;
    QCOMPARE(readBookmarkFile(writeFile(file, QByteArray(200, ' ')), small).error,
             QStringLiteral("It is larger than 0 MB."));
}

void TestBookmarks::chromiumExportReadsBack()
{
    // A folder as deep as the reader takes one and an address holding a NUL (which JSON can
    // carry and a Netscape file cannot): the export reads as the tree read.
    QByteArray children = R"([{"type": "url", "name": "Deep", "url": "http://127.0.0.1/\u0000a"},
                              {"type": "folder", "name": "Last", "children": []}])";
    for (int depth = BookmarkLimits().maxDepth - 1; depth > 1; --depth)
        children = R"([{"type": "folder", "name": "f", "children": )" + children + "}]";
    const QByteArray json =
        R"({"roots": {"bookmark_bar": {"type": "folder", "children": )" + children + "}}}";
    const BookmarkRead read = readChromiumBookmarks(json);
    QVERIFY2(read.ok(), qPrintable(read.error));
    const BookmarkNode* node = &read.root;
    while (!node->children.isEmpty())
        node = &node->children.first();
    QCOMPARE(node->url, QStringLiteral("http://127.0.0.1/a"));
    const BookmarkRead again = readNetscapeBookmarks(writeNetscapeBookmarks(read.root));
    QVERIFY2(again.ok(), qPrintable(again.error));
    QCOMPARE(again.root, read.root);
    // One folder more is refused.
    const QByteArray deeper =
        R"({"roots": {"x": {"type": "folder", "children": [{"type": "folder", "children": )" +
        children + "}]}}}";
    QVERIFY(!readChromiumBookmarks(deeper).ok());
}

void TestBookmarks::chromiumAndFirefoxProfiles()
{
    const QString home = TestFiles::home(QStringLiteral("user"));
    writeFile(home + "/.config/chromium/Default/Bookmarks", R"({"roots": {
        "bookmark_bar": {"type": "folder", "name": "Bookmarks bar", "children": [
            {"type": "url", "name": "One", "url": "https://one.example/", "date_added": "13300000000000000"},
            {"type": "folder", "name": "Sub", "children": [{"type": "url", "name": "Two", "url": "https://two.example/"}]}]},
        "other": {"type": "folder", "name": "Other bookmarks", "children": []}}, "version": 1})");

    const QString places = home + "/.mozilla/firefox/abc.default-release/places.sqlite";
    QDir().mkpath(QFileInfo(places).path());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("ff"));
        db.setDatabaseName(places);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const char* sql :
             {"PRAGMA user_version = 74",
              "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT)",
              "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, "
              "parent INTEGER, position INTEGER, title TEXT, dateAdded INTEGER, guid TEXT)",
              "INSERT INTO moz_places VALUES (1, 'https://ff.example/'), (2, 'place:tag=x')",
              "INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', 0, 'root________'),"
              "(2, 2, NULL, 1, 0, 'menu', 0, 'menu________'),"
              "(3, 2, NULL, 1, 1, 'toolbar', 0, 'toolbar_____'),"
              "(4, 2, NULL, 1, 2, 'tags', 0, 'tags________'),"
              "(5, 1, 1, 3, 0, 'Fox', 1600000000000000, 'a'),"
              "(6, 1, 2, 3, 1, 'Query', 0, 'b'),"
              "(7, 3, NULL, 3, 2, NULL, 0, 'c'),"
              "(8, 1, 1, 4, 0, 'tagged', 0, 'd')",
              // A running Firefox holds its file locked: the reader copies it first.
              "PRAGMA locking_mode = EXCLUSIVE", "BEGIN EXCLUSIVE",
              "INSERT INTO moz_places VALUES (3, 'https://uncommitted.example/')"})
            QVERIFY2(q.exec(QString::fromLatin1(sql)), qPrintable(q.lastError().text()));

        const auto found = FavoritesTransfer::findBrowserBookmarks(home);
        QCOMPARE(found.size(), 2);
        QCOMPARE(found.at(0).label, QStringLiteral("Firefox (default-release)"));
        QCOMPARE(found.at(1).label, QStringLiteral("Chromium (Default)"));

        BookmarkLimits small; // the byte bound is the text formats'
        small.maxBytes = 100;
        const BookmarkRead fox = readBookmarkFile(places, small);
        QVERIFY2(fox.ok(), qPrintable(fox.error));
        QCOMPARE(fox.root.children.size(), 1);
        QCOMPARE(fox.root.children.at(0).title, QStringLiteral("Bookmarks Toolbar"));
        QCOMPARE(fox.root.children.at(0).children.size(), 1);
        QCOMPARE(fox.root.children.at(0).children.at(0).url, QStringLiteral("https://ff.example/"));
        q.exec(QStringLiteral("ROLLBACK"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("ff"));

    const BookmarkRead chrome = readBookmarkFile(home + "/.config/chromium/Default/Bookmarks");
    QVERIFY2(chrome.ok(), qPrintable(chrome.error));
    QCOMPARE(chrome.root.children.size(), 1); // the empty "other" root is left out
    QCOMPARE(countBookmarks(chrome.root).bookmarks, 2);
    QCOMPARE(chrome.root.children.at(0).children.at(0).added.date().year(), 2022);
}

void TestBookmarks::commandLine()
{
    const QString home = TestFiles::home(QStringLiteral("program"));
    const auto run = [&home](const QStringList& args, QByteArray* out = nullptr) {
        QProcess process;
        QProcessEnvironment env = ProgramRun::environment(home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(PELVANE_BINARY), args);
        process.waitForFinished(30000);
        if (out)
            *out = process.readAllStandardOutput() + process.readAllStandardError();
        return process.exitCode();
    };
    const QString source = writeFile(home + "/in.html", Exported);
    QByteArray said;
    QCOMPARE(run({"--import-bookmarks", source, "From Elsewhere"}, &said), 0);
    QCOMPARE(said, QByteArray("Imported 4 bookmarks in 2 folders into " +
                              QFile::encodeName(home) + "/Favorites/From Elsewhere\n"));
    const QString exported = home + "/out.html";
    QCOMPARE(run({"--export-bookmarks", exported}, &said), 0);
    QVERIFY(said.startsWith("Exported 4 bookmarks in 3 folders to "));
    QVERIFY(readFile(exported).contains("<DT><H3>From Elsewhere</H3>"));

    // Refused: exit 2 with the reason, and nothing written.
    const QStringList before = listing(home + "/Favorites");
    QCOMPARE(run({"--import-bookmarks", writeFile(home + "/cut.html", QByteArray(Exported).left(400))},
                 &said),
             2);
    QVERIFY(said.contains("incomplete"));
    QCOMPARE(run({"--import-bookmarks", source, "From Elsewhere"}, &said), 2);
    QCOMPARE(run({"--import-bookmarks"}, &said), 2);
    QCOMPARE(listing(home + "/Favorites"), before);
    QCOMPARE(run({"--export-bookmarks", home + "/missing/out.html"}, &said), 2);
    QVERIFY(!QFileInfo::exists(home + "/missing"));
}

void TestBookmarks::unfinishedTransfersGoAtStart()
{
    const QString favorites = TestFiles::home(QStringLiteral("Unfinished"));
    const QString gone = QString::number(endedProcess());
    const auto staging = [&favorites](const QString& name) {
        const QString folder = QDir(favorites).filePath(name);
        writeFile(folder + QStringLiteral("/Folder/Page.url"), "[InternetShortcut]\r\nURL=x\r\n");
        return folder;
    };
    const QString ended = staging(QStringLiteral(".import-%1-aaaaaaaaaaaa").arg(gone));
    const QString olderVersion = staging(QStringLiteral(".import-0123456789ab"));
    const QString ours = staging(QStringLiteral(".import-%1-bbbbbbbbbbbb").arg(qint64(getpid())));
    const QString running = staging(QStringLiteral(".import-1-cccccccccccc")); // init runs
    const QString shortcut = writeFile(QDir(favorites).filePath(QStringLiteral("Kept.url")), "");
    // An import stages beside the Favorites folder.
    const QString besideEnded =
        TestFiles::home(QStringLiteral(".Unfinished.import-%1-ffffffffffff").arg(gone));
    writeFile(besideEnded + QStringLiteral("/Page.url"), "");
    const QString besideOurs =
        TestFiles::home(QStringLiteral(".Unfinished.import-%1-ffffffffffff").arg(qint64(getpid())));
    writeFile(besideOurs + QStringLiteral("/Page.url"), "");

    // An export of a process gone, killed as it put its file in place.
    const QString exported = writeFile(TestFiles::home(QStringLiteral("Out/bookmarks.htm")), "old");
    const QString finished = writeFile(exported + QStringLiteral(".Zx12Qw"), "new");
    const QString note = writeFile(QDir(favorites).filePath(QStringLiteral(".export-%1-dddddddddddd").arg(gone)),
                                   QFileInfo(exported).absoluteFilePath().toUtf8() + '\n');
    // A note cut short names no file that could be trusted.
    const QString otherFile = writeFile(TestFiles::home(QStringLiteral("Out/other.htm.Zx12Qw")), "");
    const QString cutNote = writeFile(QDir(favorites).filePath(QStringLiteral(".export-%1-eeeeeeeeeeee").arg(gone)),
                                      QFileInfo(otherFile).absolutePath().toUtf8() + "/other.htm");

    // All of it made after this start: another copy's, left alone.
    QCOMPARE(FavoritesTransfer::removeUnfinished(favorites, QDateTime::currentDateTime().addSecs(-3600)), 0);
    QVERIFY(QFileInfo::exists(ended));
    QVERIFY(QFileInfo::exists(finished));

    const QDateTime start = QDateTime::currentDateTime().addSecs(1);
    QCOMPARE(FavoritesTransfer::removeUnfinished(favorites, start), 4);
    QVERIFY(!QFileInfo::exists(besideEnded));
    QVERIFY(QFileInfo::exists(besideOurs));
    QVERIFY(!QFileInfo::exists(ended));
    QVERIFY(!QFileInfo::exists(olderVersion));
    QVERIFY2(QFileInfo::exists(ours), "this process's own import may be running");
    QVERIFY2(QFileInfo::exists(running), "a running process's import stays");
    QVERIFY(QFileInfo::exists(shortcut));
    QVERIFY(!QFileInfo::exists(finished));
    QCOMPARE(readFile(exported), QByteArray("old"));
    QVERIFY(!QFileInfo::exists(note));
    QVERIFY(!QFileInfo::exists(cutNote));
    QVERIFY(QFileInfo::exists(otherFile));

    // A whole export leaves no note behind.
    const QString file = TestFiles::home(QStringLiteral("Out/whole.htm"));
    QVERIFY(FavoritesTransfer::exportTo(favorites, file).ok());
    const QStringList notes = QDir(favorites).entryList({QStringLiteral(".export-*")},
                                                        QDir::Files | QDir::Hidden);
    QCOMPARE(notes, QStringList());
}

PELVANE_TEST_GUILESS_MAIN(TestBookmarks)
#include "tst_bookmarks.moc"
