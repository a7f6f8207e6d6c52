#include "platform/RegistryHive.h"
#include "platform/web/OfflineMode.h"
#include "support/EngineTestKit.h"
#include "support/LocalHttpServer.h"
#include "support/TestHome.h"

using namespace EngineTestKit;

// Working offline with the real engine: while the switch is on, nothing reaches the network.
class TestOffline : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void offlineRequestsNeverLeaveTheProgram()
    {
        LocalHttpServer server;
        QVERIFY(server.listen());
        server.serve("/page", page("Page", "<img src=\"/picture.png\">"));
        RegistryHive hive(qEnvironmentVariable("PELVANE_HOME") + QStringLiteral("/offline.db"));
        WebEngineContext context(qEnvironmentVariable("PELVANE_HOME") + QStringLiteral("/profile"));
        context.setOfflineState([&hive] { return OfflineMode::isOffline(hive); });
        Browser browser(&context);
        const QString address = server.url(QStringLiteral("/page")).toString();

        OfflineMode::setOffline(true, hive);
        browser.widget->Navigate(address);
        QVERIFY(waitUntil([&] { return browser.log.hasPrefix(QStringLiteral("complete top")); }));
        QCOMPARE(server.requests().size(), 0);

        // A page of the program itself still shows.
        browser.widget->Navigate(QStringLiteral("about:blank"));
        QVERIFY(
            waitUntil([&] { return browser.log.has(QStringLiteral("complete top about:blank")); }));

        // Back online, set by another copy: the next load goes out.
        OfflineMode::setOffline(false, hive);
        browser.widget->Navigate(address);
        QVERIFY(waitUntil([&] { return server.requestCount("/page") == 1; }));
    }
};

PELVANE_TEST_MAIN(TestOffline)
#include "tst_offline.moc"
