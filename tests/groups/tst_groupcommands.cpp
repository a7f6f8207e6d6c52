#include "groups/GroupCommands.h"
#include "groups/SorvelGroupCommands.h"
#include "groups/dialogs/SorvelGroup.h"
#include "platform/FolderMenu.h"
#include "platform/Paths.h"
#include "support/DataRows.h"
#include "support/ScriptedGroupQuestions.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeWidget>

using namespace TestFiles;

namespace {

// The main window as the page-group commands see it: the shown tabs, and every group it
// was asked to open.
struct FakeGroupHost final : GroupCommandHost
{
    struct Opened
    {
        QList<PageGroupEntry> entries;
        bool replaceTabs = false;
        bool startupMark = false;
    };
    QList<PageGroupEntry> tabs;
    QList<Opened> opened;
    bool sgCloseFirst = false;

    QList<PageGroupEntry> shownTabs() override { return tabs; }
    void openGroupEntries(const QList<PageGroupEntry>& entries, bool replaceTabs,
                          bool startupMark) override
    {
        opened.append({entries, replaceTabs, startupMark});
    }
    bool SGCloseFirst() const override { return sgCloseFirst; }
};

// The commands over a menu whose first four items stand for the commands.
struct Commands
{
    FakeGroupHost host;
    ScriptedGroupQuestions questions;
    QMenu menu;
    std::unique_ptr<SorvelGroupCommands> commands;

    Commands()
    {
        menu.addAction(QStringLiteral("&Save"))->setObjectName(QStringLiteral("save"));
        menu.addAction(QStringLiteral("&Add"));
        menu.addAction(QStringLiteral("&Organize"));
        menu.addSeparator();
        commands = std::make_unique<SorvelGroupCommands>(host, &questions, &menu, nullptr);
    }
    SorvelGroupCommands* operator->() const { return commands.get(); }
};

QString groups()
{
    return Paths::groupsFolder();
}

QStringList captionsAfterCommands(QMenu* menu)
{
    QStringList result;
    const auto items = menu->actions();
    for (qsizetype i = 4; i < items.size(); ++i)
        result << items.at(i)->text();
    return result;
}

QAction* itemCaptioned(QMenu* menu, const QString& caption)
{
    const auto items = menu->actions();
    for (QAction* item : items) {
        if (item->text() == caption)
            return item;
    }
    return nullptr;
}

template<typename T> T* child(QObject* parent, const char* name)
{
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

} // namespace

class TestGroupCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QDir(groups()).removeRecursively(); }

    void savedTabsOpenAgainAsTheyWere()
    {
        Commands c;
        c.host.tabs = {{QStringLiteral("My=Page"), QStringLiteral("http://127.0.0.1/a"), false},
                       {QString(), QStringLiteral("http://127.0.0.1/b"), true},
                       {QString(), QStringLiteral("http://127.0.0.1/c"), false},
                       {QString(), QString(), false}}; // nothing loaded: no address
        c.menu.aboutToShow();                          // built, so that the flag is clear
        QVERIFY(!c->GroupsChanged());

        c.questions.saveAs = groups() + QStringLiteral("/work.sgp");
        c->SaveAsSorvelGroup();
        QCOMPARE(c.questions.asked, QStringList{QStringLiteral("save ") + groups()});
        QVERIFY(QFileInfo(groups()).isDir()); // made for the dialog to start in
        QVERIFY(c->GroupsChanged());
        QCOMPARE(readFile(c.questions.saveAs), QByteArray("[SorvelGroup]\r\n"
                                                          "MyPage=http://127.0.0.1/a\r\n"
                                                          "blank2=*http://127.0.0.1/b\r\n"
                                                          "blank3=http://127.0.0.1/c\r\n"
                                                          "blank4=\r\n"));

        c->OpenPageGroup(c.questions.saveAs, false, true);
        QCOMPARE(c.host.opened.size(), 1);
        QCOMPARE(c.host.opened.first().entries,
                 (QList<PageGroupEntry>{{"MyPage", "http://127.0.0.1/a", false},
                                        {"", "http://127.0.0.1/b", true},
                                        {"", "http://127.0.0.1/c", false}}));
        QVERIFY(!c.host.opened.first().replaceTabs && c.host.opened.first().startupMark);

        // Declining the overwrite, or the dialog, writes nothing; the menu is redone anyway.
        const QByteArray before = readFile(c.questions.saveAs);
        c.menu.aboutToShow();
        c.questions.overwrite = GroupSaveQuestions::Answer::No;
        c->SaveAsSorvelGroup();
        QCOMPARE(c.questions.asked.last(), QStringLiteral("overwrite ") + c.questions.saveAs);
        QCOMPARE(readFile(c.questions.saveAs), before);
        QVERIFY(c->GroupsChanged());
        c.questions.saveAs.clear();
        c->SaveAsSorvelGroup();
        QCOMPARE(readFile(c.questions.saveAs), QByteArray("<missing>"));
        QVERIFY(c.questions.told.isEmpty());
    }

    void addingATabAppendsItToTheChosenGroup()
    {
        const QString file =
            writeFile(groups() + QStringLiteral("/news.sgp"),
                      "[Toolbar]\r\nx=1\r\n[SorvelGroup]\r\n"
                      "Paper=http://127.0.0.1/paper\r\nblank2=http://127.0.0.1/tv\r\n");
        Commands c;
        ScriptedGroupQuestions& questions = c.questions;
        const PageGroupEntry radio{QStringLiteral("Ra=dio"),
                                   QStringLiteral("http://127.0.0.1/radio"), true};
        questions.existing = file;
        c->AddTabToGroup(radio);
        QCOMPARE(questions.asked, QStringList{QStringLiteral("Add to SorvelGroup ") + groups()});
        QCOMPARE(readFile(file), QByteArray("[Toolbar]\r\nx=1\r\n[SorvelGroup]\r\n"
                                            "Paper=http://127.0.0.1/paper\r\n"
                                            "blank2=http://127.0.0.1/tv\r\n"
                                            "Radio=*http://127.0.0.1/radio\r\n"));
        QVERIFY(c->GroupsChanged());

        // An unnamed tab gets the next line number.
        const PageGroupEntry other{QString(), QStringLiteral("http://127.0.0.1/other"), false};
        c->AddTabToGroup(other);
        QVERIFY(readFile(file).endsWith("blank4=http://127.0.0.1/other\r\n"));

        // Cancelled: nothing written, the menu still redone.
        const QByteArray before = readFile(file);
        c.menu.aboutToShow();
        questions.existing.clear();
        c->AddTabToGroup(other);
        QCOMPARE(readFile(file), before);
        QVERIFY(c->GroupsChanged());

        // A group that cannot be read is not replaced, and the user is told.
        const QByteArray binary("[SorvelGroup]\r\nk=v\0\0", 20);
        questions.existing = writeFile(groups() + QStringLiteral("/bad.sgp"), binary);
        c->AddTabToGroup(other);
        QCOMPARE(readFile(questions.existing), binary);
        QCOMPARE(questions.told.size(), 1);
        QVERIFY(questions.told.first().startsWith(QStringLiteral("Unable to write to ")));
        QVERIFY(questions.told.first().contains(QStringLiteral("bad.sgp")));
    }

    void groupMenuCaptions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        addRows<QString, QString>({
            {"plain", "Work", "Work"},
            {"ampersand", "Mail & News", "Mail && News"},
            {"two", "A&B&C", "A&&B&&C"},
            {"tab", "A\tB", "A B"},
        });
    }
    void groupMenuCaptions()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QCOMPARE(folderMenuCaption(name), caption);
    }

    void groupMenuIsBuiltOnceAndFoldersFillWhenOpened()
    {
        const QByteArray group("[SorvelGroup]\r\nblank1=http://127.0.0.1/g\r\n");
        for (const char* folder : {"b Folder/deeper", "A&B", ".hidden", "Nothing"})
            QDir().mkpath(groups() + '/' + folder);
        for (const char* name : {"zeta.sgp", "Alpha.SGP", "M&M.sgp", ".secret.sgp", "old.sgp.bak",
                                 "b Folder/inner.sgp"})
            writeFile(groups() + '/' + name, group);
        writeFile(groups() + QStringLiteral("/notes.txt"), "x");

        Commands c;
        QMenu* menu = &c.menu;
        QCOMPARE(menu->actions().size(), 4); // nothing read before it opens
        QVERIFY(c->GroupsChanged());
        menu->aboutToShow();
        QVERIFY(!c->GroupsChanged());
        QCOMPARE(captionsAfterCommands(menu),
                 (QStringList{"A&&B", "b Folder", "Nothing", ".secret", "Alpha", "M&&M", "zeta"}));

        auto* folder = qobject_cast<FolderMenuItem*>(itemCaptioned(menu, "b Folder")->menu());
        QVERIFY(folder);
        QVERIFY(!folder->Loaded());
        QCOMPARE(folder->FolderPath(), QDir(groups()).absoluteFilePath(QStringLiteral("b Folder")));
        QCOMPARE(folder->actions().size(), 1); // the arrow's placeholder

        // Opened again without changes: the same items, not rebuilt. A new file waits.
        QPointer<QAction> alpha = itemCaptioned(menu, "Alpha");
        writeFile(groups() + QStringLiteral("/beta.sgp"), group);
        menu->aboutToShow();
        QVERIFY(alpha);
        QCOMPARE(itemCaptioned(menu, "Alpha"), alpha.data());
        QVERIFY(!itemCaptioned(menu, "beta"));

        // A sub-folder is read the first time it opens, once.
        folder->aboutToShow();
        QVERIFY(folder->Loaded());
        QStringList inside;
        for (QAction* item : folder->actions())
            inside << item->text();
        QCOMPARE(inside, (QStringList{"deeper", "inner"}));
        writeFile(groups() + QStringLiteral("/b Folder/later.sgp"), group);
        folder->aboutToShow();
        QCOMPARE(folder->actions().size(), 2);

        // Folders with nothing in them say so.
        auto* nothing = qobject_cast<FolderMenuItem*>(itemCaptioned(menu, "Nothing")->menu());
        nothing->aboutToShow();
        QCOMPARE(nothing->actions().size(), 1);
        QCOMPARE(nothing->actions().first()->text(), QStringLiteral("(Empty)"));
        QVERIFY(!nothing->actions().first()->isEnabled());
        auto* deeper = qobject_cast<FolderMenuItem*>(itemCaptioned(folder, "deeper")->menu());
        deeper->aboutToShow();
        QCOMPARE(deeper->actions().first()->text(), QStringLiteral("(Empty)"));

        // After a change the menu is built anew, the commands kept.
        c->SetGroupsChanged();
        menu->aboutToShow();
        QVERIFY(!alpha);
        QVERIFY(itemCaptioned(menu, "beta"));
        QCOMPARE(captionsAfterCommands(menu).size(), 8);
        QCOMPARE(menu->actions().at(0)->objectName(), QStringLiteral("save"));
        QVERIFY(menu->actions().at(3)->isSeparator());

        // A group item opens its file, without replacing the tabs unless SGCloseFirst.
        itemCaptioned(menu, "zeta")->trigger();
        QCOMPARE(c.host.opened.size(), 1);
        QCOMPARE(c.host.opened.last().entries.first().address,
                 QStringLiteral("http://127.0.0.1/g"));
        QVERIFY(!c.host.opened.last().replaceTabs && !c.host.opened.last().startupMark);
        QMenu* rebuilt = itemCaptioned(menu, "b Folder")->menu();
        rebuilt->aboutToShow();
        itemCaptioned(rebuilt, "inner")->trigger();
        QCOMPARE(c.host.opened.size(), 2);
    }

    void groupMenuFollowsSGCloseFirst()
    {
        writeFile(groups() + QStringLiteral("/two.sgp"),
                  "[SorvelGroup]\r\nOne=http://127.0.0.1/1\r\nblank2=http://127.0.0.1/2\r\n");
        Commands c;
        c.host.sgCloseFirst = true;
        c.menu.aboutToShow();
        itemCaptioned(&c.menu, "two")->trigger();
        QCOMPARE(c.host.opened.size(), 1);
        QVERIFY(c.host.opened.first().replaceTabs);
        QCOMPARE(c.host.opened.first().entries.size(), 2);
    }

    void handWrittenGroupOpensByTheReadingRules()
    {
        const QString file = writeFile(groups() + QStringLiteral("/hand.sgp"),
                                       "; written by hand\r\n"
                                       "[Notes]\r\nNews=http://127.0.0.1/not-this\r\n"
                                       "[sorvelGROUP]\r\n"
                                       "  News = *http://127.0.0.1/news  \r\n"
                                       "blank7=\"http://127.0.0.1/quoted\"\r\n"
                                       "NEWS=http://127.0.0.1/second-news\r\n"
                                       "Empty=\r\n"
                                       "BlankSlate=http://127.0.0.1/slate\r\n"
                                       "[Other]\r\nblank1=http://127.0.0.1/other\r\n");
        Commands c;
        c->OpenPageGroup(file, false, false);
        QVERIFY(c.questions.told.isEmpty());
        QCOMPARE(c.host.opened.first().entries,
                 (QList<PageGroupEntry>{{"News", "http://127.0.0.1/news", true},
                                        {"", "http://127.0.0.1/quoted", false},
                                        {"BlankSlate", "http://127.0.0.1/slate", false}}));
    }

    // A group of more tabs than a person opens at once (a file from outside) asks first.
    void manyTabsAreOpenedOnlyWhenTheUserAgrees()
    {
        const auto group = [](int count) {
            QByteArray bytes = "[SorvelGroup]\r\n";
            for (int i = 1; i <= count; ++i)
                bytes += "blank" + QByteArray::number(i) + "=http://127.0.0.1/" +
                         QByteArray::number(i) + "\r\n";
            return writeFile(groups() + QStringLiteral("/g%1.sgp").arg(count), bytes);
        };
        Commands c;
        c->OpenPageGroup(group(SorvelGroupTexts::TabsWithoutAsking), true, false);
        QVERIFY(c.questions.asked.isEmpty());
        QCOMPARE(c.host.opened.size(), 1);

        const QString many = group(SorvelGroupTexts::TabsWithoutAsking + 1);
        c->OpenPageGroup(many, true, false);
        QCOMPARE(c.questions.asked, QStringList{QStringLiteral("open 51 tabs ") + many});
        QCOMPARE(c.host.opened.size(), 1); // refused: nothing opened, nothing closed
        c.questions.openManyTabs = true;
        c->OpenPageGroup(many, true, false);
        QCOMPARE(c.host.opened.size(), 2);
        QCOMPARE(c.host.opened.last().entries.size(), 51);
    }

    void groupThatCannotBeReadOpensNothingAndSaysWhy()
    {
        Commands c;
        ScriptedGroupQuestions& questions = c.questions;
        const QString binary = writeFile(groups() + QStringLiteral("/binary.sgp"),
                                         QByteArray("[SorvelGroup]\r\nblank1=x\0\1\2", 26));
        c->OpenPageGroup(binary, true, false); // replacing: nothing may be closed first
        QVERIFY(c.host.opened.isEmpty());
        QCOMPARE(questions.told.size(), 1);
        QVERIFY(questions.told.last().contains(QDir::toNativeSeparators(binary)));
        QVERIFY(questions.told.last().contains(QStringLiteral("not a text file")));

        const QString page =
            writeFile(groups() + QStringLiteral("/page.sgp"), "<html><body>a=b</body></html>\r\n");
        c->OpenPageGroup(page, true, false);
        QVERIFY(c.host.opened.isEmpty());
        QCOMPARE(questions.told.size(), 2);
        QVERIFY(questions.told.last().contains(QStringLiteral("page.sgp")));
        QVERIFY(questions.told.last().contains(QStringLiteral("no [SorvelGroup] section")));

        // A group that is simply gone (a start-up group deleted since) opens nothing quietly.
        c->OpenPageGroup(groups() + QStringLiteral("/gone.sgp"), true, false);
        QVERIFY(c.host.opened.isEmpty());
        QCOMPARE(questions.told.size(), 2);
    }

    void organizePicksTheFileAndRebuildsTheMenu()
    {
        const QString file = writeFile(groups() + QStringLiteral("/org.sgp"),
                                       "[SorvelGroup]\r\nA=http://127.0.0.1/a\r\n");
        Commands c;
        c.menu.aboutToShow();
        c.questions.existing = file;
        c->OrganizeSorvelGroups();
        QCOMPARE(c.questions.asked,
                 (QStringList{QStringLiteral("Organize SorvelGroups ") + groups(),
                              QStringLiteral("organize ") + file}));
        QVERIFY(c->GroupsChanged());
        c.questions.existing.clear();
        c->OrganizeSorvelGroups();
        QCOMPARE(c.questions.asked.size(), 3); // cancelled: nothing organized
    }

    void organizeDialogEditsRows()
    {
        const QByteArray original = "[Keep]\r\nk=v\r\n[SorvelGroup]\r\n"
                                    "News=*http://127.0.0.1/news\r\n"
                                    "blank2=http://127.0.0.1/two\r\n"
                                    "BLANKET=http://127.0.0.1/three\r\n";
        const QString file = writeFile(groups() + QStringLiteral("/org.sgp"), original);
        ScriptedGroupQuestions questions;
        TfrmSorvelGroup dialog(nullptr, file, &questions);
        QSignalSpy finished(&dialog, &QDialog::finished);
        const auto rows = [&] { return dialog.rows(); };
        QCOMPARE(rows(), (QList<PageGroupEntry>{{"News", "http://127.0.0.1/news", true},
                                                {"", "http://127.0.0.1/two", false},
                                                {"BLANKET", "http://127.0.0.1/three", false}}));

        auto* list = child<QTreeWidget>(&dialog, "lstSites");
        auto* insert = child<QPushButton>(&dialog, "cmdInsert");
        auto* update = child<QPushButton>(&dialog, "cmdUpdate");
        auto* remove = child<QPushButton>(&dialog, "cmdDelete");
        auto* up = child<QToolButton>(&dialog, "cmdUp");
        auto* down = child<QToolButton>(&dialog, "cmdDown");
        auto* commit = child<QPushButton>(&dialog, "cmdUrlInsert");
        auto* title = child<QLineEdit>(&dialog, "edtTitle");
        auto* location = child<QLineEdit>(&dialog, "edtLocation");
        auto* locked = child<QCheckBox>(&dialog, "chkTabLocked");
        QCOMPARE(list->headerItem()->text(0), QStringLiteral("StickyName"));
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("X"));
        const auto enabled = [&] {
            return QList<bool>{insert->isEnabled(), update->isEnabled(), remove->isEnabled(),
                               up->isEnabled(), down->isEnabled()};
        };
        QCOMPARE(enabled(), (QList<bool>{true, false, false, false, false}));
        QVERIFY(!dialog.editing());

        // Insert: an empty location is refused and the edit area stays.
        insert->click();
        QVERIFY(dialog.editing());
        QCOMPARE(commit->text(), QStringLiteral("Insert"));
        QCOMPARE(enabled(), (QList<bool>{false, false, false, false, false}));
        title->setText(QStringLiteral("My=Page"));
        location->setText(QStringLiteral("   "));
        commit->click();
        QVERIFY(dialog.editing());
        QCOMPARE(rows().size(), 3);
        location->setText(QStringLiteral("http://127.0.0.1/mine"));
        locked->setChecked(true);
        commit->click();
        QVERIFY(!dialog.editing());
        QCOMPARE(rows().last(), (PageGroupEntry{"My=Page", "http://127.0.0.1/mine", true}));

        // Update fills the edits from the row; moving rows meanwhile keeps the edited one.
        list->setCurrentItem(list->topLevelItem(0));
        QCOMPARE(enabled(), (QList<bool>{true, true, true, true, true}));
        update->click();
        QCOMPARE(commit->text(), QStringLiteral("Update"));
        QCOMPARE(title->text(), QStringLiteral("News"));
        QCOMPARE(location->text(), QStringLiteral("http://127.0.0.1/news"));
        QVERIFY(locked->isChecked());
        QCOMPARE(enabled(), (QList<bool>{false, false, false, true, true}));
        down->click();
        locked->setChecked(false);
        location->setText(QStringLiteral("http://127.0.0.1/daily"));
        commit->click();
        QCOMPARE(rows().at(1), (PageGroupEntry{"News", "http://127.0.0.1/daily", false}));
        QCOMPARE(rows().at(0).address, QStringLiteral("http://127.0.0.1/two"));

        // Up and down stop at the ends; the moved row stays selected.
        list->setCurrentItem(list->topLevelItem(3));
        down->click();
        QCOMPARE(rows().at(3).stickyName, QStringLiteral("My=Page"));
        up->click();
        QCOMPARE(rows().at(2).stickyName, QStringLiteral("My=Page"));
        QCOMPARE(list->selectedItems(), QList<QTreeWidgetItem*>{list->topLevelItem(2)});
        list->setCurrentItem(list->topLevelItem(0));
        up->click();
        QCOMPARE(rows().at(0).address, QStringLiteral("http://127.0.0.1/two"));

        // Update wants exactly one row; Delete takes the selected rows.
        list->topLevelItem(1)->setSelected(true);
        QCOMPARE(list->selectedItems().size(), 2);
        update->click();
        QVERIFY(!dialog.editing());
        list->clearSelection();
        list->topLevelItem(3)->setSelected(true);
        remove->click();
        QCOMPARE(rows().size(), 3);

        // Esc while editing ends the editing, not the dialog.
        insert->click();
        dialog.reject();
        QVERIFY(!dialog.editing());
        QCOMPARE(finished.size(), 0);

        // Cancel leaves the file as it was.
        child<QPushButton>(&dialog, "cmdCancel")->click();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(readFile(file), original);

        // OK writes the rows in list order, names stored without "=" and the other section
        // kept.
        TfrmSorvelGroup again(nullptr, file, &questions);
        child<QPushButton>(&again, "cmdInsert")->click();
        child<QLineEdit>(&again, "edtTitle")->setText(QStringLiteral("My=Page"));
        child<QLineEdit>(&again, "edtLocation")->setText(QStringLiteral("http://127.0.0.1/m"));
        child<QPushButton>(&again, "cmdUrlInsert")->click();
        auto* againList = child<QTreeWidget>(&again, "lstSites");
        againList->setCurrentItem(againList->topLevelItem(0));
        child<QPushButton>(&again, "cmdDelete")->click();
        QSignalSpy accepted(&again, &QDialog::accepted);
        child<QPushButton>(&again, "cmdOk")->click();
        QCOMPARE(accepted.size(), 1);
        QCOMPARE(readFile(file), QByteArray("[Keep]\r\nk=v\r\n[SorvelGroup]\r\n"
                                            "blank1=http://127.0.0.1/two\r\n"
                                            "BLANKET=http://127.0.0.1/three\r\n"
                                            "MyPage=http://127.0.0.1/m\r\n"));
        QVERIFY(questions.asked.isEmpty());
    }

    void organizeDialogKeepsItsRowsWhenTheyCannotBeWritten()
    {
        const QString file = writeFile(groups() + QStringLiteral("/gone.sgp"),
                                       "[SorvelGroup]\r\nA=http://127.0.0.1/a\r\n");
        ScriptedGroupQuestions questions;
        TfrmSorvelGroup dialog(nullptr, file, &questions);
        QSignalSpy finished(&dialog, &QDialog::finished);
        QFile::remove(file);

        // The file went away: OK asks for a name; declining keeps the dialog and its rows.
        child<QPushButton>(&dialog, "cmdOk")->click();
        QCOMPARE(questions.asked, QStringList{QStringLiteral("save ") + groups()});
        QCOMPARE(finished.size(), 0);
        QCOMPARE(dialog.rows().size(), 1);

        // A file that cannot be read is not replaced; the user is told and may try again.
        const QByteArray binary("\0\1\2", 3);
        writeFile(file, binary);
        child<QPushButton>(&dialog, "cmdOk")->click();
        QCOMPARE(finished.size(), 0);
        QCOMPARE(questions.told.size(), 1);
        QVERIFY(questions.told.first().contains(QStringLiteral("gone.sgp")));
        QCOMPARE(readFile(file), binary);

        // Answering with a name saves there.
        QFile::remove(file);
        questions.saveAs = groups() + QStringLiteral("/new.sgp");
        child<QPushButton>(&dialog, "cmdOk")->click();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(dialog.FileName(), questions.saveAs);
        QCOMPARE(readFile(questions.saveAs),
                 QByteArray("[SorvelGroup]\r\nA=http://127.0.0.1/a\r\n"));
    }
};

PELVANE_TEST_MAIN(TestGroupCommands)
#include "tst_groupcommands.moc"
