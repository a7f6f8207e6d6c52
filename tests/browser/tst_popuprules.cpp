#include "browser/PopupRules.h"
#include "support/TestHome.h"

class TestPopupRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entryBlocks_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("scheme and start of host") << "http://ads."
                                                  << "http://ads.example/x?y=1" << true;
        QTest::newRow("other host") << "http://ads."
                                    << "http://www.example/ads." << false;
        QTest::newRow("exact") << "http://a/b"
                               << "http://a/b" << true;
        QTest::newRow("entry longer, begins with the address") << "http://ads.example/banner.html"
                                                               << "http://ads.ex" << true;
        QTest::newRow("entry longer, differs") << "http://ads.example/banner.html"
                                               << "http://ads.ey" << false;
        QTest::newRow("case counts") << "HTTP://ADS."
                                     << "http://ads.example/" << false;
        QTest::newRow("case counts in the path") << "http://a/Pop"
                                                 << "http://a/pop.html" << false;
        QTest::newRow("empty entry") << ""
                                     << "http://anything/" << false;
        QTest::newRow("empty address") << "http://a/"
                                       << "" << false;
        QTest::newRow("one character") << "h"
                                       << "http://a/" << true;
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
        QTest::newRow("window's first address") << "http://ads/pop?id=7"
                                                << "http://ads/other"
                                                << "http://ads/pop";
        QTest::newRow("no first address") << ""
                                          << "http://site/page?q=1&r=2"
                                          << "http://site/page";
        QTest::newRow("first question mark") << ""
                                             << "http://s/a?b?c"
                                             << "http://s/a";
        QTest::newRow("no query") << ""
                                  << "http://s/a"
                                  << "http://s/a";
        QTest::newRow("nothing") << ""
                                 << ""
                                 << "";
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
        QTest::newRow("nothing yet") << 0 << 0 << true;
        QTest::newRow("one below either bound") << bound - 1 << bound - 1 << true;
        QTest::newRow("waiting at the bound") << bound << 0 << false;
        QTest::newRow("opened at the bound") << 0 << bound << false;
        QTest::newRow("beyond") << bound + 5 << bound + 5 << false;
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
};

PELVANE_TEST_GUILESS_MAIN(TestPopupRules)
#include "tst_popuprules.moc"
