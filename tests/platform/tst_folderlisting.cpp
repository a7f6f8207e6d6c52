#include "platform/FolderListing.h"
#include "support/TestHome.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// One folder's entries, whatever its names: the folder menus, the side bar's trees, the
// links bar and the unique names of new files all read folders through it.
class TestFolderListing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entriesByKind_data()
    {
        QTest::addColumn<int>("filters");
        QTest::addColumn<QStringList>("listed");
        const QStringList plainFiles{"a.url", "b.url", "n00", "n01", "n02", "n03", "n04",
                                     "n05", "n06", "n07", "n08", "n09", "n10", "n11",
                                     "to-file"};
        QTest::newRow("files") << int(QDir::Files) << plainFiles;
        QTest::newRow("folders") << int(QDir::Dirs) << QStringList{"sub"};
        QTest::newRow("everything but hidden and system")
            << int(QDir::AllEntries) << plainFiles + QStringList{"sub"};
        QTest::newRow("system: the broken link")
            << int(QDir::System) << QStringList{"broken"};
        QTest::newRow("hidden") << int(QDir::Files | QDir::Hidden)
                                << plainFiles + QStringList{".hidden"};
    }
    // Beside them a name that is not UTF-8: wherever the system lists it, everything else is
    // still listed (Qt 6.8's own listing ended there), and it is not, since no QString names
    // it back to the system.
    void entriesByKind()
    {
        QFETCH(int, filters);
        QFETCH(QStringList, listed);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QStringList names{"a.url", "b.url", ".hidden"};
        for (int i = 0; i < 12; ++i)
            names << QStringLiteral("n%1").arg(i, 2, 10, QLatin1Char('0'));
        for (const QString& name : std::as_const(names)) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        QVERIFY(QFile::link(dir.filePath("a.url"), dir.filePath("to-file")));
        QVERIFY(QFile::link(dir.filePath("gone"), dir.filePath("broken")));
        const QByteArray badName = QFile::encodeName(dir.path()) + "/bad \xff\xfe.url";
        QFile bad;
        QVERIFY(bad.open(::fopen(badName.constData(), "w"), QIODevice::WriteOnly,
                         QFileDevice::AutoCloseHandle));
        bad.close();
        QVERIFY(::access(badName.constData(), F_OK) == 0);

        QStringList got;
        for (const QFileInfo& info : listFolder(dir.path(), QDir::Filters(filters)))
            got << info.fileName();
        got.sort();
        listed.sort();
        QCOMPARE(got, listed);
    }

    void boundedAndMissing()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 5; ++i) {
            QFile file(dir.filePath(QString::number(i)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QCOMPARE(listFolder(dir.path(), QDir::Files, 3).size(), 3);
        QCOMPARE(listFolder(dir.path(), QDir::Files).size(), 5);
        QVERIFY(listFolder(dir.filePath("none"), QDir::AllEntries).isEmpty());
        QVERIFY(listFolder(dir.filePath("0"), QDir::AllEntries).isEmpty()); // a file
    }
};

PELVANE_TEST_GUILESS_MAIN(TestFolderListing)
#include "tst_folderlisting.moc"
