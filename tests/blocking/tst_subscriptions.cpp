#include "blocking/FilterSubscriptions.h"
#include "blocking/SubscriptionRules.h"
#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "settings/FilterSubscriptionList.h"
#include "support/FakeFileFetcher.h"
#include "support/TestHome.h"

#include <QTimeZone>
#include <QtTest>

namespace {

const QDateTime Now = QDateTime(QDate(2026, 3, 10), QTime(12, 0), QTimeZone::utc());

QDateTime hoursBefore(qint64 hours)
{
    return Now.addSecs(-hours * 3600);
}

QUrl url(const char* text)
{
    return QUrl(QString::fromLatin1(text));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

const QByteArray List = "[Adblock Plus 2.0]\n||ads.example^\n";

} // namespace

class TestSubscriptions final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- The rules ---------------------------------------------------------------------------

    void fileNames_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("readable");
        QTest::newRow("host and path") << "https://lists.example.org/easy/list.txt"
                                       << "lists.example.org-easy-list-";
        QTest::newRow("upper case and query") << "https://Example.ORG/A List?x=../../y"
                                              << "example.org-a-list-";
        QTest::newRow("separators and dots") << "http://h/..%2F..%2Fetc/passwd"
                                             << "h-..-..-etc-passwd-";
        QTest::newRow("a file address has no host") << "file:///home/u/.hidden.txt"
                                                    << "home-u-.hidden-";
        QTest::newRow("nothing readable") << "http://-/"
                                          << "list-";
    }
    void fileNames()
    {
        QFETCH(QString, address);
        QFETCH(QString, readable);
        const QString name = SubscriptionRules::fileNameFor(QUrl(address));
        QVERIFY2(name.startsWith(readable), qPrintable(name));
        QVERIFY(name.endsWith(QLatin1String(".txt")));
        QVERIFY(!name.startsWith(QLatin1Char('.')));
        QVERIFY(!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')));
        QCOMPARE(SubscriptionRules::fileNameFor(QUrl(address)), name);
    }

    void fileNamesAreBoundedAndNeverShared()
    {
        const QString longPath = QString(500, QLatin1Char('a'));
        const QString name =
            SubscriptionRules::fileNameFor(QUrl(QStringLiteral("https://h/") + longPath));
        QVERIFY(name.size() <= SubscriptionRules::MaxReadableLength + 22);
        // Addresses that read alike still differ in their hash.
        QSet<QString> names;
        for (const char* a : {"https://h/a-b", "https://h/a_b", "https://h/a/b", "https://h/a?b",
                              "http://h/a/b", "https://h/A/B", "https://h/a/b#c"})
            names.insert(SubscriptionRules::fileNameFor(url(a)));
        QCOMPARE(names.size(), 7);
    }

    void due_data()
    {
        QTest::addColumn<QDateTime>("lastDownload");
        QTest::addColumn<QDateTime>("lastFailure");
        QTest::addColumn<bool>("due");
        const QDateTime never;
        QTest::newRow("never downloaded") << never << never << true;
        QTest::newRow("a day ago") << hoursBefore(24) << never << false;
        QTest::newRow("six days and 23 hours ago") << hoursBefore(7 * 24 - 1) << never << false;
        QTest::newRow("a week ago") << hoursBefore(7 * 24) << never << true;
        QTest::newRow("failed a minute ago") << hoursBefore(8 * 24) << Now.addSecs(-60) << false;
        QTest::newRow("failed an hour ago") << hoursBefore(8 * 24) << hoursBefore(1) << true;
        QTest::newRow("never downloaded, failed just now") << never << Now << false;
        QTest::newRow("an old failure, a recent download")
            << hoursBefore(2) << hoursBefore(30) << false;
        QTest::newRow("downloaded in the future (clock put back)")
            << Now.addDays(3) << never << true;
        QTest::newRow("failed in the future") << never << Now.addSecs(600) << true;
    }
    void due()
    {
        QFETCH(QDateTime, lastDownload);
        QFETCH(QDateTime, lastFailure);
        QFETCH(bool, due);
        QCOMPARE(SubscriptionRules::isDue(lastDownload, Now, lastFailure), due);
    }

    void content_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("problem"); // a word of the message; empty: none
        const QByteArray list = "[Adblock Plus 2.0]\n! Title: test\n||ads.example^\n";
        QTest::newRow("a list") << list << qint64(list.size()) << "";
        QTest::newRow("a hosts file") << QByteArray("0.0.0.0 ads.example\r\n") << qint64(21) << "";
        QTest::newRow("a list with a byte order mark")
            << QByteArray("\xef\xbb\xbf! list\n##.ad\n") << qint64(16) << "";
        QTest::newRow("exactly the bound") << list << SubscriptionRules::MaxListBytes << "";
        QTest::newRow("over the bound") << list << SubscriptionRules::MaxListBytes + 1 << "larger";
        QTest::newRow("empty") << QByteArray() << qint64(0) << "empty";
        QTest::newRow("blank lines only") << QByteArray("\n\n  \n") << qint64(5) << "empty";
        QTest::newRow("a page") << QByteArray("<!DOCTYPE html><html><body>Not found") << qint64(36)
                                << "web page";
        QTest::newRow("a page after a comment")
            << QByteArray("\n<!-- x -->\n<HTML><HEAD>") << qint64(24) << "web page";
        QTest::newRow("binary") << QByteArray("\x1f\x8b\x08\0\0\0", 6) << qint64(6) << "not text";
        QTest::newRow("control characters")
            << QByteArray("ab\x01\x02\x03\x04\x05\x06\x07\x0e\x0f") << qint64(11) << "not text";
    }
    void content()
    {
        QFETCH(QByteArray, head);
        QFETCH(qint64, size);
        QFETCH(QString, problem);
        const QString message = SubscriptionRules::contentProblem(head, size);
        if (problem.isEmpty())
            QCOMPARE(message, QString());
        else
            QVERIFY2(message.contains(problem), qPrintable(message));
    }

    // --- The stored list ---------------------------------------------------------------------

    void storedListKeepsTimesAndOrder()
    {
        RegistryHive hive(m_home.file(QStringLiteral("kept.db")));
        FilterSubscriptionList list(hive);
        const QUrl a = url("https://a.example/list.txt");
        const QUrl b = url("http://b.example/hosts");
        const QUrl c = url("file:///srv/lists/c.txt");
        QVERIFY(list.setAddresses({b, a, url("ftp://x/y"), url("javascript:alert(1)"), a}));
        QVERIFY(list.recordOutcome(a, Now, QString()));
        QVERIFY(list.recordOutcome(b, hoursBefore(1), QStringLiteral("Server error")));
        QVERIFY(!list.recordOutcome(c, Now, QString())); // not kept: not added either

        QList<FilterSubscription> read = list.read();
        QCOMPARE(read.size(), 2);
        QCOMPARE(read[0].address, b);
        QCOMPARE(read[0].lastFailure, hoursBefore(1));
        QCOMPARE(read[0].lastError, QStringLiteral("Server error"));
        QVERIFY(!read[0].lastDownload.isValid());
        QCOMPARE(read[1].address, a);
        QCOMPARE(read[1].lastDownload, Now);
        QVERIFY(read[1].lastError.isEmpty());

        // A later download clears the error; a new list keeps what stays, in its place.
        QVERIFY(list.recordOutcome(b, Now, QString()));
        QVERIFY(list.setAddresses({c, a}));
        read = FilterSubscriptionList(hive).read();
        QCOMPARE(read.size(), 2);
        QCOMPARE(read[0].address, a);
        QCOMPARE(read[0].lastDownload, Now);
        QCOMPARE(read[1].address, c);
        QVERIFY(!read[1].lastDownload.isValid());
    }

    void badEntriesArePassedOver()
    {
        RegistryHive hive(m_home.file(QStringLiteral("bad.db")));
        const auto entry = [&hive](const QString& subkey, const QString& address) {
            TRegistry reg(hive);
            reg.openKey(FilterSubscriptionList::key() + QLatin1Char('\\') + subkey, true);
            reg.writeString(QStringLiteral("Address"), address);
            return reg.keyId();
        };
        entry(QStringLiteral("0001"), QStringLiteral("https://good.example/a.txt"));
        entry(QStringLiteral("0002"), QStringLiteral("ftp://x.example/a.txt"));
        entry(QStringLiteral("0003"), QStringLiteral("not an address at all"));
        entry(QStringLiteral("0004"), QStringLiteral("https://h/") + QString(3000, 'a'));
        entry(QStringLiteral("0005"), QStringLiteral("https://good.example/a.txt")); // twice
        {
            TRegistry reg(hive);
            reg.openKey(FilterSubscriptionList::key() + QStringLiteral("\\0006"), true);
            reg.writeInteger(QStringLiteral("Address"), 7);
            reg.openKey(FilterSubscriptionList::key() + QStringLiteral("\\0007"), true);
            reg.writeString(QStringLiteral("Address"), QStringLiteral("https://t.example/"));
            reg.writeString(QStringLiteral("Last Download"), QStringLiteral("yesterday"));
            reg.writeInteger(QStringLiteral("Last Error"), 1);
            reg.openKey(FilterSubscriptionList::key() + QStringLiteral("\\0008"), true);
            reg.writeString(QStringLiteral("Address"), QStringLiteral("https://e.example/"));
            reg.writeString(QStringLiteral("Last Error"), QString(5000, 'e'));
        }
        for (int i = 0; i < 150; ++i)
            entry(QStringLiteral("x%1").arg(i, 3, 10, QLatin1Char('0')),
                  QStringLiteral("https://many.example/%1").arg(i));

        const QList<FilterSubscription> read = FilterSubscriptionList(hive).read();
        QCOMPARE(read.size(), FilterSubscriptionList::MaxSubscriptions);
        QCOMPARE(read[0].address, url("https://good.example/a.txt"));
        QCOMPARE(read[1].address, url("https://e.example/"));
        QCOMPARE(read[1].lastError.size(), FilterSubscriptionList::MaxErrorLength);
        QCOMPARE(read[2].address, url("https://many.example/0"));

        // Adding to such a list numbers the new one after every subkey there.
        QList<QUrl> addresses;
        for (const FilterSubscription& s : read.mid(0, 2))
            addresses.append(s.address);
        addresses.append(url("https://new.example/"));
        QVERIFY(FilterSubscriptionList(hive).setAddresses(addresses));
        TRegistry reg(hive);
        QVERIFY(reg.keyExists(FilterSubscriptionList::key() + QStringLiteral("\\0009")));
    }

    // --- The scheduler -----------------------------------------------------------------------

    void downloadsThoseDueOneAtATime()
    {
        Scheduler t(m_home, QStringLiteral("due"));
        const QUrl fresh = url("https://fresh.example/list.txt");
        const QUrl stale = url("https://stale.example/list.txt");
        const QUrl never = url("https://never.example/list.txt");
        QVERIFY(t.list.setAddresses({fresh, stale, never}));
        t.list.recordOutcome(fresh, hoursBefore(24), QString());
        t.list.recordOutcome(stale, hoursBefore(8 * 24), QString());
        QSignalSpy finished(&t.scheduler, &FilterSubscriptions::finished);

        t.scheduler.checkNow();
        QCOMPARE(t.fetcher.requests.size(), 1);
        QCOMPARE(t.fetcher.requests[0].address, stale);
        QVERIFY(
            t.fetcher.requests[0].file.startsWith(FilterSubscriptions::incomingFolder(t.folder)));
        t.scheduler.checkNow(); // asked again meanwhile: nothing is fetched twice
        t.now = Now.addSecs(30);
        t.fetcher.answer(List);
        QCOMPARE(readFile(t.fileOf(stale)), List);
        QTRY_COMPARE(t.fetcher.requests.size(), 2);
        QCOMPARE(t.fetcher.requests[1].address, never);
        t.fetcher.answer(List);
        QVERIFY(finished.wait());
        QCOMPARE(t.fetcher.requests.size(), 2);
        QCOMPARE(t.fetcher.overlapping, 0);
        QCOMPARE(t.downloaded(stale), Now.addSecs(30));
        QCOMPARE(t.downloaded(fresh), hoursBefore(24));
        QCOMPARE(QDir(FilterSubscriptions::incomingFolder(t.folder)).entryList(QDir::Files),
                 QStringList());

        // Refresh Now takes every list, due or not.
        t.scheduler.refreshNow();
        for (int i = 0; i < 3; ++i) {
            QTRY_COMPARE(t.fetcher.requests.size(), 3 + i);
            t.fetcher.answer(List);
        }
        QVERIFY(finished.wait());
    }

    void failureKeepsTheOldListAndRetriesLater()
    {
        Scheduler t(m_home, QStringLiteral("failure"));
        const QUrl address = url("https://lists.example/easy.txt");
        QVERIFY(t.list.setAddresses({address}));
        QVERIFY(QDir().mkpath(t.folder));
        QFile old(t.fileOf(address));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("! the old list\n");
        old.close();
        QSignalSpy outcomes(&t.scheduler, &FilterSubscriptions::outcome);
        QSignalSpy finished(&t.scheduler, &FilterSubscriptions::finished);

        struct Case
        {
            QByteArray body;
            QString fetchError;
            QString recorded; // a part of the error kept
        };
        const QList<Case> cases = {
            {"partial", QStringLiteral("The server answered 404"), QStringLiteral("404")},
            {"<!DOCTYPE html><html>sign in</html>", {}, QStringLiteral("web page")},
            {"", {}, QStringLiteral("empty")},
        };
        for (const Case& c : cases) {
            t.scheduler.refreshNow();
            QVERIFY(t.fetcher.busy);
            t.fetcher.answer(c.body, c.fetchError);
            QVERIFY(finished.wait());
            QCOMPARE(outcomes.takeLast().at(1).toString().contains(c.recorded), true);
            QCOMPARE(readFile(t.fileOf(address)), QByteArray("! the old list\n"));
            const FilterSubscription kept = t.list.read().constFirst();
            QVERIFY2(kept.lastError.contains(c.recorded), qPrintable(kept.lastError));
            QCOMPARE(kept.lastFailure, Now);
            QVERIFY(!kept.lastDownload.isValid());
            QVERIFY(!QFile::exists(t.fetcher.requests.constLast().file));
        }

        // Not again within the hour; after it, yes.
        const int asked = t.fetcher.requests.size();
        t.now = Now.addSecs(59 * 60);
        finished.clear();
        t.scheduler.checkNow();
        QCOMPARE(finished.count(), 1); // at once: nothing to wait for
        QCOMPARE(t.fetcher.requests.size(), asked);
        t.now = Now.addSecs(60 * 60);
        t.scheduler.checkNow();
        QCOMPARE(t.fetcher.requests.size(), asked + 1);
        t.fetcher.answer(List);
        QVERIFY(finished.wait());
        QCOMPARE(readFile(t.fileOf(address)), List);
        QCOMPARE(t.list.read().constFirst().lastError, QString());
    }

    void startClearsLeftoversAndDroppedListsGo()
    {
        Scheduler t(m_home, QStringLiteral("leftovers"));
        const QUrl kept = url("https://kept.example/a.txt");
        const QUrl dropped = url("https://dropped.example/b.txt");
        QVERIFY(t.list.setAddresses({kept, dropped}));
        t.list.recordOutcome(kept, Now, QString());
        t.list.recordOutcome(dropped, Now, QString());
        const QString incoming = FilterSubscriptions::incomingFolder(t.folder);
        QVERIFY(QDir().mkpath(incoming));
        for (const QString& name : {QStringLiteral("cut-short.part"), t.fileOf(kept),
                                    t.fileOf(dropped), QStringLiteral("mine.txt")}) {
            QFile file(
                QDir(name.startsWith(QLatin1Char('/')) ? QString() : incoming).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(List);
            file.flush();
            file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-60),
                             QFileDevice::FileModificationTime);
        }
        QFile::rename(QDir(incoming).filePath(QStringLiteral("mine.txt")),
                      QDir(t.folder).filePath(QStringLiteral("mine.txt")));

        t.scheduler.start();
        QVERIFY(!QFile::exists(QDir(incoming).filePath(QStringLiteral("cut-short.part"))));
        QVERIFY(t.list.setAddresses({kept}));
        QSignalSpy finished(&t.scheduler, &FilterSubscriptions::finished);
        t.scheduler.checkNow();
        QCOMPARE(finished.count(), 1);
        QVERIFY(t.fetcher.requests.isEmpty());
        QVERIFY(!QFile::exists(t.fileOf(dropped)));
        QVERIFY(QFile::exists(t.fileOf(kept)));
        QVERIFY(QFile::exists(QDir(t.folder).filePath(QStringLiteral("mine.txt"))));
    }

    void firstCheckComesAFewSecondsAfterStart()
    {
        Scheduler t(m_home, QStringLiteral("first"));
        QVERIFY(t.list.setAddresses({url("https://first.example/list.txt")}));
        QElapsedTimer clock;
        clock.start();
        t.scheduler.start();
        QVERIFY(t.fetcher.requests.isEmpty()); // the window's first pages come first
        QTRY_COMPARE_WITH_TIMEOUT(t.fetcher.requests.size(), 1,
                                  FilterSubscriptions::FirstCheckMs + 3000);
        // A coarse timer may fire up to 5% early; it still comes seconds after the start.
        QVERIFY2(clock.elapsed() >= FilterSubscriptions::FirstCheckMs * 94 / 100,
                 qPrintable(QString::number(clock.elapsed())));
    }

private:
    // A scheduler on a hive and a folder of its own, with a fake fetcher and clock.
    struct Scheduler
    {
        Scheduler(const TestHome& home, const QString& name)
            : hive(home.file(name + QStringLiteral(".db")))
            , list(hive)
            , folder(home.file(name))
            , scheduler(list, fetcher, folder, [this] { return now; })
        {}
        QString fileOf(const QUrl& address) const
        {
            return QDir(folder).filePath(SubscriptionRules::fileNameFor(address));
        }
        QDateTime downloaded(const QUrl& address) const
        {
            for (const FilterSubscription& s : list.read()) {
                if (s.address == address)
                    return s.lastDownload;
            }
            return {};
        }

        RegistryHive hive;
        FilterSubscriptionList list;
        FakeFileFetcher fetcher;
        QString folder;
        QDateTime now = Now;
        FilterSubscriptions scheduler;
    };

    TestHome m_home;
};

QTEST_GUILESS_MAIN(TestSubscriptions)
#include "tst_subscriptions.moc"
