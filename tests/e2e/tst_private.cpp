// Private windows of the built program, on the real engine under a virtual display: what a
// private visit leaves in the home (nothing), and what other copies hand over (never to it).
#include "support/LocalHttpServer.h"
#include "support/ProgramRun.h"
#include "support/TestHome.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonObject>
#include <QProcess>


namespace {

// The program in a home that is also the user's HOME, so that whatever the engine or the
// toolkit would write for the user (outside the program's own folders) lands there too.
QProcessEnvironment environmentIn(const QString& home)
{
    QProcessEnvironment env = ProgramRun::environment(home);
    env.insert(QStringLiteral("HOME"), home);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        env.remove(QLatin1String(name));
    return env;
}

class Run final : public ProgramRun::Copy
{
public:
    Run(const QString& home, const QStringList& arguments)
        : Copy(environmentIn(home), arguments)
    {
    }
};

QList<QJsonObject> listTabs(const QString& home)
{
    return ProgramRun::listTabs(environmentIn(home));
}

// "caption" or "caption (private)" of every running copy's tabs, sorted.
QStringList shownTabs(const QString& home)
{
    QStringList shown;
    for (const QJsonObject& tab : listTabs(home)) {
        const QString caption = tab.value(QStringLiteral("caption")).toString();
        shown << (tab.value(QStringLiteral("private")).toBool() ? caption + " (private)"
                                                                  : caption);
    }
    shown.sort();
    return shown;
}

// Every file and folder below `home`: a file with its size, time and content, a folder by
// its name only (its time changes with any file made and removed in it meanwhile).
QStringList listing(const QString& home)
{
    QStringList lines;
    QDirIterator it(home, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir root(home);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString name = root.relativeFilePath(info.filePath());
        if (info.isDir() && !info.isSymLink()) {
            lines << name + QLatin1Char('/');
            continue;
        }
        QFile file(info.filePath());
        QByteArray digest;
        if (info.isFile() && file.open(QIODevice::ReadOnly))
            digest = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
        lines << QStringLiteral("%1 %2 %3 %4")
                     .arg(name)
                     .arg(info.size())
                     .arg(info.lastModified().toMSecsSinceEpoch())
                     .arg(QString::fromLatin1(digest));
    }
    lines.sort();
    return lines;
}

// What `after` has that `before` had not, and what went: "+ line", "- line".
QStringList differences(const QStringList& before, const QStringList& after)
{
    QStringList changed;
    for (const QString& line : after) {
        if (!before.contains(line))
            changed << QStringLiteral("+ ") + line;
    }
    for (const QString& line : before) {
        if (!after.contains(line))
            changed << QStringLiteral("- ") + line;
    }
    return changed;
}

// Keeps a cookie, site storage and a picture of the site: a visit that could leave traces.
const QByteArray TracePage =
    "<html><head><title>%1</title><link rel='icon' href='/icon.png'></head><body>%1<script>"
    "document.cookie = 'seen=1; max-age=86400';"
    "localStorage.setItem('seen', '1');"
    "</script></body></html>";

QByteArray pageTitled(const char* title)
{
    return QByteArray(TracePage).replace("%1", title);
}

QByteArray iconPng()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::darkMagenta);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace

class TestPrivate final : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;
    QString url(const char* path) const { return m_server.url(QLatin1String(path)).toString(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        for (const char* title : {"Ordinary", "Secret", "Handed"})
            m_server.serve(QByteArray("/") + title, pageTitled(title));
        LocalHttpServer::Response icon;
        icon.contentType = "image/png";
        icon.body = iconPng();
        icon.headers << LocalHttpServer::Header("Cache-Control", "max-age=86400");
        m_server.serve("/icon.png", icon);
    }

    void aPrivateVisitWritesNothing()
    {
        TestHome home;
        QVERIFY(ProgramRun::deploySettings(home.path(), "\"AskDefaultBrowser\"=\"0\"\r\n"));
        {
            // A user who has used the program: its settings, history, profile and session.
            Run ordinary(home.path(), {url("/Ordinary")});
            QTRY_COMPARE_WITH_TIMEOUT(shownTabs(home.path()), QStringList{"Ordinary"}, 30000);
            QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount("/icon.png") > 0, 30000);
            QVERIFY(ordinary.terminate());
        }
        const QStringList before = listing(home.path());
        m_server.clearRequests();
        {
            Run secret(home.path(), {QStringLiteral("--private"), url("/Secret")});
            QTRY_COMPARE_WITH_TIMEOUT(shownTabs(home.path()), QStringList{"Secret (private)"},
                                      30000);
            // The page really ran: its picture was asked for, with the cookie it set.
            QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount("/icon.png") > 0, 30000);
            QVERIFY(secret.terminate());
        }
        const QStringList after = listing(home.path());
        QVERIFY2(differences(before, after).isEmpty(),
                 qPrintable(differences(before, after).join(QLatin1Char('\n'))));
    }

    void aHandOffNeverLandsInAPrivateWindow()
    {
        TestHome home;
        QVERIFY(ProgramRun::deploySettings(home.path(), "\"AskDefaultBrowser\"=\"0\"\r\n"));
        Run secret(home.path(), {QStringLiteral("--private"), url("/Secret")});
        QTRY_COMPARE_WITH_TIMEOUT(shownTabs(home.path()), QStringList{"Secret (private)"}, 30000);
        // Only a private window runs: the address opens in an ordinary window of its own.
        Run first(home.path(), {url("/Ordinary")});
        QTRY_COMPARE_WITH_TIMEOUT(shownTabs(home.path()),
                                  (QStringList{"Ordinary", "Secret (private)"}), 30000);
        QVERIFY(first.process().state() == QProcess::Running);
        // With both running, a further copy hands over to the ordinary window, and ends.
        Run handed(home.path(), {url("/Handed")});
        QVERIFY(handed.finishes(30000));
        QCOMPARE(handed.process().exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(shownTabs(home.path()),
                                  (QStringList{"Handed", "Ordinary", "Secret (private)"}), 30000);
        QVERIFY(first.terminate());
        QVERIFY(secret.terminate());
    }

    void aPictureOfAPrivateWindow()
    {
        TestHome home;
        const QString folder = qEnvironmentVariable("PELVANE_SCREENSHOTS", home.path());
        const QString picture = QDir(folder).filePath(QStringLiteral("private-window.png"));
        QFile::remove(picture);
        Run run(home.path(),
                {QStringLiteral("--screenshot"), picture, QStringLiteral("--private"),
                 url("/Secret")});
        QVERIFY(run.finishes(60000));
        QCOMPARE(run.process().exitCode(), 0);
        const QImage image(picture);
        QVERIFY(image.width() > 200);
        // The strip above the tabs is the private windows' violet.
        bool violet = false;
        for (int y = 0; y < image.height() / 3 && !violet; ++y)
            violet = image.pixelColor(image.width() / 2, y) == QColor(0x4b, 0x2e, 0x83);
        QVERIFY(violet);
    }
};

PELVANE_TEST_GUILESS_MAIN(TestPrivate)
#include "tst_private.moc"
