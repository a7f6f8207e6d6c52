// Several running copies of the built program, with multiple instances allowed, on the real
// engine: each copy keeps its site storage in a profile folder of its own, and finds it again
// the next time it runs as the same copy.
#include "support/LocalHttpServer.h"
#include "support/ProgramRun.h"
#include "support/TestHome.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>

namespace {

// A copy of the program started in a home on one address.
class Copy final : public ProgramRun::Copy
{
public:
    Copy(const QString& home, const QString& address)
        : ProgramRun::Copy(ProgramRun::environment(home), {address})
    {
    }
};

// The captions (or another field) of every running copy's tabs, sorted.
QStringList captions(const QString& home, const QString& field = QStringLiteral("caption"))
{
    QStringList result;
    for (const QJsonObject& tab : ProgramRun::listTabs(ProgramRun::environment(home)))
        result << tab.value(field).toString();
    result.sort();
    return result;
}

// Keeps the first value it is given in the site's local storage and shows the kept one.
const QByteArray StoragePage =
    "<html><head><title>-</title></head><body><script>"
    "var kept = localStorage.getItem('kept');"
    "if (kept === null) { kept = location.hash.substring(1); localStorage.setItem('kept', kept); }"
    "document.title = 'kept ' + kept;"
    "</script></body></html>";

} // namespace

class TestCopies final : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;
    QString page(const char* value) const
    {
        return m_server.url(QStringLiteral("/store")).toString() + QLatin1Char('#') +
               QLatin1String(value);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        m_server.serve("/store", StoragePage);
    }

    void eachCopyKeepsItsOwnSiteStorage()
    {
        TestHome home;
        QVERIFY(ProgramRun::deploySettings(
            home.path(), "\"AllowMultiInstance\"=\"1\"\r\n\"AskDefaultBrowser\"=\"0\"\r\n"));
        {
            Copy first(home.path(), page("one"));
            QTRY_COMPARE_WITH_TIMEOUT(captions(home.path()), QStringList{"kept one"}, 30000);
            Copy second(home.path(), page("two"));
            QTRY_COMPARE_WITH_TIMEOUT(captions(home.path()), (QStringList{"kept one", "kept two"}),
                                      30000);
            QVERIFY(QFileInfo(home.file(QStringLiteral("WebProfile-2"))).isDir());
            QVERIFY(second.terminate());
            QVERIFY(first.terminate());
        }
        {
            // Run again as first and second copy: each finds what it kept, not the new value.
            Copy first(home.path(), page("three"));
            QTRY_COMPARE_WITH_TIMEOUT(captions(home.path()), QStringList{"kept one"}, 30000);
            Copy second(home.path(), page("four"));
            QTRY_COMPARE_WITH_TIMEOUT(captions(home.path()), (QStringList{"kept one", "kept two"}),
                                      30000);
            // The first closes; the second, its tab kept, is killed at the end of the block.
            const auto kept = [&home] {
                QFile file(home.file(QStringLiteral("session-2.json")));
                return file.open(QIODevice::ReadOnly) && file.readAll().contains("#four");
            };
            QTRY_VERIFY_WITH_TIMEOUT(kept(), 30000);
            QVERIFY(first.terminate());
        }
        // The next start, as the first copy, brings the second's tab back too; the second's
        // session goes once the first's own holds the tab.
        Copy again(home.path(), page("five"));
        QTRY_COMPARE_WITH_TIMEOUT(captions(home.path(), QStringLiteral("address")),
                                  (QStringList{page("five"), page("four")}), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(home.file(QStringLiteral("session-2.json"))),
                                 30000);
        QVERIFY(again.terminate());
    }
};

PELVANE_TEST_GUILESS_MAIN(TestCopies)
#include "tst_copies.moc"
