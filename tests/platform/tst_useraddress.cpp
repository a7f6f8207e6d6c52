#include "platform/web/UserAddress.h"
#include "support/DataRows.h"
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
        addRows<QString, QString>({
            {"host and port", "localhost:8080/x", "http://localhost:8080/x"},
            {"intranet host and port", "intranet:8000", "http://intranet:8000"},
            {"plain host", "example.com", "http://example.com"},
            {"web address kept", "https://a.test/p?q=1", "https://a.test/p?q=1"},
            {"scheme in capitals kept", "HTTP://a.test/", "http://a.test/"},
            {"blank page", "about:blank", "about:blank"},
            {"file address", "file:///tmp/x.html", "file:///tmp/x.html"},
            {"file path", "/tmp/x.html", "file:///tmp/x.html"},
            {"blanks round it", "  a.test  ", "http://a.test"},
            {"bookmarklet kept", "javascript:void(0)", "javascript:void(0)"},
        });
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
