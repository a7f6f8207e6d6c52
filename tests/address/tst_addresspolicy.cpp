#include "address/AddressPolicy.h"
#include "support/TestHome.h"

#include <QCoreApplication>

using AddressPolicy::Decision;
using AddressPolicy::Source;

Q_DECLARE_METATYPE(Source)
Q_DECLARE_METATYPE(Decision)

class TestAddressPolicy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decide_data()
    {
        QTest::addColumn<Source>("source");
        QTest::addColumn<QString>("address");
        QTest::addColumn<Decision>("decision");
        const auto row = [](const char* name, Source source, const QString& address,
                            Decision decision) {
            QTest::newRow(name) << source << address << decision;
        };
        const QString script = QStringLiteral("javascript:alert(document.cookie)");
        const QString data = QStringLiteral("data:text/html,<h1>Sign in</h1>");
        // A bookmarklet is the user's own doing; from anywhere else a script is refused.
        row("typed script", Source::Typed, script, Decision::Open);
        row("typed data", Source::Typed, data, Decision::Open);
        for (const auto& [name, source] :
             {std::pair{"dropped link", Source::DroppedLink},
              std::pair{"dropped shortcut", Source::DroppedShortcut},
              std::pair{"group entry", Source::GroupEntry}, std::pair{"hand-off", Source::HandOff}}) {
            row(QByteArray(name).append(" script").constData(), source, script, Decision::Refuse);
            row(QByteArray(name).append(" data").constData(), source, data, Decision::OpenInNewTab);
            row(QByteArray(name).append(" web").constData(), source,
                QStringLiteral("http://127.0.0.1/a"), Decision::Open);
        }
        // Spellings a URL parser reads as a script address all the same.
        row("upper case", Source::DroppedLink, QStringLiteral("JavaScript:x"), Decision::Refuse);
        row("leading blanks", Source::DroppedLink, QStringLiteral(" \x01\tjavascript:x"),
            Decision::Refuse);
        row("tab inside", Source::DroppedLink, QStringLiteral("java\tscr\nipt:x"), Decision::Refuse);
        row("vbscript", Source::HandOff, QStringLiteral("vbscript:x"), Decision::Refuse);
        row("local file", Source::HandOff, QStringLiteral("file:///home/u/page.html"), Decision::Open);
        row("plain path", Source::HandOff, QStringLiteral("/home/u/page.html"), Decision::Open);
        row("no scheme", Source::GroupEntry, QStringLiteral("www.example.com"), Decision::Open);
        // The desktop is handed web addresses only: no local files, no other programs.
        row("launch http", Source::LaunchImage, QStringLiteral("http://127.0.0.1/"), Decision::Open);
        row("launch https", Source::LaunchImage, QStringLiteral("HTTPS://127.0.0.1/"), Decision::Open);
        row("launch ftp", Source::LaunchImage, QStringLiteral("ftp://127.0.0.1/"), Decision::Open);
        row("launch file", Source::LaunchImage, QStringLiteral("file:///etc/passwd"), Decision::Refuse);
        row("launch path", Source::LaunchImage, QStringLiteral("/usr/bin/xterm"), Decision::Refuse);
        row("launch script", Source::LaunchImage, script, Decision::Refuse);
        row("launch other", Source::LaunchImage, QStringLiteral("smb://host/share"), Decision::Refuse);
    }

    void decide()
    {
        QFETCH(Source, source);
        QFETCH(QString, address);
        QFETCH(Decision, decision);
        QCOMPARE(AddressPolicy::decide(source, address), decision);
    }
};

PELVANE_TEST_GUILESS_MAIN(TestAddressPolicy)
#include "tst_addresspolicy.moc"
