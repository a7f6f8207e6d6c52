#include "blocking/FilterSubscriptions.h"
#include "blocking/SubscriptionRules.h"
#include "platform/RegistryHive.h"
#include "platform/web/DownloadManager.h"
#include "platform/web/EngineFileFetcher.h"
#include "platform/web/WebEngineContext.h"
#include "support/EngineTestKit.h"
#include "support/LocalHttpServer.h"
#include "support/TestHome.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

using namespace EngineTestKit;

// Subscribed lists downloaded through the real engine, from a local server.
class TestSubscriptionsEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void downloadsTheListAndRefusesWhatIsNotOne()
    {
        const QString home = qEnvironmentVariable("PELVANE_HOME");
        const QString folder = home + QStringLiteral("/Filters");
        LocalHttpServer server;
        QVERIFY(server.listen());
        const QByteArray list = "[Adblock Plus 2.0]\n||ads.example^\n";
        server.serve("/list.txt", list, "text/plain");
        const QUrl address = server.url(QStringLiteral("/list.txt"));

        RegistryHive hive(home + QStringLiteral("/settings.db"));
        FilterSubscriptionList subscriptions(hive);
        QVERIFY(subscriptions.setAddresses({address}));
        WebEngineContext context(home + QStringLiteral("/profile"));
        FilterSubscriptions scheduler(subscriptions, *context.fileFetcher(), folder,
                                      [] { return QDateTime::currentDateTimeUtc(); });
        QSignalSpy outcomes(&scheduler, &FilterSubscriptions::outcome);
        const QString file = QDir(folder).filePath(SubscriptionRules::fileNameFor(address));
        const auto refresh = [&]() -> QString {
            outcomes.clear();
            scheduler.refreshNow();
            if (!waitUntil([&] { return !outcomes.isEmpty(); }, 30000))
                return QStringLiteral("(no outcome)");
            return outcomes.constFirst().at(1).toString();
        };
        const auto contents = [&file] {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
        };

        QCOMPARE(refresh(), QString());
        QCOMPARE(contents(), list);
        QCOMPARE(server.requestCount("/list.txt"), 1);
        // The program's own download: nobody was asked, and the user's list has none.
        QVERIFY(context.downloads()->downloads().isEmpty());
        QVERIFY(!context.downloadsWindow());

        struct Refused
        {
            const char* name;
            LocalHttpServer::Response answer;
            const char* error; // a part of it
        };
        const QList<Refused> refused = {
            {"a sign-in page",
             {200, "text/html", "<!DOCTYPE html><html><body>Sign in"},
             "web page"},
            {"over 50 MiB",
             {200, "text/plain", QByteArray(SubscriptionRules::MaxListBytes + 4096, 'a')},
             "larger"},
            {"not found", {404, "text/plain", "gone"}, "failed"},
        };
        for (const Refused& r : refused) {
            server.serve("/list.txt", r.answer);
            const QString error = refresh();
            QVERIFY2(error.contains(QLatin1String(r.error)), qPrintable(r.name + (": " + error)));
            QCOMPARE(contents(), list);
            const FilterSubscription kept = subscriptions.read().constFirst();
            QCOMPARE(kept.lastError, error);
        }
        // A server that keeps the answer back is given up on.
        static_cast<EngineFileFetcher*>(context.fileFetcher())->setTimeout(300);
        LocalHttpServer::Response slow{200, "text/plain", list};
        slow.delayMs = 3000;
        server.serve("/list.txt", slow);
        QVERIFY(refresh().contains(QLatin1String("did not send")));
        QCOMPARE(contents(), list);

        // Without a length announced, the download is stopped once it grows past the bound.
        // (The first list is no longer subscribed to: its file goes.)
        static_cast<EngineFileFetcher*>(context.fileFetcher())
            ->setTimeout(EngineFileFetcher::DefaultTimeoutMs);
        QTcpServer endless;
        QVERIFY(endless.listen(QHostAddress::LocalHost));
        connect(&endless, &QTcpServer::newConnection, &endless, [&endless] {
            QTcpSocket* socket = endless.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                socket->readAll();
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                              "Connection: close\r\n\r\n");
                const QByteArray chunk(1024 * 1024, 'a');
                for (int i = 0; i <= SubscriptionRules::MaxListBytes / chunk.size(); ++i)
                    socket->write(chunk);
                socket->disconnectFromHost();
            });
        });
        const QUrl endlessAddress(
            QStringLiteral("http://127.0.0.1:%1/list.txt").arg(endless.serverPort()));
        QVERIFY(subscriptions.setAddresses({endlessAddress}));
        QVERIFY2(refresh().contains(QLatin1String("was stopped")),
                 qPrintable(outcomes.constFirst().at(1).toString()));
        QVERIFY(
            !QFile::exists(QDir(folder).filePath(SubscriptionRules::fileNameFor(endlessAddress))));
        QVERIFY(!QFile::exists(file));

        // Nobody listens: the engine says so at once.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QUrl nobody(QStringLiteral("http://127.0.0.1:%1/list.txt").arg(closed.serverPort()));
        closed.close();
        QVERIFY(subscriptions.setAddresses({nobody}));
        QVERIFY(refresh().contains(QLatin1String("failed")));

        QCOMPARE(QDir(FilterSubscriptions::incomingFolder(folder)).entryList(QDir::Files),
                 QStringList());
    }
};

PELVANE_TEST_MAIN(TestSubscriptionsEngine)
#include "tst_subscriptionsengine.moc"
