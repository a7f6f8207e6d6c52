#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "settings/SiteZoom.h"

#include <QTemporaryDir>
#include <QTest>

class TestSiteZoom final : public QObject
{
    Q_OBJECT

private slots:
    void steps_data()
    {
        QTest::addColumn<qreal>("zoom");
        QTest::addColumn<int>("direction");
        QTest::addColumn<qreal>("expected");
        QTest::newRow("own size, larger") << 1.0 << 1 << 1.1;
        QTest::newRow("own size, smaller") << 1.0 << -1 << 0.9;
        QTest::newRow("a text size between steps goes to the next") << 1.15 << 1 << 1.25;
        QTest::newRow("and to the one before") << 1.15 << -1 << 1.1;
        QTest::newRow("read back a little off a step") << 1.2499 << 1 << 1.5;
        QTest::newRow("largest stays") << 5.0 << 1 << 5.0;
        QTest::newRow("smallest stays") << 0.25 << -1 << 0.25;
        QTest::newRow("any size back to its own") << 3.0 << 0 << 1.0;
    }
    void steps()
    {
        QFETCH(qreal, zoom);
        QFETCH(int, direction);
        QFETCH(qreal, expected);
        QCOMPARE(Zoom::stepped(zoom, direction), expected);
    }

    void textSizes()
    {
        QCOMPARE(Zoom::textSizeOf(1.0), 2);
        QCOMPARE(Zoom::textSizeOf(1.1), 3); // a wheel's step shows as the nearest size
        QCOMPARE(Zoom::textSizeOf(5.0), 4);
        QCOMPARE(Zoom::textSizeOf(0.25), 0);
        QCOMPARE(Zoom::ofTextSize(9), 1.3);
        QCOMPARE(Zoom::ofTextSize(-1), 0.75);
    }

    void sites_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("site");
        QTest::newRow("host in lower case") << "http://Example.COM/a?b" << "example.com";
        QTest::newRow("the port does not matter") << "https://127.0.0.1:8080/x" << "127.0.0.1";
        QTest::newRow("a file has none") << "file:///home/a.html" << "";
        QTest::newRow("a blank page has none") << "about:blank" << "";
        QTest::newRow("no address") << "" << "";
    }
    void sites()
    {
        QFETCH(QString, address);
        QFETCH(QString, site);
        QCOMPARE(Zoom::siteOf(address), site);
    }

    void rememberedBySite()
    {
        QTemporaryDir dir;
        RegistryHive hive(dir.filePath(QStringLiteral("r.db")));
        SiteZoom zoom(hive);
        QCOMPARE(zoom.zoomFor(QStringLiteral("http://a.test/")), 1.0);
        QVERIFY(zoom.remember(QStringLiteral("http://a.test/one"), 1.25));
        QVERIFY(zoom.remember(QStringLiteral("file:///x.html"), 2.0)); // not kept
        QCOMPARE(zoom.zoomFor(QStringLiteral("https://A.test/two")), 1.25);
        QCOMPARE(zoom.zoomFor(QStringLiteral("http://b.test/")), 1.0);
        QCOMPARE(zoom.zoomFor(QStringLiteral("file:///x.html")), 1.0);

        // Another copy sees the choice: it is in the settings.
        QCOMPARE(SiteZoom(hive).zoomFor(QStringLiteral("http://a.test/")), 1.25);
        // The own size forgets the site rather than keeping a 100.
        QVERIFY(zoom.remember(QStringLiteral("http://a.test/"), 1.0));
        TRegistry reg(hive);
        QVERIFY(reg.openKeyReadOnly(SiteZoom::key()));
        QVERIFY(!reg.valueExists(QStringLiteral("a.test")));

        QVERIFY(zoom.remember(QStringLiteral("http://c.test/"), 0.5));
        SiteZoom::forgetAll(hive);
        QCOMPARE(zoom.zoomFor(QStringLiteral("http://c.test/")), 1.0);
    }

    void spoiltOrTooManyValues()
    {
        QTemporaryDir dir;
        RegistryHive hive(dir.filePath(QStringLiteral("r.db")));
        {
            TRegistry reg(hive);
            QVERIFY(reg.openKey(SiteZoom::key(), true));
            reg.writeString(QStringLiteral("text.test"), QStringLiteral("150"));
            reg.writeInteger(QStringLiteral("huge.test"), 100000);
            reg.writeInteger(QStringLiteral("none.test"), 0);
        }
        SiteZoom zoom(hive);
        QCOMPARE(zoom.zoomFor(QStringLiteral("http://text.test/")), 1.0);
        QCOMPARE(zoom.zoomFor(QStringLiteral("http://huge.test/")), 1.0);
        QCOMPARE(zoom.zoomFor(QStringLiteral("http://none.test/")), 1.0);
        // A site written over a value of the wrong type takes the new one.
        QVERIFY(zoom.remember(QStringLiteral("http://text.test/"), 1.5));
        QCOMPARE(zoom.zoomFor(QStringLiteral("http://text.test/")), 1.5);

        // The settings keep a bounded number of sites: the one chosen longest ago goes.
        SiteZoom::forgetAll(hive);
        for (int i = 0; i < SiteZoom::MaxSites; ++i)
            QVERIFY(zoom.remember(QStringLiteral("http://s%1.test/").arg(i), 1.1));
        QVERIFY(zoom.remember(QStringLiteral("http://s0.test/"), 1.25)); // chosen again
        QVERIFY(zoom.remember(QStringLiteral("http://new.test/"), 1.5));
        TRegistry reg(hive);
        QVERIFY(reg.openKeyReadOnly(SiteZoom::key()));
        QCOMPARE(reg.valueNames().size(), SiteZoom::MaxSites);
        QCOMPARE(zoom.zoomFor(QStringLiteral("http://s1.test/")), 1.0);
        QCOMPARE(zoom.zoomFor(QStringLiteral("http://s0.test/")), 1.25);
        QCOMPARE(zoom.zoomFor(QStringLiteral("http://new.test/")), 1.5);
    }
};

QTEST_GUILESS_MAIN(TestSiteZoom)
#include "tst_sitezoom.moc"
