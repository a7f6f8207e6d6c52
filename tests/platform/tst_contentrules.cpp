#include "platform/web/ContentSettings.h"
#include "support/TestHome.h"

#include <QWebEngineUrlRequestInfo>

// The content switches' decisions, apart from the engine: which requests they refuse, and
// where the user-agent tokens go.
class TestContentRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusesByResourceType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("images");
        QTest::addColumn<bool>("videos");
        QTest::addColumn<bool>("refused");
        using I = QWebEngineUrlRequestInfo;
        QTest::newRow("image, images on") << int(I::ResourceTypeImage) << true << false << false;
        QTest::newRow("image, images off") << int(I::ResourceTypeImage) << false << true << true;
        QTest::newRow("icon, images off") << int(I::ResourceTypeFavicon) << false << true << true;
        QTest::newRow("media, videos off") << int(I::ResourceTypeMedia) << true << false << true;
        QTest::newRow("media, videos on") << int(I::ResourceTypeMedia) << false << true << false;
        QTest::newRow("page, all off") << int(I::ResourceTypeMainFrame) << false << false << false;
        QTest::newRow("script, all off") << int(I::ResourceTypeScript) << false << false << false;
        QTest::newRow("style, all off")
            << int(I::ResourceTypeStylesheet) << false << false << false;
    }
    void refusesByResourceType()
    {
        QFETCH(int, type);
        QFETCH(bool, images);
        QFETCH(bool, videos);
        QFETCH(bool, refused);
        WebContentSwitches switches;
        switches.images = images;
        switches.videos = videos;
        QCOMPARE(ContentRequestInterceptor::Refuses(QWebEngineUrlRequestInfo::ResourceType(type),
                                                    switches),
                 refused);
    }

    void userAgentTokensGoInsideThePlatformPart_data()
    {
        QTest::addColumn<QString>("agent");
        QTest::addColumn<QStringList>("tokens");
        QTest::addColumn<QString>("expected");
        const QString chrome = QStringLiteral("Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 "
                                              "(KHTML, like Gecko) Chrome/102.0");
        QTest::newRow("one") << chrome << QStringList{"Pelvane 5.50B3"}
                             << QStringLiteral("Mozilla/5.0 (X11; Linux x86_64; Pelvane 5.50B3) "
                                               "AppleWebKit/537.36 (KHTML, like Gecko) "
                                               "Chrome/102.0");
        QTest::newRow("two in order")
            << chrome << QStringList{"Other 2", "Pelvane 5.50B3"}
            << QStringLiteral("Mozilla/5.0 (X11; Linux x86_64; Other 2; Pelvane 5.50B3) "
                              "AppleWebKit/537.36 (KHTML, like Gecko) Chrome/102.0");
        QTest::newRow("none") << chrome << QStringList{} << chrome;
        QTest::newRow("unusable left out")
            << QStringLiteral("A (B) C") << QStringList{"x)y", "bad;", "new\nline", "é", " ", "ok"}
            << QStringLiteral("A (B; ok) C");
        QTest::newRow("no platform part")
            << QStringLiteral("Agent/1") << QStringList{"T 1"} << QStringLiteral("Agent/1 (T 1)");
        QTest::newRow("empty platform part") << QStringLiteral("Agent/1 () x") << QStringList{"T 1"}
                                             << QStringLiteral("Agent/1 (T 1) x");
    }
    void userAgentTokensGoInsideThePlatformPart()
    {
        QFETCH(QString, agent);
        QFETCH(QStringList, tokens);
        QFETCH(QString, expected);
        QCOMPARE(WebContentSettings::userAgentWithTokens(agent, tokens), expected);
    }

};

PELVANE_TEST_GUILESS_MAIN(TestContentRules)
#include "tst_contentrules.moc"
