#include "platform/Paths.h"
#include "platform/Registry.h"
#include "support/HiveQueries.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>

#include <atomic>
#include <functional>
#include <latch>

using namespace TestFiles;

namespace {

// Lines a child has printed so far, read without blocking for more than `ms`.
QStringList readLines(QProcess& process, int ms)
{
    process.waitForReadyRead(ms);
    QStringList lines;
    while (process.canReadLine())
        lines << QString::fromUtf8(process.readLine()).trimmed();
    return lines;
}

void startWriter(QProcess& process, const QStringList& args, const QString& home = QString())
{
    if (!home.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PELVANE_HOME"), home);
        process.setProcessEnvironment(env);
    }
    process.setProgram(QStringLiteral(HIVEWRITER_BINARY));
    process.setArguments(args);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start();
    QVERIFY2(process.waitForStarted(10000), qPrintable(process.errorString()));
}
} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesIgnoreCaseAndKeepOrder()
    {
        TRegistry reg(RegistryHive::userHive());
        QVERIFY(reg.openKey(QStringLiteral("Software\\Brenmoor\\Order"), true));
        reg.writeString(QStringLiteral("b"), QStringLiteral("1"));
        reg.writeString(QStringLiteral("a"), QStringLiteral("2"));
        reg.writeString(QStringLiteral("C"), QStringLiteral("3"));
        reg.writeString(QStringLiteral("B"), QStringLiteral("rewritten")); // keeps its place
        QCOMPARE(reg.valueNames(), (QStringList{"b", "a", "C"}));
        QCOMPARE(reg.readString(QStringLiteral("b")), QStringLiteral("rewritten"));
        QVERIFY(reg.deleteValue(QStringLiteral("A")));
        reg.writeString(QStringLiteral("a"), QStringLiteral("again")); // goes to the end
        QCOMPARE(reg.valueNames(), (QStringList{"b", "C", "a"}));

        TRegistry other(RegistryHive::userHive());
        QVERIFY(other.openKey(QStringLiteral("SOFTWARE\\brenmoor\\ORDER"), false));
        QCOMPARE(other.readString(QStringLiteral("c")), QStringLiteral("3"));
    }

    void typedValuesAndErrors()
    {
        TRegistry reg(RegistryHive::userHive());
        QVERIFY(reg.openKey(QStringLiteral("Software\\Brenmoor\\Typed"), true));
        reg.writeInteger(QStringLiteral("n"), -2147483634);
        QCOMPARE(reg.readInteger(QStringLiteral("n")), -2147483634);
        try {
            (void)reg.readString(QStringLiteral("n"));
            QFAIL("reading a DWORD as text must fail");
        } catch (const RegistryError& e) {
            QCOMPARE(e.message(), QStringLiteral("Invalid data type for 'n'"));
        }
        QVERIFY(reg.readString(QStringLiteral("missing")).isEmpty());
    }

    void readsOfAnOpenKeyAreOneLookUp()
    {
        QTemporaryDir dir;
        RegistryHive hive(dir.filePath(QStringLiteral("registry.db")));
        {
            TRegistry writer(hive);
            QVERIFY(writer.openKey(QStringLiteral("\\Software\\Brenmoor\\Pelvane\\Deep"), true));
            writer.writeString(QStringLiteral("Text"), QStringLiteral("one"));
            writer.writeInteger(QStringLiteral("Number"), 7);
            writer.writeExpandString(QStringLiteral("Path"), QStringLiteral("%HOME%"));
        }
        TRegistry reg(hive);
        const HiveQueries queries(hive);
        QVERIFY(reg.openKeyReadOnly(QStringLiteral("\\software\\BRENMOOR\\Pelvane\\deep")));
        QCOMPARE(reg.readString(QStringLiteral("TEXT")), QStringLiteral("one"));
        QCOMPARE(reg.readInteger(QStringLiteral("number")), 7);
        QCOMPARE(reg.readString(QStringLiteral("Path")), QStringLiteral("%HOME%"));
        QVERIFY(reg.readString(QStringLiteral("missing")).isEmpty());
        QVERIFY(!reg.valueExists(QStringLiteral("missing")));
        TRegistry::DataType type = TRegistry::DataType::None;
        QVERIFY(reg.dataType(QStringLiteral("Number"), &type));
        QCOMPARE(type, TRegistry::DataType::DWord);
        QCOMPARE(reg.valueNames(), (QStringList{"Text", "Number", "Path"}));
        // The errors of a read are the same from the copy.
        const auto message = [&](const std::function<void()>& read) {
            try {
                read();
            } catch (const RegistryError& e) {
                return e.message();
            }
            return QString();
        };
        QCOMPARE(message([&] { (void)reg.readInteger(QStringLiteral("Text")); }),
                 QStringLiteral("Invalid data type for 'Text'"));
        QCOMPARE(message([&] { (void)reg.readString(QStringLiteral("Number")); }),
                 QStringLiteral("Invalid data type for 'Number'"));
        QCOMPARE(message([&] { (void)reg.readInteger(QStringLiteral("gone")); }),
                 QStringLiteral("Failed to get data for 'gone'"));
        QCOMPARE(queries.taken(), 1u);
        // A key that is not there, at any depth, is one look-up too.
        const HiveQueries missing(hive);
        QVERIFY(!reg.openKeyReadOnly(QStringLiteral("\\Software\\Brenmoor\\None\\Deeper")));
        QVERIFY(!reg.keyExists(QStringLiteral("\\Software\\None")));
        QCOMPARE(missing.taken(), 2u);
    }

    void readsFollowTheChangesMadeThroughTheHive()
    {
        QTemporaryDir dir;
        RegistryHive hive(dir.filePath(QStringLiteral("registry.db")));
        const QString key = QStringLiteral("\\Software\\Seen");
        TRegistry reg(hive);
        QVERIFY(reg.openKey(key, true));
        reg.writeString(QStringLiteral("a"), QStringLiteral("1"));
        QCOMPARE(reg.readString(QStringLiteral("a")), QStringLiteral("1"));
        reg.writeString(QStringLiteral("A"), QStringLiteral("rewritten"));
        reg.writeInteger(QStringLiteral("b"), 2);
        QCOMPARE(reg.readString(QStringLiteral("a")), QStringLiteral("rewritten"));
        QCOMPARE(reg.valueNames(), (QStringList{"a", "b"}));
        QVERIFY(reg.deleteValue(QStringLiteral("a")));
        QVERIFY(!reg.valueExists(QStringLiteral("a")));
        QCOMPARE(reg.valueNames(), QStringList{"b"});

        // Another handle on the same hive, while this one stays open.
        TRegistry other(hive);
        QVERIFY(other.openKey(key, false));
        other.writeString(QStringLiteral("c"), QStringLiteral("theirs"));
        QCOMPARE(reg.readString(QStringLiteral("c")), QStringLiteral("theirs"));
        QVERIFY(other.deleteKey(key));
        QVERIFY(!reg.valueExists(QStringLiteral("b")));

        // A write that is rolled back is not read back.
        QVERIFY(reg.openKey(key, true));
        reg.writeString(QStringLiteral("kept"), QStringLiteral("before"));
        {
            HiveTransaction transaction(hive);
            reg.writeString(QStringLiteral("kept"), QStringLiteral("undone"));
            QCOMPARE(reg.readString(QStringLiteral("kept")), QStringLiteral("undone"));
        }
        QCOMPARE(reg.readString(QStringLiteral("kept")), QStringLiteral("before"));
    }

    void anotherCopysWritesAreSeenFromTheNextOpen()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("registry.db"));
        RegistryHive hive(file);
        RegistryHive otherCopy(file); // a connection of its own, as another process has
        const QString key = QStringLiteral("\\Software\\Shared");
        TRegistry theirs(otherCopy);
        QVERIFY(theirs.openKey(key, true));
        theirs.writeString(QStringLiteral("v"), QStringLiteral("first"));

        TRegistry reg(hive);
        QVERIFY(reg.openKeyReadOnly(key));
        QCOMPARE(reg.readString(QStringLiteral("v")), QStringLiteral("first"));
        theirs.writeString(QStringLiteral("v"), QStringLiteral("second"));
        // The open key answers from what it held when opened, without asking the file...
        const HiveQueries queries(hive);
        QCOMPARE(reg.readString(QStringLiteral("v")), QStringLiteral("first"));
        QCOMPARE(queries.taken(), 0u);
        // ...and opening it again reads it afresh, as does closing it first.
        QVERIFY(reg.openKeyReadOnly(key));
        QCOMPARE(reg.readString(QStringLiteral("v")), QStringLiteral("second"));
        theirs.writeString(QStringLiteral("w"), QStringLiteral("new"));
        reg.closeKey();
        QVERIFY(!reg.valueExists(QStringLiteral("w"))); // no key open
        QVERIFY(reg.openKeyReadOnly(key));
        QCOMPARE(reg.valueNames(), (QStringList{"v", "w"}));
    }

    void aLargeKeyIsReadAValueAtATime()
    {
        QTemporaryDir dir;
        RegistryHive hive(dir.filePath(QStringLiteral("registry.db")));
        TRegistry reg(hive);
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\Large"), true));
        {
            HiveTransaction transaction(hive);
            for (int i = 0; i <= TRegistry::MaxCopiedValues; ++i)
                reg.writeInteger(QStringLiteral("v%1").arg(i), i);
            QVERIFY(transaction.commit());
        }
        QVERIFY(reg.openKeyReadOnly(QStringLiteral("\\Software\\Large")));
        const HiveQueries queries(hive);
        QCOMPARE(reg.readInteger(QStringLiteral("v0")), 0);
        QCOMPARE(reg.readInteger(QStringLiteral("v1000")), 1000);
        QCOMPARE(queries.taken(), 2u);
        QCOMPARE(reg.valueNames().size(), TRegistry::MaxCopiedValues + 1);
    }

    void deleteKeyTakesTheSubtree()
    {
        TRegistry reg(RegistryHive::userHive());
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\Gone\\Deep\\Deeper"), true));
        reg.writeString(QString(), QStringLiteral("default"));
        reg.closeKey();
        QVERIFY(reg.deleteKey(QStringLiteral("Software\\Gone")));
        QVERIFY(!reg.keyExists(QStringLiteral("Software\\Gone\\Deep")));
        QVERIFY(!reg.keyExists(QStringLiteral("Software\\Gone")));
        QVERIFY(reg.keyExists(QStringLiteral("Software")));
    }

    void deletedKeyIsNeverReachedThroughAnOldHandle()
    {
        // A key deleted by someone else and a new key made after it: the handle still open
        // on the old key must not land in the new one.
        QTemporaryDir dir;
        RegistryHive hive(dir.filePath(QStringLiteral("registry.db")));
        TRegistry old(hive);
        QVERIFY(old.openKey(QStringLiteral("\\Recycled"), true));
        TRegistry other(hive);
        QVERIFY(other.deleteKey(QStringLiteral("\\Recycled")));
        QVERIFY(other.openKey(QStringLiteral("\\Fresh"), true));
        QVERIFY_THROWS_EXCEPTION(RegistryError,
                                 old.writeString(QStringLiteral("x"), QStringLiteral("y")));
        QVERIFY(other.valueNames().isEmpty());
    }

    void failedInnerTransactionSpoilsTheOuterOne()
    {
        RegistryHive& hive = RegistryHive::userHive();
        TRegistry reg(RegistryHive::userHive());
        {
            HiveTransaction outer(hive);
            QVERIFY(outer.isActive());
            QVERIFY(reg.openKey(QStringLiteral("\\Software\\Nested"), true));
            {
                HiveTransaction inner(hive);
                reg.writeString(QStringLiteral("inner"), QStringLiteral("1"));
            } // left without commit: rolls back
            reg.writeString(QStringLiteral("after"), QStringLiteral("2"));
            QVERIFY(!outer.commit());
        }
        QVERIFY(
            !TRegistry(RegistryHive::userHive()).keyExists(QStringLiteral("\\Software\\Nested")));
        // The hive is usable again afterwards.
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\Nested"), true));
        reg.writeString(QStringLiteral("later"), QStringLiteral("3"));
        QCOMPARE(reg.readString(QStringLiteral("later")), QStringLiteral("3"));
    }

    void twoProcessesWritingAtOnceLoseNothing()
    {
        // A home with no hive yet: the two also race to create the file.
        constexpr int Count = 150;
        QTemporaryDir home;
        QProcess a;
        QProcess b;
        startWriter(a, {QStringLiteral("race"), QStringLiteral("A"), QString::number(Count)},
                    home.path());
        startWriter(b, {QStringLiteral("race"), QStringLiteral("B"), QString::number(Count)},
                    home.path());
        for (QProcess* p : {&a, &b}) {
            QVERIFY(p->waitForFinished(90000));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
            QVERIFY(p->readAllStandardError().isEmpty()); // never "database is locked"
        }
        RegistryHive hive(QDir(home.path()).filePath(QStringLiteral("registry.db")));
        QVERIFY(hive.recoveredBackup().isEmpty());
        TRegistry reg(hive);
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\Race"), false));
        QCOMPARE(reg.valueNames().size(), 2 * Count);
        for (int i = 0; i < Count; ++i) {
            for (const char* prefix : {"A", "B"}) {
                QCOMPARE(reg.readString(QLatin1String(prefix) + QString::number(i)),
                         QStringLiteral("%1 value %2").arg(prefix).arg(i));
            }
        }
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\Race\\List"), false));
        const QStringList names = reg.valueNames();
        QCOMPARE(names.size(), 2 * Count);
        // Each writer's entries keep the order that writer gave them.
        for (const char* prefix : {"A", "B"}) {
            const QStringList own =
                names.filter(QRegularExpression(QStringLiteral("^%1-").arg(prefix)));
            QCOMPARE(own.size(), Count);
            for (int i = 0; i < Count; ++i)
                QCOMPARE(own.at(i), QStringLiteral("%1-url%2").arg(prefix).arg(i));
        }
    }

    void killedWriterLeavesEveryCommittedValue()
    {
        QProcess writer;
        startWriter(writer, {QStringLiteral("stream")});
        QStringList lines;
        while (lines.size() < 40 && writer.state() == QProcess::Running)
            lines += readLines(writer, 10000);
        QVERIFY2(lines.size() >= 40, writer.readAllStandardError().constData());
        writer.kill(); // SIGKILL, most likely in the middle of the next transaction
        QVERIFY(writer.waitForFinished(10000));
        while (writer.canReadLine())
            lines << QString::fromUtf8(writer.readLine()).trimmed();

        RegistryHive hive(Paths::hiveFile());
        QVERIFY(hive.isOpen());
        QVERIFY(hive.recoveredBackup().isEmpty());
        TRegistry reg(hive);
        for (const QString& line : std::as_const(lines)) {
            QVERIFY(line.startsWith(QLatin1String("committed ")));
            const QString set = line.mid(10);
            QVERIFY(reg.openKey(QStringLiteral("\\Software\\Stream\\Set") + set, false));
            QCOMPARE(reg.valueNames().size(), 10);
            QCOMPARE(reg.readString(QStringLiteral("v9")),
                     QStringLiteral("set %1 item 9").arg(set));
        }
        // The transaction cut off by the kill left nothing half written.
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\Stream"), false));
        const QStringList sets = reg.keyNames();
        QVERIFY(sets.size() >= lines.size());
        for (const QString& set : sets) {
            QVERIFY(reg.openKey(QStringLiteral("\\Software\\Stream\\") + set, false));
            QCOMPARE(reg.valueNames().size(), 10);
        }
    }

    void busyWriterDelaysButDoesNotFailAnother()
    {
        QProcess holder;
        startWriter(holder, {QStringLiteral("hold"), QStringLiteral("1000")});
        QStringList lines;
        while (!lines.contains(QStringLiteral("holding")) && holder.state() == QProcess::Running)
            lines += readLines(holder, 10000);
        QVERIFY2(lines.contains(QStringLiteral("holding")),
                 holder.readAllStandardError().constData());

        // Opening and reading go on while the other copy holds the write lock; writing
        // waits for it.
        RegistryHive hive(Paths::hiveFile());
        TRegistry reg(hive);
        QVERIFY(!reg.keyExists(QStringLiteral("\\Software\\Busy")));
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\Busy\\Mine"), true));
        reg.writeString(QStringLiteral("mine"), QStringLiteral("written after waiting"));
        QCOMPARE(reg.readString(QStringLiteral("mine")), QStringLiteral("written after waiting"));

        QVERIFY(holder.waitForFinished(20000));
        QCOMPARE(holder.exitCode(), 0);
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\Busy"), false));
        QCOMPARE(reg.readString(QStringLiteral("holder")), QStringLiteral("written while holding"));
    }

    void damagedFileIsMovedAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray noise(16384, '\0');
        QRandomGenerator generator(20240611);
        for (char& c : noise)
            c = static_cast<char>(generator.bounded(256));
        QTest::newRow("random bytes") << noise;
        QTest::newRow("short text") << QByteArray("not a database\n");
        QTest::newRow("truncated hive") << QByteArray(); // made in the test
    }

    void damagedFileIsMovedAside()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("registry.db"));
        if (content.isEmpty()) {
            {
                RegistryHive full(path);
                TRegistry reg(full);
                for (int k = 0; k < 20; ++k) {
                    reg.openKey(QStringLiteral("\\Software\\Filler\\Key%1").arg(k), true);
                    for (int v = 0; v < 50; ++v)
                        reg.writeString(QStringLiteral("v%1").arg(v),
                                        QString(60, QLatin1Char('x')));
                }
            } // the last connection folds the log into the file
            QVERIFY(!QFileInfo::exists(path + QStringLiteral("-wal")));
            content = readFile(path);
            QVERIFY(content.size() > 8192);
            content.truncate(content.size() / 2);
        }
        writeFile(path, content);

        RegistryHive hive(path);
        QVERIFY(hive.isOpen());
        const QString backup = hive.recoveredBackup();
        QVERIFY(!backup.isEmpty());
        QVERIFY(QRegularExpression(QStringLiteral("registry\\.db\\.damaged-\\d{8}-\\d{6}$"))
                    .match(backup)
                    .hasMatch());
        QCOMPARE(readFile(backup), content); // kept for the user, untouched

        TRegistry reg(hive);
        QVERIFY(reg.openKey(QStringLiteral("\\Software\\After"), true));
        reg.writeString(QStringLiteral("fresh"), QStringLiteral("works"));
        QCOMPARE(reg.readString(QStringLiteral("fresh")), QStringLiteral("works"));
    }

    void emptyFileIsAFreshHive()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("registry.db"));
        writeFile(path, QByteArray());
        RegistryHive hive(path);
        QVERIFY(hive.isOpen());
        QVERIFY(hive.recoveredBackup().isEmpty());
    }

    // A newer program's hive is no damage: it is neither opened nor touched.
    void newerHiveIsLeftAlone()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("registry.db"));
        {
            RegistryHive hive(path);
            TRegistry reg(hive);
            QVERIFY(reg.openKey(QStringLiteral("\\Software\\Kept"), true));
            reg.writeString(QStringLiteral("v"), QStringLiteral("kept"));
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "newer");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version=2")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("newer"));
        const QByteArray before = readFile(path);

        RegistryHive hive(path);
        QVERIFY(!hive.isOpen());
        QVERIFY2(hive.errorText().contains(QStringLiteral("newer version")),
                 qPrintable(hive.errorText()));
        QVERIFY(hive.recoveredBackup().isEmpty());
        TRegistry reg(hive);
        QVERIFY_THROWS_EXCEPTION(RegistryError,
                                 reg.openKey(QStringLiteral("\\Software\\New"), true));
        QCOMPARE(readFile(path), before);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("registry.db.damaged-*")}),
                 QStringList());
    }

    // Copies that start together on a fresh home all open the one hive (see also the
    // stress program bench/hiverace, which starts processes).
    void hivesCreatedAtOnceAllOpen()
    {
        constexpr int Copies = 8;
        for (int round = 0; round < 10; ++round) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("registry.db"));
            std::latch start(Copies);
            std::atomic<int> opened = 0;
            QList<QThread*> threads;
            for (int i = 0; i < Copies; ++i) {
                threads << QThread::create([&, i] {
                    start.arrive_and_wait();
                    RegistryHive hive(path);
                    const qint64 key = hive.createChildKey(RegistryHive::CurrentUser, "Race");
                    if (key &&
                        hive.setValue(key, QString::number(i), RegistryHive::ValueType::DWord, i))
                        ++opened;
                });
                threads.last()->start();
            }
            for (QThread* thread : std::as_const(threads)) {
                thread->wait();
                delete thread;
            }
            QCOMPARE(opened.load(), Copies);
            RegistryHive hive(path);
            QVERIFY(hive.recoveredBackup().isEmpty());
            QCOMPARE(hive.values(hive.childKey(RegistryHive::CurrentUser, "Race")).size(), Copies);
        }
    }
};

PELVANE_TEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
