#include "platform/web/ContentFilter.h"
#include "platform/web/ContentSettings.h"
#include "platform/web/QtWebEngineBackend.h"
#include "platform/web/WebEngineContext.h"
#include "support/EngineTestKit.h"
#include "support/LocalHttpServer.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QWebEngineProfile>

#include <memory>

using namespace EngineTestKit;

namespace {

// A one-pixel GIF.
const QByteArray Pixel =
    QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==");

WebContentSwitches allOn()
{
    return {};
}

// Content blocking that lets everything through: what matters is that a page has it.
class PassingFilter final : public ContentFilter
{
public:
    bool blocks(const WebRequest&) override { return false; }
    QString hidingStyleSheet(const QUrl&) override { return {}; }
};

} // namespace

class TestWebContent : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;
    std::unique_ptr<WebEngineContext> m_context;
    int m_visit = 0;

    WebContentSettings* content() const { return m_context->contentSettings(); }

    // A fresh address each time, so that no cache answers in the server's place.
    QString fresh(const char* path)
    {
        return m_server.url(QString::fromLatin1(path)).toString() +
               QStringLiteral("?v=%1").arg(++m_visit);
    }

    // The requests for pictures of the page at `address`.
    int picturesOf(const QString& address) const
    {
        const QByteArray visit = address.section(QLatin1Char('?'), 1).toLatin1();
        int count = 0;
        for (const LocalHttpServer::Request& request : m_server.requestsFor("/pixel.gif")) {
            if (request.target.contains("?" + visit + "&"))
                ++count;
        }
        return count;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        LocalHttpServer::Response image;
        image.contentType = "image/gif";
        image.body = Pixel;
        image.headers = {{"Cache-Control", "no-store"}};
        m_server.serve("/pixel.gif", image);
        // Each visit's pictures have addresses of their own, to tell whose request came.
        m_server.serve("/images", [](const LocalHttpServer::Request& request) {
            const QByteArray visit = request.target.mid(request.target.indexOf('?') + 1);
            LocalHttpServer::Response response;
            response.body = page("Images", "<img src='/pixel.gif?" + visit +
                                               "&x=1'>"
                                               "<img src='/pixel.gif?" +
                                               visit + "&x=2'>");
            return response;
        });
        LocalHttpServer::Response clip;
        clip.contentType = "video/webm";
        clip.body = QByteArray(2048, '\0');
        m_server.serve("/clip.webm", clip);
        m_server.serve("/video", page("Video", "<video id='v' src='/clip.webm' autoplay "
                                               "preload='auto'></video>"));
        m_server.serve("/moving", "<!DOCTYPE html><html><head><title>Moving</title><style>"
                                  "@keyframes spin{from{left:0}to{left:100px}}"
                                  "#box{position:relative;animation:spin 1s infinite;"
                                  "transition:color 2s}</style></head>"
                                  "<body><div id='box'>box</div></body></html>");
        m_server.serve("/plain", page("Plain"));
        m_context = std::make_unique<WebEngineContext>();
    }

    void cleanup()
    {
        content()->setSwitches(allOn());
        m_context->setContentFilter(nullptr);
    }

    void cleanupTestCase() { m_context.reset(); }

    void imagesOffRequestsNoImage()
    {
        Browser b(m_context.get());
        WebContentSwitches off;
        off.images = false;
        content()->setSwitches(off);
        const QString first = fresh("/images");
        QVERIFY(load(b, first));
        QCOMPARE(picturesOf(first), 0);

        // On again: the open page fetches its pictures, and a new page its own.
        content()->setSwitches(allOn());
        QVERIFY(waitUntil([&] { return picturesOf(first) == 2; }));
        const QString second = fresh("/images");
        QVERIFY(load(b, second));
        QCOMPARE(picturesOf(second), 2);
    }

    void videosOffLoadsNoVideo_data()
    {
        QTest::addColumn<bool>("blocking");
        QTest::newRow("alone") << false;
        // Its filter takes the page's place for requests: the switches still hold.
        QTest::newRow("with content blocking") << true;
    }

    void videosOffLoadsNoVideo()
    {
        QFETCH(bool, blocking);
        if (blocking)
            m_context->setContentFilter(std::make_shared<PassingFilter>());
        Browser b(m_context.get());
        WebContentSwitches off;
        off.videos = false;
        content()->setSwitches(off);
        m_server.clearRequests();
        QVERIFY(load(b, fresh("/video")));
        // Made to ask for its clip now, the element gets an error instead of a request.
        evaluate(b, QStringLiteral("var v = document.getElementById('v');"
                                   "v.onerror = function() { window.clipFailed = true; };"
                                   "v.preload = 'auto'; v.load(); return 1;"));
        QVERIFY(waitUntil([&] {
            return evaluate(b, QStringLiteral("return window.clipFailed === true;")).toBool();
        }));
        QCOMPARE(m_server.requestCount("/clip.webm"), 0);
        QCOMPARE(evaluate(b, QStringLiteral("return document.getElementById('v').autoplay;")),
                 QVariant(false));

        content()->setSwitches(allOn());
        QVERIFY(load(b, fresh("/video")));
        QVERIFY(waitUntil([&] { return m_server.requestCount("/clip.webm") > 0; }));
    }

    void soundsOffMutesOpenAndNewPages()
    {
        Browser open(m_context.get());
        WebContentSwitches off;
        off.sounds = false;
        content()->setSwitches(off);
        QVERIFY(open.backend()->page()->isAudioMuted());
        Browser later(m_context.get());
        QVERIFY(later.backend()->page()->isAudioMuted());

        content()->setSwitches(allOn());
        QVERIFY(!open.backend()->page()->isAudioMuted());
        QVERIFY(!later.backend()->page()->isAudioMuted());
    }

    void animationsOffStopsThemInOpenAndNewPages()
    {
        const QString name = QStringLiteral(
            "return getComputedStyle(document.getElementById('box')).animationName;");
        const QString transition = QStringLiteral(
            "return getComputedStyle(document.getElementById('box')).transitionDuration;");
        Browser b(m_context.get());
        QVERIFY(load(b, fresh("/moving")));
        QCOMPARE(evaluate(b, name).toString(), QStringLiteral("spin"));

        WebContentSwitches off;
        off.animations = false;
        content()->setSwitches(off);
        // The open page follows without a reload.
        QVERIFY(waitUntil([&] { return evaluate(b, name).toString() == QLatin1String("none"); }));
        QCOMPARE(evaluate(b, transition).toString(), QStringLiteral("0s"));

        Browser fresher(m_context.get());
        QVERIFY(load(fresher, fresh("/moving")));
        QCOMPARE(evaluate(fresher, name).toString(), QStringLiteral("none"));

        content()->setSwitches(allOn());
        QVERIFY(waitUntil([&] { return evaluate(b, name).toString() == QLatin1String("spin"); }));
        QVERIFY(load(fresher, fresh("/moving")));
        QCOMPARE(evaluate(fresher, name).toString(), QStringLiteral("spin"));
    }

    void userAgentHeaderCarriesTheTokens()
    {
        content()->setUserAgentTokens(
            {QStringLiteral("Foreign 2.0"), QStringLiteral("Pelvane 5.50B3")});
        Browser b(m_context.get());
        m_server.clearRequests();
        QVERIFY(load(b, fresh("/plain")));
        const QByteArray agent = m_server.requestsFor("/plain").value(0).header("User-Agent");
        QVERIFY2(agent.contains("; Foreign 2.0; Pelvane 5.50B3)"), agent.constData());
        QCOMPARE(evaluate(b, QStringLiteral("return navigator.userAgent;")).toString(),
                 QString::fromLatin1(agent));

        content()->setUserAgentTokens({});
        m_server.clearRequests();
        QVERIFY(load(b, fresh("/plain")));
        QCOMPARE(m_server.requestsFor("/plain").value(0).header("User-Agent"),
                 content()->defaultUserAgent().toLatin1());
    }
};

PELVANE_TEST_MAIN(TestWebContent)
#include "tst_webcontent.moc"
