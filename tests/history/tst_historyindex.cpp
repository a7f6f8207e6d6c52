#include "history/HistoryIndex.h"
#include "history/HistoryStore.h"
#include "support/DataRows.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QDir>
#include <QFile>

using namespace TestFiles;

namespace {

// One 128-byte block: `content` then zeros.
QByteArray block(const QByteArray& content)
{
    QByteArray b = content.left(128);
    b.append(QByteArray(128 - b.size(), '\0'));
    return b;
}

// An entry of `blocks` blocks whose text (from byte 8 of the first block) is `text`.
QByteArray entry(const QByteArray& text, int blocks)
{
    QByteArray head("URL ");
    head.append(char(blocks));
    head.append(QByteArray(3, '\0'));
    QByteArray all = head + text;
    all.append(QByteArray(blocks * 128 - qMin<qsizetype>(all.size(), blocks * 128), '\0'));
    return all.left(blocks * 128);
}

// The text of a page entry: user "@" address, a zero, the unit separator, the title, zeros.
QByteArray page(const QByteArray& address, const QByteArray& title)
{
    return QByteArray("Visited: joe@") + address + '\0' + QByteArray("xx\x1f") + title +
           QByteArray(2, '\0');
}
QStringList captions(const QList<HistoryIndexRow>& rows)
{
    QStringList result;
    for (const HistoryIndexRow& row : rows)
        result << row.caption;
    return result;
}

} // namespace

class TestHistoryIndex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entryText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("caption"); // empty: no row
        QTest::addColumn<QString>("address");
        const auto ones = [](QByteArray b) { return b.replace('\0', '\x01'); };
        addRows<QByteArray, QString, QString>({
            {"title", ones(page("http://a.example/", "A Page")), "A Page", "http://a.example/"},
            {"no title", ones(page("http://a.example/", "")), "http://a.example/",
             "http://a.example/"},
            {"unprintable dropped", ones(page("http://a.example/", "A\tB\177C")), "ABC",
             "http://a.example/"},
            {"no separator", ones(QByteArray("x@http://b/\0T\0\0", 15)), "T", "http://b/"},
            {"no @", ones(QByteArray("http://a.example/\0\x1fT\0\0", 22)), "", ""},
            {"site container", ones(page("http://a.example/", ":Host: a.example")), "", ""},
            {"container as address", ones(page(":Host: x", "")), "", ""},
            {"empty", ones(QByteArray("@\0\0", 3)), "", ""},
        });
    }
    void entryText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, caption);
        QFETCH(QString, address);
        const auto row = historyIndexPage(text);
        QCOMPARE(row.has_value(), !caption.isEmpty());
        if (row) {
            QCOMPARE(row->caption, caption);
            QCOMPARE(row->address, address);
        }
    }

    // Blocks, lengths and matching over a whole file.
    void readFile()
    {
        QByteArray data;
        data += block("HASH junk before any entry");
        data += entry(page("http://one.example/", "First"), 1);
        // An entry of two blocks: its title lies in the second.
        data += entry(QByteArray(100, 'p') + page("http://two.example/long", "Second Page"), 2);
        // A length of 0: skipped, and the next block is read afresh.
        data += block(QByteArray("URL \0\0\0\0x@http://zero.example/", 29));
        data += entry(page("http://three.EXAMPLE/", "Third"), 1);
        data += entry(page("http://host.example/", ":Host: host.example"), 1);
        data += entry(QByteArray("no at sign at all"), 1);
        // Cut short at the end of the file: never complete.
        data += entry(page("http://cut.example/", "Cut"), 3).left(200);
        const QString file = writeFile(home("read/index.dat"), data);

        QList<HistoryIndexRow> rows;
        QString error;
        QVERIFY(ReadHistoryIndex(file, QStringLiteral("EXAMPLE"), rows, &error));
        QVERIFY(error.isEmpty());
        QCOMPARE(captions(rows), (QStringList{"First", "Second Page", "Third"}));

        rows.clear();
        QVERIFY(ReadHistoryIndex(file, QStringLiteral("second"), rows)); // by title only
        QCOMPARE(rows, (QList<HistoryIndexRow>{{"Second Page", "http://two.example/long"}}));
        rows.clear();
        QVERIFY(ReadHistoryIndex(file, QStringLiteral("three.example"), rows)); // by address
        QCOMPARE(captions(rows), QStringList{"Third"});
        rows.clear();
        QVERIFY(ReadHistoryIndex(file, QStringLiteral("zero"), rows));
        QVERIFY(rows.isEmpty());
    }

    void unreadableFileEndsTheSearch()
    {
        QList<HistoryIndexRow> rows{{"kept", "http://kept/"}};
        QString error;
        QVERIFY(!ReadHistoryIndex(home("missing/index.dat"), QStringLiteral("x"), rows, &error));
        QVERIFY(error.contains(QLatin1String("missing/index.dat")));
        QCOMPARE(rows.size(), 1);

        // A folder where the file should be cannot be read as one; the folder search passes
        // over it.
        const QString folder = home("unreadable");
        writeFile(folder + "/index.dat", entry(page("http://a/", "A"), 1));
        QDir().mkpath(folder + "/MSHist01/index.dat");
        QVERIFY(!ReadHistoryIndex(folder + "/MSHist01/index.dat", QStringLiteral("a"), rows));
        rows.clear();
        QVERIFY(SearchHistoryFolder(folder, QStringLiteral("a"), rows, &error));
        QCOMPARE(captions(rows), QStringList{"A"});
    }

    // The main index and each period's index record a page: it is listed once per file.
    // Hidden folders and deeper folders are not searched.
    void searchFolder()
    {
        const QString folder = home("History.IE5");
        const QByteArray visit = entry(page("http://twice.example/", "Twice"), 1);
        writeFile(folder + "/index.dat", visit);
        writeFile(folder + "/MSHist012026113020261207/index.dat", visit);
        writeFile(folder + "/MSHist012026120620261207/index.dat",
                  visit + entry(page("http://other.example/", "Other"), 1));
        writeFile(folder + "/.hidden/index.dat", visit);
        writeFile(folder + "/MSHist01/deeper/index.dat", visit);
        writeFile(folder + "/INDEX.DAT", visit); // the name is matched as written

        QList<HistoryIndexRow> rows;
        QVERIFY(SearchHistoryFolder(folder, QStringLiteral("TWICE"), rows));
        QCOMPARE(captions(rows), (QStringList{"Twice", "Twice", "Twice"}));
        rows.clear();
        QVERIFY(SearchHistoryFolder(home("no such folder"), QStringLiteral("x"), rows));
        QVERIFY(rows.isEmpty());
    }

    // The store's side of the tree: find within a period, delete within a period.
    void storePeriods()
    {
        const QString path = home("periods.db");
        HistoryStore store(path);
        QVERIFY(store.isOpen());
        const QDateTime now(QDate(2026, 12, 6), QTime(18, 0)); // a Sunday
        const QDateTime today = now.addSecs(-3600);
        const QDateTime lastWeek = now.addDays(-8);
        QVERIFY(store.recordVisit("http://a.example/1", "Alpha One", lastWeek));
        QVERIFY(store.recordVisit("http://a.example/1", "Alpha One", today));
        QVERIFY(store.recordVisit("http://a.example/2", "Alpha Two", today));
        QVERIFY(store.recordVisit("http://b.example/", "Beta", today));
        const QList<HistoryPeriod> periods = store.periods(now);
        QCOMPARE(periods.size(), 2);
        for (const QString& text : {QString("ALPHA"), QString("a ")}) { // trigrams, and not
            const auto found = store.searchByPeriod(text, now);
            QCOMPARE(found.size(), 2);
            QCOMPARE(found[0].period, periods[0]);
            QCOMPARE(found[0].pages.size(), 2);
            QCOMPARE(found[0].pages[0].title, QString("Alpha One"));
            QCOMPARE(found[0].pages[0].visitCount, 1); // the visits within the period
            QCOMPARE(found[1].pages.size(), 1);
            QCOMPARE(found[1].pages[0].lastVisit, lastWeek);
        }
        QCOMPARE(store.searchByPeriod("b.example", now).value(0).pages.size(), 1);

        // A site deleted from today keeps its page's visit of last week.
        QVERIFY(store.deleteFromPeriod(periods[0], "a.example"));
        QCOMPARE(store.sites(periods[0]), QStringList{"b.example"});
        QCOMPARE(store.entry("http://a.example/1")->visitCount, 1);
        QCOMPARE(store.entry("http://a.example/1")->lastVisit, lastWeek);
        QVERIFY(!store.entry("http://a.example/2"));
        // One page of a period.
        QVERIFY(store.deleteFromPeriod(periods[1], "a.example", "http://a.example/1"));
        QVERIFY(!store.entry("http://a.example/1"));
        QVERIFY(!store.deleteFromPeriod(periods[1], "a.example"));
        QCOMPARE(store.search("beta").size(), 1);
    }
};

PELVANE_TEST_GUILESS_MAIN(TestHistoryIndex)
#include "tst_historyindex.moc"
