#include "groups/SorvelGroup.h"
#include "platform/Paths.h"
#include "support/DataRows.h"
#include "support/ScriptedGroupQuestions.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace TestFiles;

namespace {

// A group file as another program (or a hand) leaves it.
const QByteArray ForeignGroup = "[Toolbar]\r\n"
                                "Layout=1,2,3\r\n"
                                "\r\n"
                                "[sorvelgroup]\r\n"
                                "News = *http://127.0.0.1/news \r\n"
                                "blank2=\"http://127.0.0.1/quoted\"\r\n"
                                "NEWS=http://127.0.0.1/ignored\r\n"
                                "blank4=\r\n"
                                "blanket=http://127.0.0.1/blanket\r\n"
                                "\r\n"
                                "[Other]\r\n"
                                "x=1\r\n";

} // namespace

class TestSorvelGroup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entryNames_data()
    {
        QTest::addColumn<QString>("stickyName");
        QTest::addColumn<int>("lineNumber");
        QTest::addColumn<QString>("name");
        QTest::newRow("no sticky name") << "" << 3 << "blank3";
        QTest::newRow("= removed") << "A=B" << 1 << "AB";
        QTest::newRow("only =") << "==" << 2 << "blank2";
        QTest::newRow("like a header") << "[Work]" << 1 << "Work]";
        QTest::newRow("like a comment") << ";Notes" << 1 << "Notes";
        QTest::newRow("outer blanks") << "  News\t" << 1 << "News";
        QTest::newRow("line break") << "Two\r\nLines" << 1 << "TwoLines";
        QTest::newRow("NUL") << QStringLiteral("A\u0000B") << 1 << "AB";
        QTest::newRow("kept as typed") << "Mail & News" << 5 << "Mail & News";
    }

    void entryNames()
    {
        QFETCH(QString, stickyName);
        QFETCH(int, lineNumber);
        QFETCH(QString, name);
        QCOMPARE(groupEntryName(stickyName, lineNumber), name);
    }

    void interpretation_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("stickyName");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("locked");
        addRows<QString, QString, QString, QString, bool>({
            {"sticky, locked", "News", "*http://a/", "News", "http://a/", true},
            {"blank", "blank2", "http://b/", "", "http://b/", false},
            {"any case", "BLANK7", "x", "", "x", false},
            {"blanket is a name", "Blanket Co.", "x", "Blanket Co.", "x", false},
            {"blank alone", "blank", "x", "", "x", false},
            {"one star off", "S", "**x", "S", "*x", true},
            {"locked, no address", "S", "*", "S", "", true},
        });
    }

    void interpretation()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, stickyName);
        QFETCH(QString, address);
        QFETCH(bool, locked);
        QCOMPARE(interpretGroupEntry(name, value), (PageGroupEntry{stickyName, address, locked}));
    }

    void pageGroupFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("isGroup");
        QTest::newRow("lower") << "/a/x.sgp" << true;
        QTest::newRow("upper") << "/a/x.SGP" << true;
        QTest::newRow("mixed") << "Work.SgP" << true;
        QTest::newRow("backup") << "/a/x.sgp.bak" << false;
        QTest::newRow("folder named .sgp") << "/a.sgp/x" << false;
        QTest::newRow("longer extension") << "x.sgpx" << false;
        QTest::newRow("no extension") << "sgp" << false;
        QTest::newRow("empty") << "" << false;
    }

    void pageGroupFiles()
    {
        QFETCH(QString, path);
        QFETCH(bool, isGroup);
        QCOMPARE(IsPageGroupFile(path), isGroup);
    }

    void newGroupIsWrittenInTheSavedLayout()
    {
        TSorvelGroup group;
        group.AddEntry(QStringLiteral("News"), QStringLiteral("file:///C:/pages/news.htm"), true);
        group.AddEntry(QString(), QStringLiteral("about:blank"), false);
        group.AddEntry(QString(), QStringLiteral("file:///C:/pages/index.htm"), false);

        ScriptedGroupQuestions questions;
        questions.saveAs = Paths::groupsFolder() + QStringLiteral("/Three.sgp");
        QCOMPARE(group.Save(&questions), TSorvelGroup::SaveResult::Saved);
        QCOMPARE(questions.asked, QStringList{"save " + Paths::groupsFolder()}); // no overwrite
        QVERIFY(QFileInfo(Paths::groupsFolder()).isDir()); // made for the dialog
        QCOMPARE(group.FileName(), questions.saveAs);
        QCOMPARE(readFile(questions.saveAs), QByteArray("[SorvelGroup]\r\n"
                                                        "News=*file:///C:/pages/news.htm\r\n"
                                                        "blank2=about:blank\r\n"
                                                        "blank3=file:///C:/pages/index.htm\r\n"));

        const TSorvelGroup again(questions.saveAs);
        QCOMPARE(pageGroupEntries(again),
                 (QList<PageGroupEntry>{{"News", "file:///C:/pages/news.htm", true},
                                        {"", "about:blank", false},
                                        {"", "file:///C:/pages/index.htm", false}}));
    }

    void namesCollapseAndEmptyAddressesVanish()
    {
        const QString path = Paths::groupsFolder() + QStringLiteral("/names.sgp");
        QVERIFY(Paths::ensurePrivateFolder(Paths::groupsFolder()));
        writeFile(path, QByteArray());
        TSorvelGroup group(path);
        QCOMPARE(group.FileName(), path);
        group.AddEntry(QStringLiteral("A=B"), QStringLiteral("http://127.0.0.1/1"), false);
        group.AddEntry(QString(), QStringLiteral("http://127.0.0.1/2"), false);
        group.AddEntry(QStringLiteral("ab"), QStringLiteral("http://127.0.0.1/3"), true);
        group.AddEntry(QString(), QString(), false); // an empty, unlocked tab
        group.AddEntry(QString(), QString(), true);  // an empty, locked tab
        QCOMPARE(group.lines(), (QStringList{"AB=http://127.0.0.1/1", "blank2=http://127.0.0.1/2",
                                             "ab (2)=*http://127.0.0.1/3", "blank4=", "blank5=*"}));
        QCOMPARE(group.Save(nullptr), TSorvelGroup::SaveResult::Saved);
        // A repeated sticky name keeps its page under a name of its own; the empty address is
        // written...
        QCOMPARE(readFile(path), QByteArray("[SorvelGroup]\r\n"
                                            "AB=http://127.0.0.1/1\r\n"
                                            "blank2=http://127.0.0.1/2\r\n"
                                            "ab (2)=*http://127.0.0.1/3\r\n"
                                            "blank4=\r\n"
                                            "blank5=*\r\n"));
        // ...but not read back.
        QCOMPARE(TSorvelGroup(path).lines(),
                 (QStringList{"AB=http://127.0.0.1/1", "blank2=http://127.0.0.1/2",
                              "ab (2)=*http://127.0.0.1/3", "blank5=*"}));
    }

    void newEntriesNeverTakeAnExistingName()
    {
        // A hand-edited group whose numbers have gaps, and a sticky name like a made one.
        const QString path = Paths::groupsFolder() + QStringLiteral("/gaps.sgp");
        QVERIFY(Paths::ensurePrivateFolder(Paths::groupsFolder()));
        writeFile(path, "[SorvelGroup]\r\nblank3=http://127.0.0.1/kept\r\n"
                        "Mine=http://127.0.0.1/mine\r\n");
        TSorvelGroup group(path);
        group.AddEntry(QString(), QStringLiteral("http://127.0.0.1/new"), false);
        group.AddEntry(QStringLiteral("blank4"), QStringLiteral("http://127.0.0.1/sticky"), false);
        group.AddEntry(QStringLiteral("Mine"), QStringLiteral("http://127.0.0.1/second"), false);
        QCOMPARE(group.Save(nullptr), TSorvelGroup::SaveResult::Saved);
        const QList<PageGroupEntry> entries = pageGroupEntries(TSorvelGroup(path));
        QStringList addresses;
        for (const PageGroupEntry& entry : entries)
            addresses << entry.address;
        QCOMPARE(addresses, (QStringList{"http://127.0.0.1/kept", "http://127.0.0.1/mine",
                                         "http://127.0.0.1/new", "http://127.0.0.1/sticky",
                                         "http://127.0.0.1/second"}));
        QCOMPARE(entries.last().stickyName, QStringLiteral("Mine (2)"));
    }

    void readsByTheProfileRulesAndKeepsOtherSections()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("foreign.SGP"));
        writeFile(path, ForeignGroup);
        TSorvelGroup group(path);
        QVERIFY(group.readError().isEmpty());
        QCOMPARE(group.lines(),
                 (QStringList{"News=*http://127.0.0.1/news", "blank2=http://127.0.0.1/quoted",
                              "blanket=http://127.0.0.1/blanket"}));
        QCOMPARE(pageGroupEntries(group).last().stickyName, QStringLiteral("blanket"));

        group.clear();
        group.AddEntry(QStringLiteral("Only"), QStringLiteral("http://127.0.0.1/only"), false);
        ScriptedGroupQuestions questions;
        QCOMPARE(group.Save(&questions), TSorvelGroup::SaveResult::Saved);
        QVERIFY(questions.asked.isEmpty()); // the name was known
        QCOMPARE(readFile(path), QByteArray("[Toolbar]\r\n"
                                            "Layout=1,2,3\r\n"
                                            "\r\n"
                                            "\r\n"
                                            "[Other]\r\n"
                                            "x=1\r\n"
                                            "[SorvelGroup]\r\n"
                                            "Only=http://127.0.0.1/only\r\n"));
    }

    void loneCarriageReturnsAreNoPartOfAnEntry()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cr.sgp"));
        writeFile(path, "[SorvelGroup]\r\nNe\rws=*http://127.0.0.1/a\rb\r\nblank2=c\rd\r\n");
        const QList<PageGroupEntry> entries = pageGroupEntries(TSorvelGroup(path));
        QCOMPARE(entries, (QList<PageGroupEntry>{
                              {QStringLiteral("News"), QStringLiteral("http://127.0.0.1/ab"), true},
                              {QString(), QStringLiteral("cd"), false}}));
        const QString copyPath = dir.filePath(QStringLiteral("copy.sgp"));
        TSorvelGroup copy;
        copy.setFileName(copyPath);
        for (const PageGroupEntry& entry : entries)
            copy.AddEntry(entry.stickyName, entry.address, entry.locked);
        QCOMPARE(copy.Save(nullptr), TSorvelGroup::SaveResult::Saved);
        QCOMPARE(pageGroupEntries(TSorvelGroup(copyPath)), entries);
    }

    void longAddressesComeBackWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.sgp"));
        const QString address =
            QStringLiteral("http://127.0.0.1/search?q=") + QString(3000 - 26, QLatin1Char('q'));
        QCOMPARE(address.size(), 3000);
        TSorvelGroup group;
        group.setFileName(path);
        group.AddEntry(QString(), address, true);
        QCOMPARE(group.Save(nullptr), TSorvelGroup::SaveResult::Saved);
        QCOMPARE(pageGroupEntries(TSorvelGroup(path)),
                 (QList<PageGroupEntry>{{QString(), address, true}}));
    }

    void missingAndUnreadableFiles()
    {
        QTemporaryDir dir;
        const TSorvelGroup missing(dir.filePath(QStringLiteral("gone.sgp")));
        QCOMPARE(missing.count(), 0);
        QVERIFY(missing.FileName().isEmpty()); // so Save asks
        QVERIFY(missing.readError().isEmpty());
        QVERIFY(TSorvelGroup(dir.path()).FileName().isEmpty());

        const QString binary = dir.filePath(QStringLiteral("binary.sgp"));
        const QByteArray bytes("[SorvelGroup]\r\nk=v\r\n\0\0\x7f", 22);
        writeFile(binary, bytes);
        TSorvelGroup group(binary);
        QCOMPARE(group.count(), 0);
        QCOMPARE(group.FileName(), binary);
        QVERIFY(group.readError().contains(QStringLiteral("binary.sgp")));
        group.AddEntry(QString(), QStringLiteral("http://127.0.0.1/"), false);
        QString errorText;
        QString reason;
        QCOMPARE(group.Save(nullptr, &errorText, &reason), TSorvelGroup::SaveResult::Failed);
        QCOMPARE(errorText,
                 QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(binary));
        QVERIFY(!reason.isEmpty());
        QCOMPARE(readFile(binary), bytes);
    }

    void failedWritesSayWhere()
    {
        QTemporaryDir dir;
        const QString plainFile = dir.filePath(QStringLiteral("plain"));
        writeFile(plainFile, "x");
        TSorvelGroup group;
        group.AddEntry(QString(), QStringLiteral("http://127.0.0.1/"), false);
        const QString impossible = plainFile + QStringLiteral("/x.sgp");
        group.setFileName(impossible);
        QString errorText;
        QString reason;
        QCOMPARE(group.Save(nullptr, &errorText, &reason), TSorvelGroup::SaveResult::Failed);
        QCOMPARE(errorText,
                 QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(impossible));
        QVERIFY(!reason.isEmpty());

        const QString folder = dir.filePath(QStringLiteral("readonly"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const bool privileged = QFileInfo(folder).isWritable();
        group.setFileName(folder + QStringLiteral("/x.sgp"));
        errorText.clear();
        const TSorvelGroup::SaveResult result = group.Save(nullptr, &errorText);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        if (privileged)
            QSKIP("Running with rights that ignore a read-only folder");
        QCOMPARE(result, TSorvelGroup::SaveResult::Failed);
        QCOMPARE(errorText, QStringLiteral("Unable to write to ") +
                                QDir::toNativeSeparators(folder + QStringLiteral("/x.sgp")));
    }

    void questionsDecide_data()
    {
        QTest::addColumn<QString>("chosen"); // empty: the dialog is cancelled
        QTest::addColumn<bool>("exists");
        QTest::addColumn<GroupSaveQuestions::Answer>("overwrite");
        QTest::addColumn<bool>("written");
        QTest::newRow("cancelled dialog")
            << "" << false << GroupSaveQuestions::Answer::Yes << false;
        QTest::newRow("new file") << "new.sgp" << false << GroupSaveQuestions::Answer::No << true;
        QTest::newRow("No") << "old.sgp" << true << GroupSaveQuestions::Answer::No << false;
        QTest::newRow("Cancel") << "old.sgp" << true << GroupSaveQuestions::Answer::Cancel << false;
        QTest::newRow("Yes") << "old.sgp" << true << GroupSaveQuestions::Answer::Yes << true;
    }

    void questionsDecide()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, exists);
        QFETCH(GroupSaveQuestions::Answer, overwrite);
        QFETCH(bool, written);
        QTemporaryDir dir;
        const QString path = chosen.isEmpty() ? QString() : dir.filePath(chosen);
        const QByteArray old = "[Keep]\r\nk=v\r\n[SorvelGroup]\r\nOld=http://127.0.0.1/old\r\n";
        if (exists)
            writeFile(path, old);

        TSorvelGroup group;
        group.AddEntry(QStringLiteral("New"), QStringLiteral("http://127.0.0.1/new"), false);
        ScriptedGroupQuestions questions;
        questions.saveAs = path;
        questions.overwrite = overwrite;
        const auto result = group.Save(&questions);
        QCOMPARE(questions.asked.filter("overwrite "),
                 exists ? QStringList{"overwrite " + path} : QStringList());
        QCOMPARE(result,
                 written ? TSorvelGroup::SaveResult::Saved : TSorvelGroup::SaveResult::Cancelled);
        QCOMPARE(group.FileName(), written ? path : QString());
        if (!written) {
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), exists ? 1 : 0);
            if (exists)
                QCOMPARE(readFile(path), old);
            return;
        }
        const QByteArray expected =
            exists ? "[Keep]\r\nk=v\r\n[SorvelGroup]\r\nNew=http://127.0.0.1/new\r\n"
                   : "[SorvelGroup]\r\nNew=http://127.0.0.1/new\r\n";
        QCOMPARE(readFile(path), expected);
    }

    void noQuestionsNoName()
    {
        TSorvelGroup group;
        group.AddEntry(QString(), QStringLiteral("http://127.0.0.1/"), false);
        QCOMPARE(group.Save(nullptr), TSorvelGroup::SaveResult::Cancelled);
        QVERIFY(group.FileName().isEmpty());
    }
};

PELVANE_TEST_GUILESS_MAIN(TestSorvelGroup)
#include "tst_sorvelgroup.moc"
