#include "platform/DesktopEntry.h"
#include "platform/DesktopLaunch.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

using namespace TestFiles;

namespace {

} // namespace

// Desktop entries: reading them, the programs for a kind of file, and their command lines.
class TestDesktopEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void editCommandLine_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QStringList>("expected");
        const QString file = QStringLiteral("/tmp/my page \"1\".htm");
        const QString url = QUrl::fromLocalFile(file).toString();
        QTest::newRow("%f") << "editor %f" << QStringList{"editor", file};
        QTest::newRow("%F") << "editor --new %F" << QStringList{"editor", "--new", file};
        QTest::newRow("%u gives an address") << "editor %u" << QStringList{"editor", url};
        QTest::newRow("%U") << "editor %U" << QStringList{"editor", url};
        QTest::newRow("no code: file appended") << "editor -w" << QStringList{"editor", "-w", file};
        QTest::newRow("quoted program with blanks")
            << "\"/opt/My Editor/edit\" %f" << QStringList{"/opt/My Editor/edit", file};
        QTest::newRow("escapes in quotes") << "sh -c \"echo \\\"\\$1\\\" \\\\\" x %f"
                                           << QStringList{"sh", "-c", "echo \"$1\" \\", "x", file};
        QTest::newRow("code inside a word")
            << "editor --file=%f" << QStringList{"editor", "--file=" + file};
        QTest::newRow("icon, name, entry, percent")
            << "editor %i --title=%c --from %k 100%%"
            << QStringList{"editor", "--icon",        "ed",   "--title=Ed",
                           "--from", "/x/ed.desktop", "100%", file};
        QTest::newRow("deprecated codes give nothing")
            << "editor %d %D %n %N %v %m %f" << QStringList{"editor", file};
        QTest::newRow("unfinished quote: nothing") << "\"editor %f" << QStringList{};
        QTest::newRow("empty program: nothing") << "\"\" %f" << QStringList{};
    }

    void editCommandLine()
    {
        QFETCH(QString, exec);
        QFETCH(QStringList, expected);
        DesktopApplication app;
        app.name = QStringLiteral("Ed");
        app.icon = QStringLiteral("ed");
        app.desktopFile = QStringLiteral("/x/ed.desktop");
        app.exec = exec;
        QCOMPARE(DesktopEntry::BuildCommand(app, QStringLiteral("/tmp/my page \"1\".htm")), expected);
    }

    void addressCommandLine()
    {
        const struct
        {
            QString exec, address;
            QStringList expected;
        } rows[] = {
            {"mail %u", "mailto:?a=1", {"mail", "mailto:?a=1"}},
            {"mail -x %F", "mailto:", {"mail", "-x", "mailto:"}}, // a file code gives it too
            {"mail", "mailto:", {"mail", "mailto:"}},
            {"mail --to=%u %U 50%%", "", {"mail", "--to=", "50%"}}, // none: the codes give nothing
        };
        for (const auto& row : rows) {
            DesktopApplication app;
            app.exec = row.exec;
            QCOMPARE(DesktopEntry::BuildAddressCommand(app, row.address), row.expected);
        }
    }

    void languageAndEnvironment()
    {
        QCOMPARE(DesktopEntry::LocaleSuffixes("sr_RS@latin"),
                 (QStringList{"sr_RS@latin", "sr_RS", "sr@latin", "sr"}));
        QCOMPARE(DesktopEntry::LocaleSuffixes("de"), QStringList{"de"});
        QCOMPARE(DesktopEntry::LocaleSuffixes("C"), QStringList{});
        const auto lookup = [](const QString& name) {
            return name == QLatin1String("HOME") ? QStringLiteral("/home/u") : QString();
        };
        QCOMPARE(
            DesktopEntry::ExpandEnvironment("$HOME/bin/${HOME}x $NONE. $$HOME $ $1 ${open", lookup),
            QStringLiteral("/home/u/bin//home/ux . $HOME $ $1 ${open"));
        // Only the KDE form "Key[$e]" is expanded; a plain key stays as written.
        qputenv("PELVANE_MAIL_TEST", "/opt/mail");
        const QString file =
            writeFile(home("e.desktop"),
                      "[Desktop Entry]\nType=Application\n"
                      "Name=E\nName[de]=D\nName[de_AT]=A\nExec[$e]=$PELVANE_MAIL_TEST/run %u\n"
                      "Path=$PELVANE_MAIL_TEST\nTerminal=true\n");
        const QByteArray language = qgetenv("LC_ALL");
        qputenv("LC_ALL", "de_CH.UTF-8"); // the desktop's language decides the name
        const auto app = DesktopEntry::ReadDesktopEntry(file, "e.desktop");
        qputenv("LC_ALL", language);
        QVERIFY(app);
        QCOMPARE(app->name, QStringLiteral("D"));
        QCOMPARE(app->exec, QStringLiteral("/opt/mail/run %u"));
        QCOMPARE(app->workingFolder, QStringLiteral("$PELVANE_MAIL_TEST"));
        QVERIFY(app->terminal);
        // Found by id, also in a vendor folder.
        writeFile(home("apps/vendor/app.desktop"),
                  "[Desktop Entry]\nType=Application\nName=V\nExec=v\n");
        QCOMPARE(DesktopEntry::FindDesktopEntry("vendor-app.desktop", {home("none"), home("apps")})
                     ->name,
                 QStringLiteral("V"));
        QVERIFY(!DesktopEntry::FindDesktopEntry("../apps/vendor/app.desktop", {home("apps")}));
    }

    void desktopEntriesForWebPages()
    {
        const QString user = home(QStringLiteral("data1/applications"));
        const QString system = home(QStringLiteral("data2/applications"));
        QDir().mkpath(user + QStringLiteral("/vendor"));
        QDir().mkpath(system);
        const QByteArray head = "[Desktop Entry]\nType=Application\n";
        writeFile(system + "/zed.desktop",
                  head + "Name=Zed\nExec=zed %f\nMimeType=text/plain;text/html;\n");
        writeFile(system + "/hidden.desktop", head + "Name=Gone\nExec=gone\nMimeType=text/html;\n");
        writeFile(user + "/hidden.desktop",
                  head + "Name=Gone\nExec=gone\nHidden=true\nMimeType=text/html;\n");
        writeFile(user + "/vendor/alpha.desktop",
                  head + "Name=Alpha\nName[xx]=Alpha X\nExec=alpha\\s%U\nMimeType=text/html\n"
                         "[Desktop Action New]\nName=Other\n");
        writeFile(user + "/image.desktop",
                  head + "Name=Viewer\nExec=view %f\nMimeType=image/png;\n");
        writeFile(user + "/link.desktop",
                  "[Desktop Entry]\nType=Link\nName=L\nURL=x\nMimeType=text/html;\n");
        writeFile(
            user + "/tryexec.desktop",
            head + "Name=Absent\nTryExec=/nonexistent/absent\nExec=absent\nMimeType=text/html;\n");

        const auto programs = DesktopEntry::ProgramsFor(QStringLiteral("text/html"), {user, system});
        QCOMPARE(programs.size(), 2);
        QCOMPARE(programs.at(0).name, QStringLiteral("Alpha"));
        QCOMPARE(programs.at(0).id, QStringLiteral("vendor-alpha.desktop"));
        QCOMPARE(programs.at(0).exec, QStringLiteral("alpha %U"));
        QCOMPARE(programs.at(1).name, QStringLiteral("Zed"));

        qputenv("XDG_DATA_HOME", home(QStringLiteral("data1")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", (home(QStringLiteral("data2")) + ":/nowhere").toLocal8Bit());
        const QStringList folders = DesktopEntry::ApplicationFolders();
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DATA_DIRS");
        QCOMPARE(folders, (QStringList{user, system, QStringLiteral("/nowhere/applications")}));
    }

    // A program starts as its entry says: inside the terminal when it asks for one, and not
    // at all, with the reason, when its command is missing or too long, when it wants a
    // terminal and there is none, or when it cannot be found.
    void launching()
    {
        const QString ok = QStandardPaths::findExecutable(QStringLiteral("true"));
        QVERIFY(!ok.isEmpty());
        DesktopApplication app;
        app.name = QStringLiteral("Editor");
        QCOMPARE(DesktopLaunch::start(app, {}, ok),
                 QStringLiteral("The desktop entry of Editor gives no command to run."));
        QCOMPARE(DesktopLaunch::start(app, {ok, QString(5000, QLatin1Char('x'))}, ok),
                 QStringLiteral("The command of Editor is too long to run."));
        QCOMPARE(DesktopLaunch::start(app, {QStringLiteral("/nowhere/editor")}, ok),
                 QStringLiteral("Editor could not be started."));
        QCOMPARE(DesktopLaunch::start(app, {ok}, QString()), QString());
        app.terminal = true;
        QCOMPARE(DesktopLaunch::start(app, {ok}, QString()),
                 QStringLiteral("Editor needs a terminal, and none is installed."));
        QCOMPARE(DesktopLaunch::start(app, {ok}, ok), QString()); // "true -e true"
        QCOMPARE(DesktopLaunch::inTerminal({QStringLiteral("vi"), QStringLiteral("my page.html")},
                                           QStringLiteral("/usr/bin/xterm")),
                 (QStringList{QStringLiteral("/usr/bin/xterm"), QStringLiteral("-e"),
                              QStringLiteral("vi"), QStringLiteral("my page.html")}));
    }

    void entryTextAndEscapes()
    {
        const auto keys = DesktopEntry::readGroup("# comment\n[Other]\nName=No\n"
                                                  "[Desktop Entry]\nName=Yes\nName=Later\n"
                                                  " TryExec = /opt/a\\sb \n[Next]\nName=No\n");
        QCOMPARE(keys.value(QStringLiteral("Name")), QStringLiteral("Yes"));
        QCOMPARE(DesktopEntry::unescapeValue(keys.value(QStringLiteral("TryExec"))),
                 QStringLiteral("/opt/a b"));
        const QString odd = QStringLiteral(" lead\\back\nline\ttab");
        QCOMPARE(DesktopEntry::unescapeValue(DesktopEntry::escapeValue(odd)), odd);
    }
};

PELVANE_TEST_MAIN(TestDesktopEntry)
#include "tst_desktopentry.moc"
