#include "support/RegeditFiles.h"
#include "support/TestHome.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QProcess>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

const char Deploy[] =
    "REGEDIT4\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion]\r\n"
    "\"StartupMode\"=\"Last\"\r\n"
    "@=\"default\"\r\n"
    "\"LimitTitleLength\"=\"0\"\r\n"
    "\"Width\"=dword:00000280\r\n"
    "\"Env\"=hex(2):25,48,4f,4d,45,25,00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion\\PopupSorvel]\r\n"
    "\"url1\"=\"http://ads.\"\r\n";

const char DeployExported[] =
    "REGEDIT4\n\n"
    "[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane]\n\n"
    "[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion]\n"
    "\"StartupMode\"=\"Last\"\n"
    "@=\"default\"\n"
    "\"LimitTitleLength\"=\"0\"\n"
    "\"Width\"=dword:00000280\n"
    "\"Env\"=hex(2):25,48,4f,4d,45,25,00\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion\\PopupSorvel]\n"
    "\"url1\"=\"http://ads.\"\n"
    "\n";

} // namespace

// The built program's --reg-export and --reg-import, each run in a home of its own.
class TestRegCommand : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    Run pelvane(const QStringList& args, const QString& platform = QStringLiteral("offscreen"))
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PELVANE_HOME"), m_home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(PELVANE_BINARY), args);
        Run run;
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_home.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private Q_SLOTS:
    void importThenExportRoundTrip()
    {
        // No window may open: a platform that does not exist would stop a GUI program.
        const Run imported =
            pelvane({QStringLiteral("--reg-import"), writeFile("deploy.reg", Deploy)},
                    QStringLiteral("no-such-platform"));
        QVERIFY2(imported.exitCode == 0, imported.err.constData());
        QVERIFY(imported.out.isEmpty());

        const Run out = pelvane(
            {QStringLiteral("--reg-export"), QStringLiteral("HKCU\\Software\\Brenmoor\\Pelvane")},
            QStringLiteral("no-such-platform"));
        QVERIFY2(out.exitCode == 0, out.err.constData());
        QCOMPARE(QString::fromUtf8(out.out), QString::fromUtf8(DeployExported));

        // Importing the export again changes nothing, and the whole-hive export holds it.
        QCOMPARE(
            pelvane({QStringLiteral("--reg-import"), writeFile("again.reg", out.out)}).exitCode, 0);
        QCOMPARE(pelvane({QStringLiteral("--reg-export"),
                          QStringLiteral("HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane")})
                     .out,
                 out.out);
        const Run all = pelvane({QStringLiteral("--reg-export")});
        QCOMPARE(all.exitCode, 0);
        QVERIFY(all.out.startsWith("REGEDIT4\n\n[HKEY_CLASSES_ROOT]\n\n[HKEY_CURRENT_USER]\n\n"));
        QVERIFY(all.out.contains(DeployExported + 10)); // past the header
        QVERIFY(all.out.contains("[HKEY_LOCAL_MACHINE]\n"));
    }

    void faultyImportChangesNothing()
    {
        QCOMPARE(pelvane({QStringLiteral("--reg-import"), writeFile("base.reg", Deploy)}).exitCode,
                 0);
        const QByteArray before = pelvane({QStringLiteral("--reg-export")}).out;

        // The first lines are sound and would apply; the fault is further down.
        const QString bad = writeFile("bad.reg", "REGEDIT4\n\n"
                                                 "[-HKEY_CURRENT_USER\\Software\\Brenmoor]\n\n"
                                                 "[HKEY_CURRENT_USER\\Software\\Other]\n"
                                                 "\"a\"=\"b\"\n"
                                                 "\"n\"=dword:12\n"
                                                 "\"broken\"=dword:zz\n");
        const Run run = pelvane({QStringLiteral("--reg-import"), bad});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("bad.reg: line 8: "), run.err.constData());
        QCOMPARE(pelvane({QStringLiteral("--reg-export")}).out, before);
    }

    // A regedit export of every value type, brought over from another machine, imports
    // whole and exports as regedit wrote it.
    void versionFiveFileRoundTrip()
    {
        const QByteArray file = RegeditFiles::version5(RegeditFiles::Typed5);
        const Run import = pelvane({QStringLiteral("--reg-import"), writeFile("typed.reg", file)});
        QVERIFY2(import.exitCode == 0, import.err.constData());
        const Run unicode =
            pelvane({QStringLiteral("--reg-export"), QStringLiteral("--unicode"),
                     RegeditFiles::TypedKey});
        QCOMPARE(unicode.exitCode, 0);
        QCOMPARE(unicode.out, file);
        const Run ansi = pelvane({QStringLiteral("--reg-export"), RegeditFiles::TypedKey});
        QCOMPARE(ansi.out, QByteArray(RegeditFiles::Typed4));
    }

    void commandErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("import without file") << QStringList{"--reg-import"} << "usage";
        QTest::newRow("missing file")
            << QStringList{"--reg-import", "/nonexistent/x.reg"} << "x.reg";
        QTest::newRow("missing key")
            << QStringList{"--reg-export", "HKCU\\Software\\Nope"} << "not found";
        QTest::newRow("unknown root") << QStringList{"--reg-export", "HKEY_NOWHERE"} << "root";
        QTest::newRow("two keys") << QStringList{"--reg-export", "HKCU", "HKLM"} << "usage";
        QTest::newRow("option after the key")
            << QStringList{"--reg-export", "HKCU", "--unicode"} << "usage";
    }

    void commandErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run run = pelvane(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(QString::fromLocal8Bit(run.err).contains(message), run.err.constData());
    }

    void damagedHiveIsReportedAndSetAside()
    {
        QTemporaryDir home;
        TestFiles::writeFile(home.filePath(QStringLiteral("registry.db")),
                             QByteArray(4096, '\x5a'));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PELVANE_HOME"), home.path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(PELVANE_BINARY),
                      {QStringLiteral("--reg-export"), QStringLiteral("HKCU")});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(process.readAllStandardOutput(),
                 QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER]\n\n"));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(err.contains(home.filePath(QStringLiteral("registry.db.damaged-"))),
                 qPrintable(err));
        QCOMPARE(QDir(home.path()).entryList({QStringLiteral("registry.db.damaged-*")}).size(), 1);
    }
};

PELVANE_TEST_GUILESS_MAIN(TestRegCommand)
#include "tst_regcommand.moc"
