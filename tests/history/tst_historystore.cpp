#include "history/DeferredHistory.h"
#include "history/HistoryExpiry.h"
#include "history/HistoryStore.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>

#include <atomic>
#include <latch>

namespace {

QDateTime at(int y, int m, int d, int h = 12, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

QStringList urlsOf(const QList<HistoryEntry>& entries)
{
    QStringList urls;
    for (const HistoryEntry& e : entries)
        urls << e.url;
    return urls;
}

QString freshPath(const QString& name)
{
    const QString path = TestFiles::home(name);
    QFile::remove(path);
    return path;
}

QStringList setAside(const QString& path)
{
    return QFileInfo(path).dir().entryList({QFileInfo(path).fileName() + ".damaged-*"});
}

QStringList captionsOf(const QList<HistoryPeriod>& periods)
{
    QStringList captions;
    for (const HistoryPeriod& p : periods)
        captions << p.caption();
    return captions;
}

} // namespace

class TestHistoryStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void periodOfVisit_data()
    {
        QTest::addColumn<QDateTime>("visit");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("end");

        // 15 May 2024 is a Wednesday; its week began on Monday 13 May.
        const QDateTime wed = at(2024, 5, 15, 14);
        QTest::newRow("earlier today")
            << at(2024, 5, 15, 0) << wed << "Today" << QDate(2024, 5, 15) << QDate(2024, 5, 16);
        QTest::newRow("later today") << at(2024, 5, 15, 23, 59) << wed << "Today"
                                     << QDate(2024, 5, 15) << QDate(2024, 5, 16);
        QTest::newRow("clock put back")
            << at(2024, 5, 17) << wed << "Today" << QDate(2024, 5, 15) << QDate(2024, 5, 16);
        QTest::newRow("yesterday")
            << at(2024, 5, 14, 1) << wed << "Tuesday" << QDate(2024, 5, 14) << QDate(2024, 5, 15);
        QTest::newRow("week start")
            << at(2024, 5, 13, 0) << wed << "Monday" << QDate(2024, 5, 13) << QDate(2024, 5, 14);
        QTest::newRow("sunday before") << at(2024, 5, 12, 23, 59) << wed << "Last Week"
                                       << QDate(2024, 5, 6) << QDate(2024, 5, 13);
        QTest::newRow("monday before")
            << at(2024, 5, 6, 0) << wed << "Last Week" << QDate(2024, 5, 6) << QDate(2024, 5, 13);
        QTest::newRow("two weeks")
            << at(2024, 5, 5) << wed << "2 Weeks Ago" << QDate(2024, 4, 29) << QDate(2024, 5, 6);
        QTest::newRow("three weeks")
            << at(2024, 4, 28) << wed << "3 Weeks Ago" << QDate(2024, 4, 22) << QDate(2024, 4, 29);
        QTest::newRow("four weeks")
            << at(2024, 4, 21) << wed << "4 Weeks Ago" << QDate(2024, 4, 15) << QDate(2024, 4, 22);
        // On a Monday there are no weekday folders: yesterday was last week.
        QTest::newRow("monday: yesterday") << at(2024, 5, 12) << at(2024, 5, 13, 9) << "Last Week"
                                           << QDate(2024, 5, 6) << QDate(2024, 5, 13);
        QTest::newRow("sunday: monday") << at(2024, 5, 13) << at(2024, 5, 19, 9) << "Monday"
                                        << QDate(2024, 5, 13) << QDate(2024, 5, 14);
        QTest::newRow("across new year") << at(2024, 12, 30) << at(2025, 1, 1) << "Monday"
                                         << QDate(2024, 12, 30) << QDate(2024, 12, 31);
        QTest::newRow("last year's week") << at(2024, 12, 29) << at(2025, 1, 1) << "Last Week"
                                          << QDate(2024, 12, 23) << QDate(2024, 12, 30);
    }

    void periodOfVisit()
    {
        QFETCH(QDateTime, visit);
        QFETCH(QDateTime, now);
        QFETCH(QString, caption);
        QFETCH(QDate, first);
        QFETCH(QDate, end);
        const HistoryPeriod period = historyPeriodOf(visit, now);
        QCOMPARE(period.caption(), caption);
        QCOMPARE(period.first, first);
        QCOMPARE(period.end, end);
        QVERIFY(period.contains(visit.date()) || visit.date() > now.date());
    }

    void periodsBackToTheOldest()
    {
        QCOMPARE(
            captionsOf(historyPeriodsBetween(at(2024, 4, 25), at(2024, 5, 15))),
            (QStringList{"Today", "Tuesday", "Monday", "Last Week", "2 Weeks Ago", "3 Weeks Ago"}));
        QCOMPARE(captionsOf(historyPeriodsBetween(at(2024, 5, 15, 8), at(2024, 5, 15))),
                 QStringList{"Today"});
    }

    void recordsAndSearches()
    {
        HistoryStore store(HistoryStore::defaultFile());
        QVERIFY(store.isOpen());
        QSignalSpy changed(&store, &HistoryStore::changed);
        const QDateTime t = at(2024, 5, 15);
        QVERIFY(store.recordVisit("https://www.example.com/news", "Daily Bulletin", t));
        QVERIFY(store.recordVisit("http://plain.test/recipes", "Grandmother's Kitchen", t));
        QVERIFY(store.recordVisit("http://plain.test/recipes", QString(), t.addSecs(60)));
        QVERIFY(store.recordVisit("file:///home/user/notes.html", "Notes", t));
        QVERIFY(!store.recordVisit("about:blank", "Blank", t));
        QVERIFY(!store.recordVisit("data:text/html,<b>x</b>", QString(), t));
        QVERIFY(!store.recordVisit("view-source:http://plain.test/", QString(), t));
        QVERIFY(!store.recordVisit("", QString(), t));
        QCOMPARE(store.pageCount(), 3);
        QCOMPARE(changed.count(), 4);

        // A visit without a title keeps the title; the count and last visit move on.
        const auto kitchen = store.entry("http://plain.test/recipes");
        QVERIFY(kitchen);
        QCOMPARE(kitchen->title, QStringLiteral("Grandmother's Kitchen"));
        QCOMPARE(kitchen->visitCount, 2);
        QCOMPARE(kitchen->lastVisit, t.addSecs(60));
        QCOMPARE(kitchen->site, QStringLiteral("plain.test"));
        QCOMPARE(store.entry("file:///home/user/notes.html")->site, QString());

        // Found by title alone, by address alone, in capitals; most visited first.
        QCOMPARE(urlsOf(store.search("bulletin")), QStringList{"https://www.example.com/news"});
        QCOMPARE(urlsOf(store.search("EXAMPLE.COM")), QStringList{"https://www.example.com/news"});
        QCOMPARE(urlsOf(store.search("/")).first(), QStringLiteral("http://plain.test/recipes"));
        QCOMPARE(store.search("/").size(), 3);
        QCOMPARE(store.search("/", 1).size(), 1);
        QVERIFY(store.search("").isEmpty());
        QVERIFY(store.search("absent").isEmpty());
        QCOMPARE(urlsOf(store.search("mother's")), QStringList{"http://plain.test/recipes"});

        // Titles that arrive later replace the recorded one and are searchable at once.
        QVERIFY(store.updateTitle("https://www.example.com/news", "Évening Ärchive"));
        QCOMPARE(urlsOf(store.search("éVENING ä")), QStringList{"https://www.example.com/news"});
        QVERIFY(store.search("bulletin").isEmpty());
    }

    // Opened once the window is up: what the engine reported before waits for it.
    void deferredHistoryKeepsEarlyVisits()
    {
        TestHome home;
        DeferredHistory history(home.file(QStringLiteral("early.db")));
        const PageVisitSink sink = history.visitSink();
        QVERIFY(sink.visited("http://plain.test/a", QString()));
        const QDateTime visitedAt = QDateTime::currentDateTime();
        QVERIFY(!sink.visited("about:blank", QString()));
        sink.retitled("http://plain.test/a", "First Page");
        QVERIFY(!history.store());
        QTRY_VERIFY(QDateTime::currentDateTime() > visitedAt.addMSecs(50));
        history.open();
        QVERIFY(history.store()->entry("http://plain.test/a")->lastVisit <= visitedAt);
        QVERIFY(sink.visited("http://plain.test/b", "Second"));
        QCOMPARE(history.store()->pageCount(), 2);
        QCOMPARE(history.store()->entry("http://plain.test/a")->title,
                 QStringLiteral("First Page"));

        // A run that ends before the store opened keeps its visits too.
        {
            DeferredHistory early(home.file(QStringLiteral("short.db")));
            QVERIFY(early.visitSink().visited("http://plain.test/c", "Third"));
        }
        QVERIFY(HistoryStore(home.file(QStringLiteral("short.db"))).entry("http://plain.test/c"));
    }

    void prefixesOfAddressAndTitle()
    {
        HistoryStore store(HistoryStore::defaultFile());
        QVERIFY(store.clear());
        const QDateTime t = at(2024, 5, 15);
        store.recordVisit("https://www.example.com/a", "Alpha", t.addSecs(2));
        store.recordVisit("http://example.org/", "Second", t);
        store.recordVisit("http://example.org/", "Second", t);
        store.recordVisit("https://other.test/example", "Example Domain", t.addSecs(1));
        QCOMPARE(urlsOf(store.searchPrefix("exam")),
                 (QStringList{"http://example.org/", "https://www.example.com/a",
                              "https://other.test/example"}));
        QCOMPARE(urlsOf(store.searchPrefix("WWW.Example.c")),
                 QStringList{"https://www.example.com/a"});
        QCOMPARE(urlsOf(store.searchPrefix("https://www.example.com/")),
                 QStringList{"https://www.example.com/a"});
        QCOMPARE(urlsOf(store.searchPrefix("alp")), QStringList{"https://www.example.com/a"});
        QVERIFY(store.searchPrefix("xample").isEmpty());
        QVERIFY(store.searchPrefix("").isEmpty());
    }

    // Beyond the most visited few thousand pages a search goes on through other paths:
    // every path must find the same pages in the same order.
    void largeHistorySearchesAgree()
    {
        HistoryStore store(HistoryStore::defaultFile());
        QVERIFY(store.clear());
        const QDateTime t = at(2024, 5, 15);
        QVERIFY(store.beginBatch());
        for (int i = 0; i < 6000; ++i) {
            const QString url = QStringLiteral("http://site%1.test/page").arg(i);
            store.recordVisit(url, QStringLiteral("Page number %1").arg(i), t.addSecs(i));
            if (i % 100 == 0) // a few pages visited twice rank first
                store.recordVisit(url, QString(), t.addSecs(i));
        }
        // Pages that rank last, with texts nothing else holds.
        store.recordVisit("http://rare.test/qz", "Quiet zebra", t.addYears(-1));
        store.recordVisit("http://rare.test/unique-needle", "Needle", t.addYears(-1).addSecs(1));
        QVERIFY(store.commitBatch());
        QCOMPARE(store.pageCount(), 6002);

        // Common text: the most visited come first, newest among equals.
        const QList<HistoryEntry> common = store.search("page number", 5);
        QCOMPARE(urlsOf(common),
                 (QStringList{"http://site5900.test/page", "http://site5800.test/page",
                              "http://site5700.test/page", "http://site5600.test/page",
                              "http://site5500.test/page"}));
        // Rare texts long enough for the trigram index, and too short for it.
        QCOMPARE(urlsOf(store.search("UNIQUE-NEEDLE")),
                 QStringList{"http://rare.test/unique-needle"});
        QCOMPARE(urlsOf(store.search("zebra")), QStringList{"http://rare.test/qz"});
        QCOMPARE(urlsOf(store.search("qz")), QStringList{"http://rare.test/qz"});
        QCOMPARE(urlsOf(store.search("number 5999")), QStringList{"http://site5999.test/page"});
        QVERIFY(store.search("number 6000").isEmpty());
        // More hits than the first stage can give, in rank order.
        const QList<HistoryEntry> many = store.search("site1", 300);
        QCOMPARE(many.size(), 300);
        QCOMPARE(many.first().url, QStringLiteral("http://site1900.test/page"));
        for (qsizetype i = 1; i < many.size(); ++i) {
            QVERIFY(many[i - 1].visitCount > many[i].visitCount ||
                    (many[i - 1].visitCount == many[i].visitCount &&
                     many[i - 1].lastVisit >= many[i].lastVisit));
        }
        QCOMPARE(urlsOf(store.searchPrefix("rare.test/u")),
                 QStringList{"http://rare.test/unique-needle"});
        QCOMPARE(urlsOf(store.searchPrefix("quiet")), QStringList{"http://rare.test/qz"});
    }

    void periodsSitesAndPages()
    {
        HistoryStore store(HistoryStore::defaultFile());
        QVERIFY(store.clear());
        QVERIFY(store.periods(at(2024, 5, 15)).isEmpty());
        const QDateTime now = at(2024, 5, 15, 18);
        store.recordVisit("http://b.test/2", "Zulu", at(2024, 5, 15, 9));
        store.recordVisit("http://b.test/1", "alpha", at(2024, 5, 15, 10));
        store.recordVisit("http://a.test/", QString(), at(2024, 5, 15, 11));
        store.recordVisit("http://b.test/1", "alpha", at(2024, 5, 13, 10)); // Monday
        store.recordVisit("http://c.test/", "Old", at(2024, 4, 30, 10));    // 2 weeks ago
        const QList<HistoryPeriod> periods = store.periods(now);
        QCOMPARE(captionsOf(periods), (QStringList{"Today", "Monday", "2 Weeks Ago"}));
        QCOMPARE(store.sites(periods[0]), (QStringList{"a.test", "b.test"}));
        QCOMPARE(store.sites(periods[1]), QStringList{"b.test"});
        // By title (ignoring case), pages without a title by address.
        const QList<HistoryEntry> today = store.pages(periods[0], "b.test");
        QCOMPARE(urlsOf(today), (QStringList{"http://b.test/1", "http://b.test/2"}));
        QCOMPARE(today[0].visitCount, 1); // the visits within the period
        QCOMPARE(today[0].lastVisit, at(2024, 5, 15, 10));
        QCOMPARE(urlsOf(store.pages(periods[1], "b.test")), QStringList{"http://b.test/1"});
        QCOMPARE(urlsOf(store.pages(periods[2], "c.test")), QStringList{"http://c.test/"});
        QVERIFY(store.pages(periods[2], "b.test").isEmpty());
    }

    // A long history expires in bounded steps, oldest first, as it would at once.
    void expiresInSteps()
    {
        HistoryStore store(HistoryStore::defaultFile());
        QVERIFY(store.clear());
        const QDateTime now = at(2024, 5, 15, 18);
        for (int i = 0; i < 10; ++i)
            store.recordVisit(QStringLiteral("http://old.test/%1").arg(i), "Old",
                              now.addDays(-30).addSecs(i));
        store.recordVisit("http://both.test/", "Both", now.addDays(-40));
        store.recordVisit("http://both.test/", "Both", now.addDays(-1));
        QSignalSpy changed(&store, &HistoryStore::changed);

        const auto nothing = store.expireSome(50, 4, now);
        QVERIFY(nothing && nothing->visits == 0 && nothing->pages == 0);
        QCOMPARE(changed.count(), 0);
        // Five visits a step (four, and the one that bounds them): the old visit of
        // both.test and four old pages, then five pages, then the last.
        QList<int> pages;
        for (;;) {
            const auto step = store.expireSome(20, 4, now);
            QVERIFY(step);
            if (step->visits == 0 && step->pages == 0)
                break;
            pages << step->pages;
        }
        QCOMPARE(pages, (QList<int>{4, 5, 1}));
        QCOMPARE(changed.count(), 3);
        QCOMPARE(store.pageCount(), 1);
        QCOMPARE(store.entry("http://both.test/")->visitCount, 1);
        QCOMPARE(store.expire(20, now), 0);
    }

    // At a start: on a worker thread with a connection of its own, then gone.
    void expiryRunsBesideTheWindow()
    {
        const QDateTime now = QDateTime::currentDateTime();
        {
            HistoryStore store(HistoryStore::defaultFile());
            QVERIFY(store.clear());
            for (int i = 0; i < 7; ++i)
                store.recordVisit(QStringLiteral("http://old.test/%1").arg(i), "Old",
                                  now.addDays(-30).addSecs(i));
            store.recordVisit("http://new.test/", "New", now.addDays(-1));
        }
        QPointer<HistoryExpiry> expiry = new HistoryExpiry(HistoryStore::defaultFile(), 20);
        QSignalSpy done(expiry.data(), &HistoryExpiry::finished);
        expiry->start(2);
        QVERIFY(done.wait());
        QCOMPARE(done.first().first().toInt(), 7);
        QTRY_VERIFY(!expiry);
        QCOMPARE(HistoryStore(HistoryStore::defaultFile()).pageCount(), 1);

        // A store that cannot be opened.
        const QString blocker = TestFiles::home(QStringLiteral("blocker"));
        TestFiles::writeFile(blocker, "not a folder");
        auto* broken = new HistoryExpiry(blocker + QStringLiteral("/history.db"), 20);
        QSignalSpy failed(broken, &HistoryExpiry::finished);
        broken->start(2);
        QVERIFY(failed.wait());
        QCOMPARE(failed.first().first().toInt(), -1);

        // Gone before its worker is done: it stops after a step, and says nothing.
        {
            HistoryStore store(HistoryStore::defaultFile());
            for (int i = 0; i < 50; ++i)
                store.recordVisit(QStringLiteral("http://old.test/%1").arg(i), "Old",
                                  now.addDays(-30).addSecs(i));
        }
        auto* stopped = new HistoryExpiry(HistoryStore::defaultFile(), 20);
        QSignalSpy never(stopped, &HistoryExpiry::finished);
        stopped->start(1);
        delete stopped;
        QCoreApplication::processEvents();
        QCOMPARE(never.count(), 0);
    }

    void deletesClearsAndExpires()
    {
        HistoryStore store(HistoryStore::defaultFile());
        QVERIFY(store.clear());
        const QDateTime now = at(2024, 5, 15, 18);
        store.recordVisit("http://keep.test/", "Keep", now.addDays(-1));
        store.recordVisit("http://keep.test/", "Keep", now.addDays(-30));
        store.recordVisit("http://old.test/", "Old", now.addDays(-25));
        store.recordVisit("http://gone.test/a", "Gone A", now.addDays(-2));
        store.recordVisit("http://gone.test/b", "Gone B", now.addDays(-2));

        QVERIFY(store.deleteAddress("http://gone.test/a"));
        QVERIFY(!store.deleteAddress("http://gone.test/a"));
        QVERIFY(store.deleteSite("gone.test"));
        QVERIFY(store.search("gone").isEmpty());
        QCOMPARE(store.pageCount(), 2);

        QCOMPARE(store.expire(20, now), 1); // old.test goes; keep.test loses one visit
        QVERIFY(!store.entry("http://old.test/"));
        QCOMPARE(store.entry("http://keep.test/")->visitCount, 1);
        QCOMPARE(captionsOf(store.periods(now)), QStringList{"Tuesday"});
        QCOMPARE(store.expire(20, now), 0);
        // The kept page still ranks by its remaining visits.
        store.recordVisit("http://new.test/", "New", now.addDays(-1).addSecs(-60));
        store.recordVisit("http://new.test/", "New", now.addDays(-1).addSecs(-30));
        QCOMPARE(urlsOf(store.search(".test")),
                 (QStringList{"http://new.test/", "http://keep.test/"}));

        QVERIFY(store.clear());
        QCOMPARE(store.pageCount(), 0);
        QVERIFY(store.periods(now).isEmpty());
        QVERIFY(store.search("test").isEmpty());
    }

    // Two running copies share the file: what one records, the other finds at once.
    void sharedByRunningCopies()
    {
        HistoryStore first(HistoryStore::defaultFile());
        HistoryStore second(HistoryStore::defaultFile());
        QVERIFY(first.clear());
        QVERIFY(second.search("shared").isEmpty());
        QVERIFY(first.recordVisit("http://shared.test/", "Shared", at(2024, 5, 15)));
        QCOMPARE(urlsOf(second.search("shared")), QStringList{"http://shared.test/"});
        QVERIFY(second.recordVisit("http://shared.test/", QString(), at(2024, 5, 15, 13)));
        QCOMPARE(first.entry("http://shared.test/")->visitCount, 2);
    }

    void damagedFileIsMovedAside()
    {
        const QString path =
            TestFiles::writeFile(TestFiles::home("damaged.db"), QByteArray(8192, 'x'));
        HistoryStore store(path);
        QVERIFY(store.isOpen());
        QVERIFY(store.recordVisit("http://after.test/", "After", at(2024, 5, 15)));
        const QStringList aside =
            QDir(QFileInfo(path).absolutePath()).entryList({"damaged.db.damaged-*"});
        QCOMPARE(aside.size(), 1);
    }

    // Only SQLite's verdict of damage moves a file aside: a history that cannot be opened
    // for another reason stays where it is, and the store says why.
    void unopenableFileIsLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("newer program") << "newer"
                                       << "newer version of Pelvane";
        QTest::newRow("folder cannot be made") << "folder"
                                               << "folder cannot be created";
    }

    void unopenableFileIsLeftAlone()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QString path = freshPath(QStringLiteral("%1.db").arg(kind));
        if (kind == QLatin1String("newer")) {
            {
                HistoryStore store(path);
                QVERIFY(store.recordVisit("http://kept.test/", "Kept", at(2024, 5, 15)));
            }
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kind);
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QVERIFY(QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version=2")));
            }
            QSqlDatabase::removeDatabase(kind);
        } else {
            QFile blocker(path); // a file where the folder should be
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            path += QStringLiteral("/sub/history.db");
        }
        const QByteArray before = TestFiles::readFile(path);

        HistoryStore store(path);
        QVERIFY(!store.isOpen());
        QVERIFY2(store.errorText().contains(reason), qPrintable(store.errorText()));
        QVERIFY(store.unavailableMessage().contains(QDir::toNativeSeparators(path)));
        QVERIFY(!store.recordVisit("http://lost.test/", "Lost"));
        QVERIFY(store.search("kept").isEmpty());
        QCOMPARE(TestFiles::readFile(path), before);
        QVERIFY(setAside(path).isEmpty());
        QVERIFY(store.recoveredBackup().isEmpty());
        HistoryStore reader(path, HistoryStore::Access::ReadOnly);
        QVERIFY(!reader.isOpen());
    }

    // A read-only store (the completion worker's) creates nothing and changes nothing.
    void readOnlyStoreOnlyLooksUp()
    {
        const QString path = freshPath(QStringLiteral("readonly.db"));
        QVERIFY(!HistoryStore(path, HistoryStore::Access::ReadOnly).isOpen());
        QVERIFY(!QFileInfo::exists(path));

        HistoryStore writer(path);
        QVERIFY(writer.recordVisit("http://read.test/", "Read", at(2024, 5, 15)));
        HistoryStore reader(path, HistoryStore::Access::ReadOnly);
        QVERIFY(reader.isOpen());
        QCOMPARE(urlsOf(reader.searchPrefix("read")), QStringList{"http://read.test/"});
        QVERIFY(!reader.recordVisit("http://other.test/", "Other"));
        QVERIFY(!reader.clear());
        QCOMPARE(writer.pageCount(), 1);
    }

    // Copies that start together on a fresh home all open the one file: each creates it
    // or waits for the one that does.
    void storesCreatedAtOnceAllOpen()
    {
        constexpr int Copies = 8;
        for (int round = 0; round < 10; ++round) {
            const QString path = freshPath(QStringLiteral("race%1.db").arg(round));
            std::latch start(Copies);
            QList<QThread*> threads;
            std::atomic<int> opened = 0;
            for (int i = 0; i < Copies; ++i) {
                threads << QThread::create([&, i] {
                    start.arrive_and_wait();
                    HistoryStore store(path);
                    if (store.recordVisit(QStringLiteral("http://copy%1.test/").arg(i), QString(),
                                          at(2024, 5, 15)))
                        ++opened;
                });
                threads.last()->start();
            }
            for (QThread* thread : std::as_const(threads)) {
                thread->wait();
                delete thread;
            }
            QCOMPARE(opened.load(), Copies);
            QCOMPARE(HistoryStore(path).pageCount(), Copies);
            QVERIFY(setAside(path).isEmpty());
        }
    }

    // The engine's reports: recordable addresses are kept, titles follow.
    void visitSinkRecordsWhatIsRecordable()
    {
        HistoryStore store(freshPath(QStringLiteral("sink.db")));
        const PageVisitSink sink = store.visitSink();
        QVERIFY(!sink.visited("about:blank", QString()));
        QVERIFY(sink.visited("http://sink.test/", QString()));
        sink.retitled("http://sink.test/", "Sunk");
        QVERIFY(sink.visited("http://sink.test/", QString()));
        QCOMPARE(store.pageCount(), 1);
        QCOMPARE(store.entry("http://sink.test/")->title, QStringLiteral("Sunk"));
        QCOMPARE(store.entry("http://sink.test/")->visitCount, 2);
    }
};

PELVANE_TEST_GUILESS_MAIN(TestHistoryStore)
#include "tst_historystore.moc"
