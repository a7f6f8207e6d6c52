#include "platform/web/UserAddress.h"
#include "support/TestHome.h"

// Addresses as the user means them.
class TestUserAddress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toUrl_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url");
        QTest::newRow("host and port") << "localhost:8080/x"
                                       << "http://localhost:8080/x";
        QTest::newRow("intranet host and port") << "intranet:8000"
                                                << "http://intranet:8000";
        QTest::newRow("plain host") << "example.com"
                                    << "http://example.com";
        QTest::newRow("web address kept") << "https://a.test/p?q=1"
                                          << "https://a.test/p?q=1";
        QTest::newRow("scheme in capitals kept") << "HTTP://a.test/"
                                                 << "http://a.test/";
        QTest::newRow("blank page") << "about:blank"
                                    << "about:blank";
        QTest::newRow("file address") << "file:///tmp/x.html"
                                      << "file:///tmp/x.html";
        QTest::newRow("file path") << "/tmp/x.html"
                                   << "file:///tmp/x.html";
        QTest::newRow("blanks round it") << "  a.test  "
                                         << "http://a.test";
        QTest::newRow("bookmarklet kept") << "javascript:void(0)"
                                          << "javascript:void(0)";
    }
    void toUrl()
    {
        QFETCH(QString, text);
        QFETCH(QString, url);
        QCOMPARE(UserAddress::toUrl(text).toString(), url);
    }
};

PELVANE_TEST_GUILESS_MAIN(TestUserAddress)
#include "tst_useraddress.moc"
