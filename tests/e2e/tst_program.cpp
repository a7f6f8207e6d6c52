// The built program, started as a user starts it, under a virtual display, with pages
// from a local server.
#include "platform/InstanceLock.h"
#include "platform/MessageBus.h"
#include "support/HiveFiles.h"
#include "support/LocalHttpServer.h"
#include "support/ProgramRun.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonObject>
#include <QProcess>

#include <memory>
#include <tuple>

namespace {

// One run of the program in a home of its own.
class Program final : public ProgramRun::Copy
{
public:
    explicit Program(const QString& home)
        : Copy(ProgramRun::environment(home))
    {
    }
    QStringList addresses() const
    {
        QStringList result;
        for (const QJsonObject& tab : listTabs())
            result << tab.value(QStringLiteral("address")).toString();
        return result;
    }
};

QString page(const QString& title)
{
    return QStringLiteral("<html><head><title>%1</title></head><body>%1</body></html>").arg(title);
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;
    QString url(const char* path) const { return m_server.url(QLatin1String(path)).toString(); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        for (const char* name : {"a", "b", "c", "d"})
            m_server.serve(QByteArray("/") + name, page(QString::fromLatin1(name)).toUtf8());
    }

    // Answered on the terminal, without a window or even a display.
    void theTerminalIsAnsweredWithoutAWindow()
    {
        TestHome home;
        QProcessEnvironment env = ProgramRun::environment(home.path());
        env.remove(QStringLiteral("DISPLAY"));
        using Case = std::tuple<const char*, int, const char*>; // argument, exit code, said
        for (const auto& [argument, exitCode, said] :
             {Case{"--list-tabs", 1, "no running Pelvane"}, Case{"--help", 0, "Usage: pelvane"},
              Case{"--reg-exprot", 2, "unknown option --reg-exprot\nUsage: pelvane"}}) {
            QProcess tool;
            tool.setProcessEnvironment(env);
            tool.start(QStringLiteral(PELVANE_BINARY), {QString::fromLatin1(argument)});
            QVERIFY(tool.waitForFinished(10000));
            QCOMPARE(tool.exitCode(), exitCode);
            QVERIFY((exitCode ? tool.readAllStandardError() : tool.readAllStandardOutput())
                        .contains(said));
        }
    }

    void secondCopyHandsItsAddressToTheFirst()
    {
        TestHome home;
        // The first start would offer to make Pelvane the default browser and wait.
        QVERIFY(ProgramRun::deploySettings(home.path(), "\"AskDefaultBrowser\"=\"0\"\r\n"));
        Program first(home.path());
        first.start({url("/a")});
        QTRY_VERIFY_WITH_TIMEOUT(first.addresses() == QStringList{url("/a")}, 30000);

        QProcess second;
        second.setProcessEnvironment(ProgramRun::environment(home.path()));
        second.start(QStringLiteral(PELVANE_BINARY), {url("/b")});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);

        QTRY_VERIFY_WITH_TIMEOUT(first.addresses() == (QStringList{url("/a"), url("/b")}), 30000);
        const auto tabs = first.listTabs();
        QVERIFY(tabs.at(1).value(QStringLiteral("active")).toBool());
        QCOMPARE(tabs.at(1).value(QStringLiteral("homeUrl")).toString(), url("/b"));
        QVERIFY(first.terminate());
    }

    // A logout that comes while the program is still starting (it holds its lock, its
    // window is not yet made) is not the default kill: it leaves through the ordinary exit.
    void aLogoutWhileStartingLeavesThroughTheOrdinaryExit()
    {
        TestHome home;
        QVERIFY(ProgramRun::deploySettings(home.path(), "\"AskDefaultBrowser\"=\"0\"\r\n"));
        Program run(home.path());
        run.start({url("/a")});
        const QString lockFile =
            QDir(home.path()).filePath(QStringLiteral("run/instance.lock"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(lockFile), 20000);
        QVERIFY(run.terminate());
        QCOMPARE(run.process().exitStatus(), QProcess::NormalExit);
    }

    void aStartWhileTheRunningCopyExitsWaitsAndOpensItsOwnWindow()
    {
        TestHome home;
        QVERIFY(ProgramRun::deploySettings(home.path(), "\"AskDefaultBrowser\"=\"0\"\r\n"));
        // A copy on its way out, as the program sees it: it still holds the lock and answers
        // hand-offs "not taken".
        const QString run = QDir(home.path()).filePath(QStringLiteral("run"));
        auto lock =
            std::make_unique<InstanceLock>(QDir(run).filePath(QStringLiteral("instance.lock")));
        QVERIFY(lock->tryAcquire());
        auto exiting = std::make_unique<MessageBus>(run);
        QStringList offered;
        exiting->setHandler(QStringLiteral("Pelvane"), [&offered](const QJsonValue& payload) {
            offered << payload.toObject().value(QStringLiteral("argument")).toString();
            return QJsonValue(false);
        });
        QVERIFY(exiting->listen());

        Program second(home.path());
        second.start({url("/b")});
        QTRY_VERIFY_WITH_TIMEOUT(!offered.isEmpty(), 20000);
        QCOMPARE(offered.first(), url("/b"));
        exiting.reset();
        lock.reset();
        // The address was not handed to anybody: the new copy opens it itself.
        QTRY_VERIFY_WITH_TIMEOUT(second.addresses() == QStringList{url("/b")}, 30000);
        QVERIFY(second.terminate());
    }

    void lastOpenSitesComeBackAfterARestart()
    {
        TestHome home;
        // The settings a user would deploy: restore the last tabs, and open a group given
        // at start without first asking to close the (blank) tab.
        const QString reg = home.file(QStringLiteral("last.reg"));
        QFile regFile(reg);
        QVERIFY(regFile.open(QIODevice::WriteOnly));
        regFile.write(
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion]\r\n"
            "\"StartupMode\"=\"Last\"\r\n\"ConfirmCloseAll\"=\"0\"\r\n\"AskDefaultBrowser\"="
            "\"0\"\r\n");
        regFile.close();
        QProcess import;
        import.setProcessEnvironment(ProgramRun::environment(home.path()));
        import.start(QStringLiteral(PELVANE_BINARY), {QStringLiteral("--reg-import"), reg});
        QVERIFY(import.waitForFinished(10000));
        QCOMPARE(import.exitCode(), 0);

        const QString group = home.file(QStringLiteral("three.sgp"));
        QFile file(group);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[SorvelGroup]\r\nblank1=%1\r\nSecond=%2\r\nblank3=%3\r\n")
                       .arg(url("/a"), url("/b"), url("/c"))
                       .toUtf8());
        file.close();
        {
            // A group file as argument opens its tabs; the mode is not consulted.
            Program run(home.path());
            run.start({group});
            QTRY_VERIFY_WITH_TIMEOUT(
                run.addresses() == (QStringList{url("/a"), url("/b"), url("/c")}), 30000);
            QCOMPARE(run.listTabs().at(1).value(QStringLiteral("stickyName")).toString(),
                     QStringLiteral("Second"));
            QVERIFY(run.terminate()); // a logout closes through the ordinary exit
        }
        {
            Program again(home.path());
            again.start({});
            QTRY_VERIFY_WITH_TIMEOUT(
                again.addresses() == (QStringList{url("/a"), url("/b"), url("/c")}), 30000);
            QVERIFY(again.listTabs().first().value(QStringLiteral("active")).toBool());
            QVERIFY(again.terminate());
        }
        // What the program made (settings, history, profile, sockets) is the user's alone.
        QStringList loose;
        QDirIterator it(home.path(),
                        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            const bool testsOwn =
                info.suffix() == QLatin1String("reg") || info.suffix() == QLatin1String("sgp");
            if (!testsOwn && !info.isSymLink() && (info.permissions() & 0x0077))
                loose << info.filePath();
        }
        QCOMPARE(loose, QStringList());
    }

    void aKilledProgramBringsItsTabsBackAndACleanExitDoesNot()
    {
        TestHome home;
        QVERIFY(ProgramRun::deploySettings(
            home.path(), "\"AskDefaultBrowser\"=\"0\"\r\n\"ConfirmCloseAll\"=\"0\"\r\n"));
        const QString group = home.file(QStringLiteral("four.sgp"));
        QFile file(group);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[SorvelGroup]\r\nblank1=%1\r\nSecond=%2\r\nblank3=%3\r\n"
                                  "blank4=%4\r\n")
                       .arg(url("/a"), url("/b"), url("/c"), url("/d"))
                       .toUtf8());
        file.close();
        const QStringList four{url("/a"), url("/b"), url("/c"), url("/d")};
        const QString session = home.file(QStringLiteral("session.json"));
        qint64 killedRun = 0;
        const auto saved = [&session] {
            QFile kept(session);
            return kept.open(QIODevice::ReadOnly) ? kept.readAll() : QByteArray();
        };
        {
            Program run(home.path());
            run.start({group});
            QTRY_VERIFY_WITH_TIMEOUT(run.addresses() == four, 30000);
            // Written a few seconds after the last change; then the process dies.
            QTRY_VERIFY_WITH_TIMEOUT(saved().contains("/d") && saved().contains("Second"), 20000);
            QVERIFY(QFile::exists(session + QStringLiteral(".running")));
            killedRun = run.process().processId();
            run.process().kill();
            QVERIFY(run.process().waitForFinished(10000));
        }
        // What the killed run would leave had it died in the last step of its writes: files
        // finished under a temporary name, an import's hidden folder.
        const QStringList leftovers{
            session + QStringLiteral(".Xy12Ab"),
            home.file(QStringLiteral("Pelvane/toolbar.dat.Qw34Er")),
            home.file(QStringLiteral("Favorites/Links/Site.url.Zx56Cv")),
            home.file(QStringLiteral("Favorites/.import-%1-0123456789ab/Page.url").arg(killedRun)),
        };
        const QDateTime killedAt = QDateTime::currentDateTime().addSecs(-60);
        for (const QString& leftover : leftovers) {
            QVERIFY(QDir().mkpath(QFileInfo(leftover).absolutePath()));
            QFile made(leftover);
            QVERIFY(made.open(QIODevice::WriteOnly));
            made.close();
            QVERIFY(TestFiles::setModified(leftover, killedAt));
        }
        QVERIFY(TestFiles::setModified(QFileInfo(leftovers.last()).absolutePath(), killedAt));
        {
            Program again(home.path());
            again.start({});
            QTRY_VERIFY_WITH_TIMEOUT(again.addresses() == four, 30000);
            for (const QString& leftover : leftovers)
                QTRY_VERIFY2_WITH_TIMEOUT(!QFileInfo::exists(leftover), qPrintable(leftover), 15000);
            QVERIFY(!QFileInfo::exists(QFileInfo(leftovers.last()).absolutePath()));
            const auto tabs = again.listTabs();
            QCOMPARE(tabs.at(1).value(QStringLiteral("stickyName")).toString(),
                     QStringLiteral("Second"));
            // Only the active tab loaded; the others wait to be shown.
            int waiting = 0;
            for (const QJsonObject& tab : tabs)
                waiting += tab.value(QStringLiteral("waiting")).toBool() ? 1 : 0;
            QCOMPARE(waiting, 3);
            QVERIFY(again.terminate());
        }
        QVERIFY(!QFile::exists(session));
        {
            // After a clean exit the start pages are as "StartupMode" says: the home page.
            Program third(home.path());
            third.start({});
            QTRY_COMPARE_WITH_TIMEOUT(third.listTabs().size(), 1, 30000);
            QVERIFY(third.terminate());
        }
    }

    void pictureModeWritesAPictureAndLeavesTheSessionAlone()
    {
        TestHome home;
        const QString picture = home.file(QStringLiteral("shot.png"));
        Program run(home.path());
        run.start({QStringLiteral("--screenshot"), picture, url("/d")});
        QVERIFY(run.finishes(60000));
        QCOMPARE(run.process().exitCode(), 0);
        QImage image(picture);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() > 200);
        // Nothing of the session was written.
        QProcess exportTool;
        exportTool.setProcessEnvironment(ProgramRun::environment(home.path()));
        exportTool.start(QStringLiteral(PELVANE_BINARY),
                         {QStringLiteral("--reg-export"),
                          QStringLiteral("HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane")});
        QVERIFY(exportTool.waitForFinished(10000));
        QVERIFY(!exportTool.readAllStandardOutput().contains("Last Open Sites"));
    }

    // Nobody is there to press OK: a picture says on standard error what is wrong with the
    // settings, runs on defaults, and never writes a file it cannot open.
    void pictureModeToldAboutSettingsOnStandardError()
    {
        for (const bool damaged : {false, true}) {
            TestHome home;
            const QString file = home.file(QStringLiteral("registry.db"));
            if (damaged)
                TestFiles::writeFile(file, QByteArray(4096, 'x'));
            QVERIFY(damaged || HiveFiles::writeNewer(file));
            const QByteArray before = TestFiles::readFile(file);
            Program run(home.path());
            run.process().setProcessChannelMode(QProcess::SeparateChannels);
            run.start({QStringLiteral("--screenshot"), home.file(QStringLiteral("shot.png")),
                       QStringLiteral("about:blank")});
            QVERIFY(run.finishes(60000));
            const QByteArray errors = run.process().readAllStandardError();
            QCOMPARE(run.process().exitCode(), 0);
            QVERIFY2(errors.contains(damaged ? "damaged and could not be read"
                                             : "written by a newer version"),
                     errors.constData());
            QVERIFY(damaged || TestFiles::readFile(file) == before);
        }
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
