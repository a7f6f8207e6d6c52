// The content switches and the user-agent token from the hive to the real engine, and from
// one running copy to another.
#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "commands/MainActions.h"
#include "platform/MessageBus.h"
#include "platform/web/ContentSettings.h"
#include "platform/web/WebEngineServices.h"
#include "settings/ContentSwitchControl.h"
#include "settings/UserAgent.h"
#include "support/EngineTestKit.h"
#include "support/FakeWebBackend.h"
#include "support/LocalHttpServer.h"
#include "support/MainWindowFixture.h"
#include "support/TestHome.h"

#include <QAction>

using EngineTestKit::page;
using EngineTestKit::waitUntil;

namespace {

const QByteArray Pixel =
    QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==");

} // namespace

class TestContentEngine : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;

    QString images(int visit) const
    {
        return m_server.url(QStringLiteral("/images")).toString() +
               QStringLiteral("?v=%1").arg(visit);
    }
    // The requests whose query names this visit (the page's, or its pictures').
    int requestsOf(const QByteArray& path, int visit) const
    {
        int count = 0;
        const QByteArray mark = "v=" + QByteArray::number(visit);
        for (const LocalHttpServer::Request& request : m_server.requestsFor(path)) {
            if (request.target.contains(mark + "&") || request.target.endsWith(mark))
                ++count;
        }
        return count;
    }
    bool open(TBrowserTab* tab, int visit)
    {
        tab->OpenAsHome(images(visit));
        return waitUntil([&] { return requestsOf("/images", visit) > 0 && !tab->Busy(); });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        LocalHttpServer::Response picture;
        picture.contentType = "image/gif";
        picture.body = Pixel;
        picture.headers = {{"Cache-Control", "no-store"}};
        m_server.serve("/pixel.gif", picture);
        m_server.serve("/images", [](const LocalHttpServer::Request& request) {
            const QByteArray visit = request.target.mid(request.target.indexOf('?') + 1);
            LocalHttpServer::Response response;
            response.body = page("Images", "<img src='/pixel.gif?" + visit +
                                               "&x=1'>"
                                               "<img src='/pixel.gif?" +
                                               visit + "&x=2'>");
            return response;
        });
    }

    void aRunningCopyFollowsAndNamesItself()
    {
        const auto tokens = [](TPVOptions& o) {
            TRegistry reg(o.hive());
            reg.setRootKey(TRegistry::HKEY_LOCAL_MACHINE);
            reg.openKey(UserAgent::PostPlatformKey(), true);
            reg.writeString(QStringLiteral("Foreign 1.0"), QStringLiteral("x"));
            reg.writeString(QStringLiteral("VarloBrowse 4.0"), QStringLiteral("x"));
        };
        QTemporaryDir folder;
        MessageBus changerBus(folder.path()); // sends only: one listening bus per process
        MessageBus followerBus(folder.path());
        QVERIFY(followerBus.listen());

        WebEngineContext engine;
        WebEngineServices services(engine, QString());
        MainWindowFixture followerWindow(
            {.before = tokens, .engine = &services, .bus = &followerBus});
        TfrmMain& follower = *followerWindow.get();
        follower.show();
        TBrowserTab* tab = follower.GetActivePage();

        QVERIFY(open(tab, 1));
        QCOMPARE(requestsOf("/pixel.gif", 1), 2);
        const QByteArray agent = m_server.requestsFor("/images").last().header("User-Agent");
        QVERIFY2(agent.contains("; Foreign 1.0; Pelvane 5.50B3)"), agent.constData());
        QVERIFY(!agent.contains("VarloBrowse"));

        MainWindowFixture changerWindow({.hive = &followerWindow.hive, .bus = &changerBus});
        TfrmMain& changer = *changerWindow.get();

        changer.action(ActionId::pmOptionsLoadImages)->trigger();
        QVERIFY(waitUntil([&] { return !follower.contentSwitches()->switches().images; }));
        QVERIFY(!follower.action(ActionId::tbLoadImages)->isChecked());
        QVERIFY(open(tab, 2));
        QCOMPARE(requestsOf("/pixel.gif", 2), 0);

        changer.action(ActionId::pmOptionsLoadImages)->trigger();
        QVERIFY(waitUntil([&] { return follower.contentSwitches()->switches().images; }));
        QVERIFY(open(tab, 3));
        QCOMPARE(requestsOf("/pixel.gif", 3), 2);
    }
};

PELVANE_TEST_MAIN(TestContentEngine)
#include "tst_content_engine.moc"
