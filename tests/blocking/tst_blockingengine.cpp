#include "blocking/ContentBlocker.h"
#include "platform/RegistryHive.h"
#include "support/EngineTestKit.h"
#include "support/LocalHttpServer.h"
#include "support/TestHome.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

using namespace EngineTestKit;

// Content blocking with the real engine, on pages of a local server.
class TestBlockingEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blocksRequestsAndHidesElementsUnlessTheSiteIsAllowed()
    {
        const QString home = qEnvironmentVariable("PELVANE_HOME");
        const QString folder = home + QStringLiteral("/Filters");
        QVERIFY(QDir().mkpath(folder));
        QFile list(folder + QStringLiteral("/test.txt"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("[Adblock Plus 2.0]\n! a test list\n/ads/*$image\n/track.js$script\n"
                   "/broken(/\n||127.0.0.1^$unknown-option\n##.advert\n127.0.0.1###sponsor\n");
        list.close();

        LocalHttpServer server;
        QVERIFY(server.listen());
        server.serve("/page", page("Page",
                                   "<div class=\"advert\" id=\"ad\">ad</div>"
                                   "<div id=\"sponsor\">sponsor</div><div id=\"keep\">keep</div>"
                                   "<img src=\"/ads/banner.png\"><img src=\"/picture.png\">"
                                   "<script src=\"/track.js\"></script>"));
        server.serve("/picture.png", "x", "image/png");
        server.serve("/ads/banner.png", "x", "image/png");
        server.serve("/track.js", "document.title = 'tracked';", "text/javascript");

        RegistryHive hive(home + QStringLiteral("/blocking.db"));
        ContentBlocker blocker(hive, folder);
        QSignalSpy loaded(&blocker, &ContentBlocker::listsLoaded);
        blocker.reload();
        QVERIFY(loaded.wait());
        QCOMPARE(blocker.filters()->ruleCount(), 4);
        QCOMPARE(blocker.filters()->skippedCount(), 2);

        WebEngineContext context(home + QStringLiteral("/profile"));
        context.setContentFilter(blocker.filter());
        Browser browser(&context);
        const void* source = static_cast<const WebBackend*>(browser.widget->backend());
        const QString address = server.url(QStringLiteral("/page")).toString();

        QVERIFY(load(browser, address));
        QVERIFY(waitUntil([&] { return server.requestCount("/picture.png") == 1; }));
        QTRY_COMPARE(blocker.blockedCountOn(source), 2);
        QCOMPARE(server.requestCount("/ads/banner.png"), 0);
        QCOMPARE(server.requestCount("/track.js"), 0);
        QStringList blocked;
        for (const BlockedRequest& request : blocker.blockedOn(source))
            blocked << request.url + QLatin1Char(' ') + request.rule;
        blocked.sort();
        QCOMPARE(blocked, QStringList({server.url(QStringLiteral("/ads/banner.png")).toString() +
                                           QStringLiteral(" /ads/*$image"),
                                       server.url(QStringLiteral("/track.js")).toString() +
                                           QStringLiteral(" /track.js$script")}));
        const QString display = QStringLiteral(
            "return getComputedStyle(document.getElementById('%1')).display");
        QCOMPARE(evaluate(browser, display.arg(QStringLiteral("ad"))).toString(),
                 QStringLiteral("none"));
        QCOMPARE(evaluate(browser, display.arg(QStringLiteral("sponsor"))).toString(),
                 QStringLiteral("none"));
        QCOMPARE(evaluate(browser, display.arg(QStringLiteral("keep"))).toString(),
                 QStringLiteral("block"));

        // Off for the site: everything loads and shows, and nothing is counted; kept in the
        // settings.
        QSignalSpy changed(&blocker, &ContentBlocker::blockedChanged);
        blocker.setEnabledFor(QStringLiteral("127.0.0.1"), false);
        QVERIFY(load(browser, address));
        QVERIFY(waitUntil([&] { return server.requestCount("/track.js") == 1; }));
        QVERIFY(waitUntil([&] { return server.requestCount("/ads/banner.png") == 1; }));
        QVERIFY(!changed.isEmpty() || changed.wait());
        QCOMPARE(blocker.blockedCountOn(source), 0);
        QCOMPARE(evaluate(browser, display.arg(QStringLiteral("ad"))).toString(),
                 QStringLiteral("block"));
        // On again; a closed browser's list goes with it.
        blocker.setEnabledFor(QStringLiteral("127.0.0.1"), true);
        QVERIFY(load(browser, address));
        QTRY_COMPARE(blocker.blockedCountOn(source), 2);
        browser.widget.reset();
        QCOMPARE(blocker.blockedCountOn(source), 0);
        blocker.setEnabledFor(QStringLiteral("127.0.0.1"), false);
        ContentBlocker again(hive, folder);
        QVERIFY(!again.isEnabledFor(QStringLiteral("127.0.0.1")));
        QVERIFY(again.isEnabledFor(QStringLiteral("localhost")));
    }
};

PELVANE_TEST_MAIN(TestBlockingEngine)
#include "tst_blockingengine.moc"
