#include "platform/web/PersonalDictionary.h"
#include "support/TestHome.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The user's own words for the spelling check, in the file the engine reads at its start.
class TestPersonalDictionary final : public QObject
{
    Q_OBJECT

private:
    static QByteArray withChecksum(const QByteArray& lines)
    {
        return lines + "checksum_v1 = " +
               QCryptographicHash::hash(lines, QCryptographicHash::Md5).toHex();
    }

private Q_SLOTS:
    // What is written is what the engine reads: ordered by bytes, once each, words only,
    // and the checksum over the lines before it.
    void writtenAsTheEngineReadsIt()
    {
        const QString longest(PersonalDictionary::MaxWordBytes, QLatin1Char('a'));
        const QByteArray content = PersonalDictionary::format(
            {QStringLiteral("zebra"), QStringLiteral("Äpfel"), QStringLiteral("zebra"),
             QStringLiteral("two words"), QString(), longest + QLatin1Char('a'), longest,
             QStringLiteral("Apfel")});
        const QByteArray lines = "Apfel\n" + longest.toUtf8() + "\nzebra\n" +
                                 QStringLiteral("Äpfel").toUtf8() + '\n';
        QCOMPARE(content, withChecksum(lines));
        QCOMPARE(PersonalDictionary::parse(content),
                 (QStringList{"Apfel", longest, "zebra", QStringLiteral("Äpfel")}));
    }

    void readLikeTheEngine_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("no checksum line") << QByteArray("one\r\ntwo\n\n") << QStringList{"one", "two"};
        QTest::newRow("checksum holds") << withChecksum("one\ntwo\n") << QStringList{"one", "two"};
        // The engine ignores such a file; words read from it would differ from what it marks.
        QTest::newRow("checksum broken") << QByteArray("one\ntwo\nchecksum_v1 = 0123")
                                         << QStringList{};
        QTest::newRow("lines that are no word")
            << QByteArray("one two\n" + QByteArray(100, 'x') + "\nthree\nthree\n")
            << QStringList{"three"};
        QTest::newRow("not text") << QByteArray("\xff\xfe\x00\x01", 4) << QStringList{};
    }
    void readLikeTheEngine()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, words);
        QCOMPARE(PersonalDictionary::parse(content), words);
    }

    // A word added is in the file for the next start, and known to this run at once.
    void aWordAddedIsKeptForTheNextStart()
    {
        QTemporaryDir profile;
        {
            PersonalDictionary dictionary(profile.path());
            QCOMPARE(dictionary.size(), 0);
            QCOMPARE(dictionary.add(QStringLiteral("Pelvane")), PersonalDictionary::Result::Added);
            QVERIFY(dictionary.contains(QStringLiteral("Pelvane")));
            QCOMPARE(dictionary.add(QStringLiteral("Pelvane")),
                     PersonalDictionary::Result::AlreadyKnown);
            QCOMPARE(dictionary.add(QStringLiteral("two words")),
                     PersonalDictionary::Result::Refused);
            QCOMPARE(dictionary.add(QStringLiteral("Brenmoor")), PersonalDictionary::Result::Added);
        }
        QFile file(QDir(profile.path()).filePath(PersonalDictionary::fileName()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), withChecksum("Brenmoor\nPelvane\n"));
        PersonalDictionary again(profile.path());
        QCOMPARE(again.size(), 2);
        QVERIFY(again.contains(QStringLiteral("Brenmoor")));
        QVERIFY(again.error().isEmpty());
    }

    // Nothing on disk for a profile that keeps nothing; the words last for the run.
    void aProfileInMemoryKeepsWordsForTheRun()
    {
        PersonalDictionary dictionary{QString()};
        QCOMPARE(dictionary.add(QStringLiteral("Pelvane")), PersonalDictionary::Result::Added);
        QVERIFY(dictionary.contains(QStringLiteral("Pelvane")));
        QVERIFY(dictionary.path().isEmpty());
    }

    // A word that cannot be written is said, not taken: the next start would not know it.
    void aWordThatCannotBeKeptIsSaid()
    {
        QTemporaryDir profile;
        // A folder where the file should be: no one can write the file, root included.
        QVERIFY(QDir(profile.path()).mkdir(PersonalDictionary::fileName()));
        PersonalDictionary dictionary(profile.path());
        QCOMPARE(dictionary.add(QStringLiteral("Pelvane")), PersonalDictionary::Result::Failed);
        QVERIFY2(dictionary.error().contains(PersonalDictionary::fileName()),
                 qPrintable(dictionary.error()));
        QVERIFY(!dictionary.contains(QStringLiteral("Pelvane")));
    }

    // A file no person wrote is not read whole into memory.
    void anOversizedFileIsRefused()
    {
        QTemporaryDir profile;
        QFile file(QDir(profile.path()).filePath(PersonalDictionary::fileName()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(PersonalDictionary::MaxFileBytes + 1));
        file.close();
        PersonalDictionary dictionary(profile.path());
        QCOMPARE(dictionary.size(), 0);
        QVERIFY2(dictionary.error().contains(QStringLiteral("larger than")),
                 qPrintable(dictionary.error()));
    }
};

PELVANE_TEST_GUILESS_MAIN(TestPersonalDictionary)
#include "tst_personaldictionary.moc"
