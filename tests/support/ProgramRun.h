#pragma once

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>

#include <csignal>
#include <utility>

// What the end-to-end tests share: the built program's environment in a home of its own,
// and settings deployed into that home as a user or an administrator would.
namespace ProgramRun {

inline QProcessEnvironment environment(const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELVANE_HOME"), home);
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}

// Deploys settings into the home with --reg-import; `values` are REGEDIT4 lines of the
// program's settings key.
inline bool deploySettings(const QString& home, const QByteArray& values)
{
    const QString reg = QDir(home).filePath(QStringLiteral("deploy.reg"));
    QFile file(reg);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brenmoor\\Pelvane\\CurrentVersion]\r\n" +
        values);
    file.close();
    QProcess import;
    import.setProcessEnvironment(environment(home));
    import.start(QStringLiteral(PELVANE_BINARY), {QStringLiteral("--reg-import"), reg});
    return import.waitForFinished(10000) && import.exitCode() == 0;
}

// Every running copy's tabs, as `pelvane --list-tabs` prints them for a script.
inline QList<QJsonObject> listTabs(const QProcessEnvironment& env)
{
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral(PELVANE_BINARY), {QStringLiteral("--list-tabs")});
    tool.waitForFinished(10000);
    QList<QJsonObject> tabs;
    const QList<QByteArray> lines = tool.readAllStandardOutput().split('\n');
    for (const QByteArray& line : lines) {
        if (!line.trimmed().isEmpty())
            tabs << QJsonDocument::fromJson(line).object();
    }
    return tabs;
}

// One run of the built program; killed at the end of the test if it still runs, so that a
// failed check never leaves a copy behind holding the home's lock.
class Copy
{
public:
    explicit Copy(QProcessEnvironment env)
        : m_env(std::move(env))
    {
        m_process.setProcessEnvironment(m_env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    Copy(QProcessEnvironment env, const QStringList& arguments)
        : Copy(std::move(env))
    {
        start(arguments);
    }
    ~Copy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    Q_DISABLE_COPY_MOVE(Copy)

    void start(const QStringList& arguments)
    {
        m_process.start(QStringLiteral(PELVANE_BINARY), arguments);
    }
    QProcess& process() { return m_process; }
    QList<QJsonObject> listTabs() const { return ProgramRun::listTabs(m_env); }

    // Waits for the copy to end with the test's event loop running: the test's local server
    // answers from that loop, so a blocking wait would leave the copy's pages unanswered
    // until it gave up on them.
    bool finishes(int timeoutMs)
    {
        if (m_process.state() == QProcess::NotRunning)
            return true;
        QSignalSpy finished(&m_process, &QProcess::finished);
        return finished.wait(timeoutMs) || m_process.state() == QProcess::NotRunning;
    }
    // Ends the copy as a logout does, through its ordinary exit (the one closing its window
    // takes, which writes what it keeps).
    bool terminate()
    {
        ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
        return finishes(20000) && m_process.exitCode() == 0;
    }

private:
    const QProcessEnvironment m_env;
    QProcess m_process;
};

} // namespace ProgramRun
