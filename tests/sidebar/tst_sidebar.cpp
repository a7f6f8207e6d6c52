#include "history/HistoryStore.h"
#include "platform/BackgroundJob.h"
#include "platform/FolderTree.h"
#include "platform/PlainTip.h"
#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "platform/ShellFolders.h"
#include "sidebar/FavoritesFind.h"
#include "sidebar/FavoritesPane.h"
#include "sidebar/FindPanel.h"
#include "sidebar/GroupsPane.h"
#include "sidebar/HistoryPane.h"
#include "sidebar/HistoryProperties.h"
#include "sidebar/PaneParts.h"
#include "sidebar/SideBarDialogs.h"
#include "sidebar/SideBar.h"
#include "support/ActiveWindow.h"
#include "support/FakeSideBarHost.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

namespace {

using TestFiles::writeFile;

void shortcut(const QString& path, const QString& url)
{
    writeFile(path, "[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n");
}

// A side bar on a hive and folders of its own.
struct Bench
{
    QTemporaryDir dir;
    RegistryHive hive{dir.filePath("registry.db")};
    FakeSideBarHost host;
    ScriptedSideBarQuestions questions;
    std::unique_ptr<SideBar> bar;

    QString path(const QString& name) const { return dir.filePath(name); }
    explicit Bench(bool withFolders = true)
    {
        if (withFolders) {
            TRegistry reg(hive);
            reg.openKey(ShellFolders::keyPath(), true);
            reg.writeString("Favorites", path("Favorites"));
            reg.writeString("History", path("History"));
            QDir().mkpath(path("Favorites"));
            QDir().mkpath(path("History"));
        }
        bar = std::make_unique<SideBar>(
            host, hive, SideBar::Places{path("History/history.db"), path("SorvelGroups")},
            &questions);
        bar->resize(240, 500);
    }
    HistoryStore& store()
    {
        if (!m_store)
            m_store = std::make_unique<HistoryStore>(path("History/history.db"));
        return *m_store;
    }
    std::unique_ptr<HistoryStore> m_store;
};

QStringList captionsOf(const QList<FoundRow>& rows)
{
    QStringList result;
    for (const FoundRow& row : rows)
        result << row.caption;
    return result;
}

void waitFor(BackgroundJob* job)
{
    QTRY_VERIFY(!job->isRunning());
}

void press(QTreeWidget* tree, QTreeWidgetItem* item, Qt::MouseButton button,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    tree->scrollToItem(item);
    QTest::mousePress(tree->viewport(), button, modifiers, tree->visualItemRect(item).center());
    QTest::mouseRelease(tree->viewport(), button, modifiers, tree->visualItemRect(item).center());
}

QTreeWidgetItem* child(QTreeWidgetItem* parent, const QString& text)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == text)
            return parent->child(i);
    }
    return nullptr;
}

} // namespace

class TestSideBar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Sub-folders depth first, before the folder's own shortcuts; name or address matches.
    void favoritesFindOrder()
    {
        QTemporaryDir dir;
        const QString root = dir.filePath("Fav");
        shortcut(root + "/Own news.url", "http://own.example/");
        shortcut(root + "/First/Inner/Deep.url", "http://deep.example/news");
        shortcut(root + "/First/first NEWS.url", "http://first.example/");
        shortcut(root + "/Second/Plain.url", "http://second.example/NEWS");
        shortcut(root + "/Second/Other.url", "http://other.example/");
        shortcut(root + "/.hidden/news.url", "http://hidden.example/");
        writeFile(root + "/No address.url", "[InternetShortcut]\r\nIconIndex=1\r\n");
        writeFile(root + "/Binary news.url", QByteArray("\0\1\2\3news", 8));
        writeFile(root + "/news.txt", "not a shortcut");
        QVERIFY(QFile::link(root, root + "/First/Loop")); // a link back up

        // Sub-folders come in the order the file system lists them.
        QStringList expected;
        for (const QString& sub :
             QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted)) {
            if (sub == "First")
                expected << "Deep"
                         << "first NEWS";
            else if (sub == "Second")
                expected << "Plain";
        }
        expected << "Binary news"
                 << "Own news";
        QStringList found = captionsOf(findFavorites(root, "news"));
        // The folder's own shortcuts follow the file system's order too.
        QCOMPARE(found.size(), expected.size());
        QCOMPARE(found.mid(0, 3), expected.mid(0, 3));
        QCOMPARE(QSet<QString>(found.begin() + 3, found.end()),
                 QSet<QString>(expected.begin() + 3, expected.end()));
        QCOMPARE(findFavorites(root, "NO ADDRESS").value(0), (FoundRow{"No address", ""}));
        QVERIFY(findFavorites(dir.filePath("missing"), "news").isEmpty());
        QVERIFY(findFavorites(root + "/news.txt", "news").isEmpty());
    }

    void favoritesPane()
    {
        Bench b;
        shortcut(b.path("Favorites/Links/Site.url"), "http://site.example/");
        shortcut(b.path("Favorites/News.url"), "http://news.example/");
        b.bar->ShowSideBar(true);
        FavoritesPane* pane = b.bar->favorites();
        FolderTree* tree = pane->tree();
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->topLevelItem(0)->text(0), QString("Links")); // folders first

        // A click opens with "FavoritesNewWin"; Shift inverts it; a folder opens and closes.
        b.host.flags.favorites = true;
        press(tree, tree->topLevelItem(1), Qt::LeftButton);
        press(tree, tree->topLevelItem(1), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(b.host.calls,
                 (QStringList{"open http://news.example/ 1 0", "open http://news.example/ 1 1"}));
        press(tree, tree->topLevelItem(0), Qt::LeftButton);
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        press(tree, tree->topLevelItem(0), Qt::LeftButton);
        QVERIFY(!tree->topLevelItem(0)->isExpanded());

        // The keyboard does as much: Enter opens (Shift inverting), Shift+F10 shows the
        // entry's menu, F2 renames it.
        tree->setCurrentItem(tree->topLevelItem(1));
        QTest::keyClick(tree, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(b.host.calls.last(), QString("open http://news.example/ 1 1"));
        QTest::keyClick(tree, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(pane->contextMenu()->isVisible() && pane->menuNode() == tree->topLevelItem(1));
        pane->contextMenu()->hide();
        b.questions.texts = {QString("Paper")};
        QTest::keyClick(tree, Qt::Key_F2);
        QVERIFY(QFileInfo::exists(b.path("Favorites/Paper.url")));

        // The find: Enter in the edit runs it and goes no further; nothing found says so.
        pane->findToggle()->trigger();
        QVERIFY(pane->findPanel()->isVisible());
        pane->findPanel()->edit()->setText("SITE.example");
        QTest::keyClick(pane->findPanel()->edit(), Qt::Key_Return);
        waitFor(pane->findJob());
        QCOMPARE(pane->findPanel()->rows(), (QList<FoundRow>{{"Site", "http://site.example/"}}));
        pane->findPanel()->edit()->setText("nothing like it");
        pane->find();
        waitFor(pane->findJob());
        QCOMPARE(pane->findPanel()->rows(), (QList<FoundRow>{{"No items found.", ""}}));
        b.host.calls.clear();
        QTreeWidget* list = pane->findPanel()->results();
        list->setCurrentItem(list->topLevelItem(0));
        QTest::keyClick(list, Qt::Key_Space);
        QVERIFY(b.host.calls.isEmpty()); // the "No items found." row opens nothing
    }

    void favoritesContextMenu()
    {
        Bench b;
        shortcut(b.path("Favorites/Old.url"), "http://old.example/");
        b.bar->ShowSideBar(true);
        FavoritesPane* pane = b.bar->favorites();
        pane->setMenuNode(pane->tree()->topLevelItem(0));
        b.questions.texts = {QString("New")};
        pane->contextMenu()->actions().at(3)->trigger(); // Rename
        QVERIFY(QFileInfo::exists(b.path("Favorites/New.url")));
        QCOMPARE(pane->tree()->topLevelItem(0)->text(0), QString("New"));
        pane->setMenuNode(pane->tree()->topLevelItem(0));
        b.questions.texts = {QString("a/b")}; // no path through a rename
        pane->contextMenu()->actions().at(3)->trigger();
        QVERIFY(QFileInfo::exists(b.path("Favorites/New.url")));
        QCOMPARE(b.questions.told.size(), 1);
        pane->setMenuNode(pane->tree()->topLevelItem(0));
        pane->contextMenu()->actions().at(1)->trigger(); // Open in New Tab
        QCOMPARE(b.host.calls, QStringList{"newtab http://old.example/"});
        b.questions.confirmations = {false};
        pane->contextMenu()->actions().at(4)->trigger(); // Delete, answered No
        QVERIFY(QFileInfo::exists(b.path("Favorites/New.url")));
    }

    void autoExpand_data()
    {
        QTest::addColumn<bool>("on");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void autoExpand()
    {
        QFETCH(bool, on);
        Bench b;
        for (const char* sub : {"A/X/x.url", "A/Y/y.url", "B/b.url"})
            shortcut(b.path("Favorites/") + sub, "http://x/");
        b.host.autoExpand = on;
        b.bar->ShowSideBar(true);
        FolderTree* tree = b.bar->favorites()->tree();
        QTreeWidgetItem* a = tree->topLevelItem(0);
        QTreeWidgetItem* top = tree->topLevelItem(1);
        a->setExpanded(true);
        top->setExpanded(true); // top-level nodes are left alone
        QVERIFY(a->isExpanded());
        child(a, "X")->setExpanded(true);
        child(a, "Y")->setExpanded(true);
        QCOMPARE(child(a, "X")->isExpanded(), !on);
        QVERIFY(child(a, "Y")->isExpanded());
        // A refresh sees the disk again and keeps open what was open.
        shortcut(b.path("Favorites/A/Y/new.url"), "http://x/");
        tree->refresh();
        QCOMPARE(child(tree->topLevelItem(0), "Y")->childCount(), 2);
        QVERIFY(child(tree->topLevelItem(0), "Y")->isExpanded());
    }

    // A folder too large to read at once is listed in the background, then shown in slices.
    void largeFolder()
    {
        QTemporaryDir dir;
        const int count = FolderTree::ReadAtOnce + FolderTree::NodesPerSlice + 5;
        for (int i = 0; i < count; ++i)
            writeFile(dir.filePath(QString("big/f%1.url").arg(i, 5, 10, QChar('0'))), "");
        QDir().mkpath(dir.filePath("big/A folder"));
        FolderTree tree;
        QSignalSpy read(&tree, &FolderTree::folderRead);
        tree.setRoot(dir.filePath("missing"));
        QVERIFY(!tree.errorText().isEmpty());
        tree.setRoot(dir.filePath("big"));
        QVERIFY(tree.isReading());
        QVERIFY(tree.errorText().isEmpty());
        QCOMPARE(tree.topLevelItem(0)->text(0), QString("Loading..."));
        QVERIFY(read.wait());
        QVERIFY(!tree.isReading());
        QCOMPARE(tree.topLevelItemCount(), count + 1);
        QCOMPARE(tree.topLevelItem(0)->text(0), QString("A folder"));
        QCOMPARE(tree.topLevelItem(count)->text(0),
                 QString("f%1").arg(count - 1, 5, 10, QChar('0')));
        // A new root drops a reading still under way.
        tree.setRoot(dir.filePath("big"));
        tree.setRoot(dir.filePath("big/A folder"));
        QTRY_VERIFY(!tree.isReading());
        QCOMPARE(tree.topLevelItemCount(), 0);
    }

    // A refresh of a wide tree with every folder open opens each again, the ones read in
    // the same walk included, and keeps the chosen shortcut deep in the last one. Its time
    // against the tree's size is in the side bar's benchmark.
    void refreshReopensEveryFolder()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 8; ++i) {
            for (int j = 0; j < 30; ++j)
                writeFile(dir.filePath(QString("%1/%2/a.url").arg(i).arg(j)), "");
        }
        FolderTree tree;
        tree.setAutoExpand(false);
        tree.setRoot(dir.path());
        QStringList open;
        for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
            if (FolderTree::isFolder(*it)) {
                (*it)->setExpanded(true);
                open.append(FolderTree::pathOf(*it));
            }
        }
        QCOMPARE(open.size(), 8 + 8 * 30);
        const QString chosen = FolderTree::pathOf(tree.topLevelItem(7)->child(29)->child(0));
        tree.setCurrentItem(tree.nodeOf(chosen));

        tree.refresh();
        QStringList closed;
        for (const QString& path : std::as_const(open)) {
            QTreeWidgetItem* node = tree.nodeOf(path);
            if (!node || !node->isExpanded() || node->childCount() == 0)
                closed.append(path);
        }
        QVERIFY2(closed.isEmpty(), qPrintable(closed.join(", ")));
        QCOMPARE(tree.selectedPath(), chosen);
    }

    // A tree to choose a folder in shows its root as the one top node, open; a refresh keeps
    // it and the choice.
    void rootNode()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("root/Work"));
        writeFile(dir.filePath("root/a.url"), "");
        FolderTree tree;
        tree.setFoldersOnly(true);
        tree.setRootNode("Favorites");
        tree.setRoot(dir.filePath("root"));
        QCOMPARE(tree.topLevelItemCount(), 1);
        QTreeWidgetItem* top = tree.rootNode();
        QCOMPARE(top->text(0), QString("Favorites"));
        QCOMPARE(FolderTree::pathOf(top), dir.filePath("root"));
        QVERIFY(FolderTree::isFolder(top));
        QVERIFY(top->isExpanded());
        QCOMPARE(top->childCount(), 1);
        QCOMPARE(top->child(0)->text(0), QString("Work"));

        tree.setCurrentItem(top->child(0));
        QDir().mkpath(dir.filePath("root/Home"));
        tree.refresh();
        QCOMPARE(tree.rootNode()->childCount(), 2);
        QVERIFY(tree.rootNode()->isExpanded());
        QCOMPARE(tree.selectedPath(), dir.filePath("root/Work"));

        // An empty root has no arrow to open; a missing one says why.
        tree.setRoot(dir.filePath("root/Work"));
        QCOMPARE(tree.rootNode()->childIndicatorPolicy(),
                 QTreeWidgetItem::DontShowIndicatorWhenChildless);
        QVERIFY(tree.errorText().isEmpty());
        tree.setRoot(dir.filePath("missing"));
        QCOMPARE(tree.topLevelItemCount(), 1);
        QVERIFY(tree.errorText().contains("does not exist"));
    }

    void badFolders()
    {
        Bench b(false); // no Shell Folders values
        b.bar->ShowSideBar(true);
        QCOMPARE(b.bar->favorites()->tree()->topLevelItemCount(), 0);
        b.bar->showPane(SideBar::Pane::History);
        QCOMPARE(b.bar->history()->tree()->topLevelItemCount(), 0);
        // A find without a History folder leaves the list as it was.
        b.bar->history()->findPanel()->showRows({{"kept", "http://kept/"}});
        b.bar->history()->findPanel()->edit()->setText("x");
        b.bar->history()->find();
        QCOMPARE(b.bar->history()->findPanel()->rows().size(), 1);
        QCOMPARE(b.bar->history()->findPanel()->rows().at(0).caption, QString("kept"));

        Bench file;
        TRegistry reg(file.hive);
        reg.openKey(ShellFolders::keyPath(), false);
        writeFile(file.path("favorites-file"), "x");
        reg.writeString("Favorites", file.path("favorites-file"));
        file.bar->ShowSideBar(true);
        QCOMPARE(file.bar->favorites()->tree()->topLevelItemCount(), 0);
        QVERIFY(file.host.status.last().contains("is not a folder"));

        // A history store that cannot be opened: an empty tree and a word in the status bar.
        Bench store;
        QDir().mkpath(store.path("History/history.db"));
        store.bar->showPane(SideBar::Pane::History);
        QCOMPARE(store.bar->history()->tree()->topLevelItemCount(), 0);
        QVERIFY(!store.host.status.isEmpty());
        store.questions.confirmations = {true};
        store.bar->history()->clearHistory(); // nothing to clear, nothing breaks

        // A name that is not UTF-8 is passed over (it could not be opened by its decoded
        // name); a shortcut that is not text is listed and opens nothing.
        Bench names;
        const QByteArray raw = QFile::encodeName(names.path("Favorites/")) + "bad\xff\xfe.url";
        const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        ::close(fd);
        writeFile(names.path("Favorites/binary.url"), QByteArray(3 << 20, '\0'));
        names.bar->ShowSideBar(true);
        FolderTree* tree = names.bar->favorites()->tree();
        QCOMPARE(tree->topLevelItemCount(), 1);
        press(tree, tree->topLevelItem(0), Qt::LeftButton);
        QVERIFY(names.host.calls.isEmpty());
        QVERIFY(names.host.status.last().contains("holds no address"));
        names.bar->favorites()->findPanel()->edit()->setText("binary");
        names.bar->favorites()->find();
        waitFor(names.bar->favorites()->findJob());
        QCOMPARE(names.bar->favorites()->findPanel()->rows(), (QList<FoundRow>{{"binary", ""}}));
    }

    // The history pane is rooted on its first display only, and again after the history
    // options changed.
    void historyRootedOnce()
    {
        Bench b;
        b.store().recordVisit("http://a.example/", "A");
        b.bar->ShowSideBar(true);
        QVERIFY(!b.bar->HistoryRooted());
        b.bar->showPane(SideBar::Pane::History);
        QVERIFY(b.bar->HistoryRooted());
        QTreeWidget* tree = b.bar->history()->tree();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->text(0), QString("Today"));
        b.store().recordVisit("http://b.example/", "B", QDateTime::currentDateTime().addDays(-30));
        b.bar->showPane(SideBar::Pane::Favorites);
        b.bar->showPane(SideBar::Pane::History);
        QCOMPARE(tree->topLevelItemCount(), 1); // not read again
        b.bar->showPane(SideBar::Pane::Favorites);
        b.bar->historyOptionsChanged();
        QVERIFY(!b.bar->HistoryRooted());
        b.bar->showPane(SideBar::Pane::History);
        QCOMPARE(tree->topLevelItemCount(), 2);
    }

    void historyTreeAndMenu()
    {
        Bench b;
        b.store().recordVisit("http://a.example/page", "Page A");
        b.store().recordVisit("http://a.example/other", "Other A");
        b.bar->showPane(SideBar::Pane::History);
        HistoryPane* pane = b.bar->history();
        QTreeWidget* tree = pane->tree();
        QTreeWidgetItem* today = tree->topLevelItem(0);
        press(tree, today, Qt::LeftButton); // a folder opens
        QVERIFY(today->isExpanded());
        QTreeWidgetItem* site = child(today, "a.example");
        QVERIFY(site);
        site->setExpanded(true);
        QTreeWidgetItem* page = child(site, "Page A");
        QVERIFY(page);

        // Right press: none on a period; a site shows Open, Delete and the first separator.
        QVERIFY(!pane->prepareMenu(today));
        QVERIFY(pane->prepareMenu(site));
        QStringList shown;
        for (QAction* item : pane->contextMenu()->actions()) {
            if (item->isVisible())
                shown << (item->isSeparator() ? QString("-") : item->text());
        }
        QCOMPARE(shown, (QStringList{"&Open", "-", "&Delete"}));
        QVERIFY(pane->prepareMenu(page));
        QVERIFY(pane->menuItem("pmHistoryProperties")->isVisible());

        // Opening an entry leaves the clipboard alone; only Copy puts the address there.
        QApplication::clipboard()->setText("the user's own");
        b.host.flags.history = false;
        press(tree, page, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(b.host.calls, QStringList{"open http://a.example/page 0 1"});
        QCOMPARE(QApplication::clipboard()->text(), QString("the user's own"));
        pane->menuItem("pmHistoryNewWindow")->trigger();
        QCOMPARE(b.host.calls.last(), QString("newtab http://a.example/page"));
        pane->menuItem("pmHistoryCopy")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString("http://a.example/page"));
        // Enter opens as a click does; the Menu key shows the entry's menu.
        tree->setCurrentItem(page);
        QTest::keyClick(tree, Qt::Key_Enter);
        QCOMPARE(b.host.calls.last(), QString("open http://a.example/page 0 0"));
        QTest::keyClick(tree, Qt::Key_Menu);
        QVERIFY(pane->contextMenu()->isVisible());
        pane->contextMenu()->hide();

        // Delete a page, then the whole site of the period.
        pane->menuItem("pmHistoryDelete")->trigger();
        QVERIFY(!b.store().entry("http://a.example/page"));
        QTreeWidgetItem* siteAgain = child(tree->topLevelItem(0), "a.example");
        QVERIFY(siteAgain && siteAgain->isExpanded());
        QCOMPARE(siteAgain->childCount(), 1);
        QVERIFY(pane->prepareMenu(siteAgain));
        pane->menuItem("pmHistoryDelete")->trigger();
        QCOMPARE(b.store().pageCount(), 0);
        QCOMPARE(tree->topLevelItemCount(), 0);
    }

    void historyFindAndClear()
    {
        Bench b;
        const QDateTime now = QDateTime::currentDateTime();
        b.store().recordVisit("http://twice.example/", "Visited Twice", now.addDays(-21));
        b.store().recordVisit("http://twice.example/", "Visited Twice", now);
        b.store().recordVisit("http://title.example/", "Holds TWICE in its title", now);
        b.bar->showPane(SideBar::Pane::History);
        HistoryPane* pane = b.bar->history();
        pane->findPanel()->edit()->setText("twice");
        pane->find();
        waitFor(pane->findJob());
        QStringList captions = captionsOf(pane->findPanel()->rows());
        QCOMPARE(captions.count("Visited Twice"), 2); // once per period
        QCOMPARE(captions.count("Holds TWICE in its title"), 1);

        b.questions.confirmations = {false, true};
        pane->clearHistory();
        QCOMPARE(b.store().pageCount(), 2);
        pane->clearHistory();
        QCOMPARE(b.questions.asked.last(),
                 QString("Pelvane: This will clear your global history. Are you sure you want "
                         "to proceed?"));
        QCOMPARE(b.store().pageCount(), 0);
        QCOMPARE(pane->tree()->topLevelItemCount(), 0);
        QCOMPARE(pane->findPanel()->rows().size(), 3); // the list is left as it is
        pane->find();
        waitFor(pane->findJob());
        QCOMPARE(pane->findPanel()->rows(), (QList<FoundRow>{{"No items found.", ""}}));
    }

    // A page's title or a file's name is shown as it is: markup in it is never drawn.
    void namesAreNotMarkup()
    {
        const QString name = "<b>x</b><img src=\"file:///tmp/x.png\">";
        const HistoryProperties properties({"http://a.example/", name, "a.example", {}, 1});
        const auto labels = properties.findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(), [&](const QLabel* label) {
            return label->text() == name && label->textFormat() == Qt::PlainText;
        }));

        SideBarDialogs dialogs(nullptr);
        QList<Qt::TextFormat> formats;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                formats << box->textFormat();
                box->done(QMessageBox::No);
            }
        });
        answer.start(10);
        dialogs.tell(name);
        QVERIFY(!dialogs.confirm("Confirm Delete", name));
        QCOMPARE(formats, (QList<Qt::TextFormat>{Qt::PlainText, Qt::PlainText}));
        QVERIFY(plainTip(name).contains("&lt;img"));
    }

    void groupsPane()
    {
        Bench b;
        writeFile(b.path("SorvelGroups/Work.sgp"), "[SorvelGroup]\r\n");
        writeFile(b.path("SorvelGroups/Shout.SGP"), "[SorvelGroup]\r\n");
        QDir().mkpath(b.path("SorvelGroups/Folder"));
        b.host.closeFirst = true;
        b.bar->showPane(SideBar::Pane::SorvelGroups);
        QVERIFY(b.bar->isVisible() || !b.bar->isHidden());
        GroupsPane* pane = b.bar->groups();
        FolderTree* tree = pane->tree();
        QCOMPARE(tree->topLevelItemCount(), 3);
        // A click opens a group, a second click on it does not again; the arrow keys only
        // move the selection, and Enter opens what they reached.
        QTreeWidgetItem* work = tree->nodeOf(b.path("SorvelGroups/Work.sgp"));
        const QPoint onWork = tree->visualItemRect(work).center();
        const QStringList opened{"group " + b.path("SorvelGroups/Work.sgp") + " 1 0"};
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, onWork);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, onWork);
        QCOMPARE(b.host.calls, opened);
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Up);
        QCOMPARE(tree->currentItem(), tree->nodeOf(b.path("SorvelGroups/Shout.SGP")));
        QCOMPARE(b.host.calls, opened);
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(b.host.calls.last(), "group " + b.path("SorvelGroups/Shout.SGP") + " 1 0");
        // The window's key table leaves F2 to this tree when it has the keyboard.
        QVERIFY(activateForKeys(tree));
        tree->setFocus();
        QVERIFY(tree->hasFocus() && b.bar->renameTreeFocused());

        pane->prepareMenu(tree->nodeOf(b.path("SorvelGroups/Folder")));
        QVERIFY(!pane->organizeItem()->isVisible());
        pane->prepareMenu(work);
        QVERIFY(pane->organizeItem()->isVisible());

        b.questions.texts = {QString("Home"), QString(""), QString("Loud")};
        pane->renameGroup();
        QVERIFY(QFileInfo::exists(b.path("SorvelGroups/Home.sgp")));
        QCOMPARE(b.questions.asked.last(),
                 QString("Rename SorvelGroup: Enter new SorvelGroup name (no extension): [Work]"));
        pane->prepareMenu(tree->nodeOf(b.path("SorvelGroups/Home.sgp")));
        pane->renameGroup(); // an empty answer changes nothing
        QVERIFY(QFileInfo::exists(b.path("SorvelGroups/Home.sgp")));
        pane->prepareMenu(tree->nodeOf(b.path("SorvelGroups/Shout.SGP")));
        pane->renameGroup();
        QVERIFY(b.questions.asked.last().endsWith("[Shout.SGP]"));
        QVERIFY(QFileInfo::exists(b.path("SorvelGroups/Loud.sgp")));
        QVERIFY(b.host.calls.contains("changed"));
    }
};

PELVANE_TEST_MAIN(TestSideBar)
#include "tst_sidebar.moc"
