#include "browser/PopupControl.h"
#include "browser/PopupRules.h"
#include "settings/PVOptions.h"
#include "support/DataRows.h"
#include "support/HiveQueries.h"
#include "support/TestHome.h"

#include <QTemporaryDir>

class TestPopupRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entryBlocks_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("blocked");
        addRows<QString, QString, bool>({
            {"scheme and start of host", "http://ads.", "http://ads.example/x?y=1", true},
            {"other host", "http://ads.", "http://www.example/ads.", false},
            {"exact", "http://a/b", "http://a/b", true},
            {"entry longer, begins with the address", "http://ads.example/banner.html",
             "http://ads.ex", true},
            {"entry longer, differs", "http://ads.example/banner.html", "http://ads.ey", false},
            {"case counts", "HTTP://ADS.", "http://ads.example/", false},
            {"case counts in the path", "http://a/Pop", "http://a/pop.html", false},
            {"empty entry", "", "http://anything/", false},
            {"empty address", "http://a/", "", false},
            {"one character", "h", "http://a/", true},
        });
    }
    void entryBlocks()
    {
        QFETCH(QString, entry);
        QFETCH(QString, address);
        QFETCH(bool, blocked);
        QCOMPARE(PopupRules::entryBlocks(entry, address), blocked);
    }

    void listIsSearchedByValueInOrder()
    {
        const QStringList lines = {"url1=http://one/", "url2=", "http://two/", "url3=http://two/",
                                   "url4=http://two/x"};
        // The name plays no part: "http://two/" is a name without a value.
        QCOMPARE(PopupRules::blockingEntry(lines, QStringLiteral("http://two/x/y")), 3);
        QCOMPARE(PopupRules::blockingEntry(lines, QStringLiteral("http://one/")), 0);
        QCOMPARE(PopupRules::blockingEntry(lines, QStringLiteral("http://three/")), -1);
        QCOMPARE(PopupRules::entryValue(QStringLiteral("url9=a=b")), QStringLiteral("a=b"));
        QCOMPARE(PopupRules::entryValue(QStringLiteral("novalue")), QString());

        QVERIFY(PopupRules::isBlocked(true, lines, QStringLiteral("http://one/page")));
        QVERIFY(!PopupRules::isBlocked(false, lines, QStringLiteral("http://one/page")));
        QVERIFY(!PopupRules::isBlocked(true, {}, QStringLiteral("http://one/page")));
    }

    void addressForList_data()
    {
        QTest::addColumn<QString>("popupUrl");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("recorded");
        addRows<QString, QString, QString>({
            {"window's first address", "http://ads/pop?id=7", "http://ads/other", "http://ads/pop"},
            {"no first address", "", "http://site/page?q=1&r=2", "http://site/page"},
            {"first question mark", "", "http://s/a?b?c", "http://s/a"},
            {"no query", "", "http://s/a", "http://s/a"},
            {"nothing", "", "", ""},
        });
    }
    void addressForList()
    {
        QFETCH(QString, popupUrl);
        QFETCH(QString, current);
        QFETCH(QString, recorded);
        QCOMPARE(PopupRules::addressForList(popupUrl, current), recorded);
    }

    void mayOpenWindow_data()
    {
        QTest::addColumn<int>("waiting");
        QTest::addColumn<int>("sinceInput");
        QTest::addColumn<bool>("may");
        const int bound = PopupRules::MaxWindowsAtOnce;
        addRows<int, int, bool>({
            {"nothing yet", 0, 0, true},
            {"one below either bound", bound - 1, bound - 1, true},
            {"waiting at the bound", bound, 0, false},
            {"opened at the bound", 0, bound, false},
            {"beyond", bound + 5, bound + 5, false},
        });
    }
    void mayOpenWindow()
    {
        QFETCH(int, waiting);
        QFETCH(int, sinceInput);
        QFETCH(bool, may);
        QCOMPARE(PopupRules::mayOpenWindow(waiting, sinceInput), may);
    }

    void appendEntryNumbersAfterTheCount()
    {
        QCOMPARE(PopupRules::appendEntry({}, QStringLiteral("http://a/")),
                 QStringList{"url1=http://a/"});
        QCOMPARE(PopupRules::appendEntry({"url1=x", "url2=y"}, QStringLiteral("%1 z")),
                 (QStringList{"url1=x", "url2=y", "url3=%1 z"}));
        // A gap in the numbers must not make the new entry replace an old one.
        QCOMPARE(PopupRules::appendEntry({"url1=x", "URL3=y"}, QStringLiteral("z")),
                 (QStringList{"url1=x", "URL3=y", "url4=z"}));
        QCOMPARE(PopupRules::appendEntry({"mine=x"}, QStringLiteral("z")),
                 (QStringList{"mine=x", "url2=z"}));
    }

    void theListIsReadInOneLookUp()
    {
        QTemporaryDir dir;
        RegistryHive hive(dir.filePath(QStringLiteral("registry.db")));
        QStringList list;
        for (int i = 1; i <= 30; ++i)
            list << QStringLiteral("url%1=http://ads%1.test/").arg(i);
        TPVOptions(hive).SetPopupSorvelList(list);
        // At creation one look-up for each key it reads: the program's key (which the
        // settings make when it is missing), the settings that hold the switch, the list.
        const HiveQueries creating(hive);
        PopupControl control(hive, nullptr);
        QCOMPARE(creating.taken(), 3u);
        QCOMPARE(control.PopupList(), list);
        const QStringList later{QStringLiteral("url1=http://later.test/")};
        TPVOptions(hive).SetPopupSorvelList(later);
        const HiveQueries reloading(hive);
        control.ReloadPopupList();
        QCOMPARE(reloading.taken(), 1u);
        QCOMPARE(control.PopupList(), later);
    }
};

PELVANE_TEST_GUILESS_MAIN(TestPopupRules)
#include "tst_popuprules.moc"
