// What a user who starts the program from a terminal sees there: the engine's start-up
// report and the pages' console messages only when asked for.
#include "support/LocalHttpServer.h"
#include "support/TestHome.h"

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace {

// Runs the program once to a picture of a page that writes to its console, and returns
// what it printed on standard error.
QByteArray terminalOutput(const QString& home, const QString& address, bool debug)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELVANE_HOME"), home);
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR")); // a session without a login manager
    if (debug)
        env.insert(QStringLiteral("PELVANE_DEBUG"), QStringLiteral("1"));
    else
        env.remove(QStringLiteral("PELVANE_DEBUG"));
    QProcess program;
    program.setProcessEnvironment(env);
    // The page comes from this process's server: wait in an event loop, so it answers.
    QEventLoop loop;
    QObject::connect(&program, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    program.start(
        QStringLiteral(PELVANE_BINARY),
        {QStringLiteral("--screenshot"), QDir(home).filePath(QStringLiteral("shot.png")), address});
    loop.exec();
    if (program.state() != QProcess::NotRunning || program.exitCode() != 0)
        return "the program did not finish";
    return program.readAllStandardError();
}

} // namespace

class TestTerminal final : public QObject
{
    Q_OBJECT

private slots:
    void quietUnlessAsked()
    {
        LocalHttpServer server;
        QVERIFY(server.listen());
        server.serve("/chatty", "<html><head><title>chatty</title></head><body><script>"
                                "console.warn('page console message');</script></body></html>");
        const QString address = server.url(QStringLiteral("/chatty")).toString();
        TestHome home;

        const QByteArray quiet = terminalOutput(home.path(), address, false);
        QVERIFY2(!quiet.contains("finish"), quiet.constData());
        for (const char* chatter :
             {"qt.webenginecontext", "GL Type", "XDG_RUNTIME_DIR", "page console message"})
            QVERIFY2(!quiet.contains(chatter), quiet.constData());

        // Asked for, the same run reports the engine's set-up and the page's console.
        const QByteArray verbose = terminalOutput(home.path(), address, true);
        QVERIFY2(verbose.contains("qt.webenginecontext"), verbose.constData());
        QVERIFY2(verbose.contains("page console message"), verbose.constData());
    }
};

PELVANE_TEST_GUILESS_MAIN(TestTerminal)
#include "tst_terminal.moc"
