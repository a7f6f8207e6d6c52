#include "support/KeyringSession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <csignal>
#include <sys/prctl.h>

namespace {
// A daemon of a test that was killed would otherwise live on.
void endWithParent()
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}
} // namespace

KeyringSession::~KeyringSession()
{
    for (QProcess* process : {&m_keyring, &m_bus}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
}

bool KeyringSession::start()
{
    if (!m_home.isValid()) {
        m_error = QStringLiteral("no temporary home");
        return false;
    }
    const QString busDaemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    const QString keyringDaemon =
        QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon"));
    if (busDaemon.isEmpty() || keyringDaemon.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon or gnome-keyring-daemon is not installed");
        return false;
    }
    const QString runtime = m_home.filePath(QStringLiteral("run"));
    const QString data = m_home.filePath(QStringLiteral("data"));
    QDir().mkpath(runtime);
    QDir().mkpath(data);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", m_home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", data.toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());

    m_bus.setChildProcessModifier(endWithParent);
    m_keyring.setChildProcessModifier(endWithParent);
    m_bus.start(busDaemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                            QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    if (!m_bus.waitForStarted(5000)) {
        m_error = QStringLiteral("dbus-daemon did not start: ") + m_bus.errorString();
        return false;
    }
    const QDeadlineTimer busDeadline(10000);
    while (!m_bus.canReadLine() && !busDeadline.hasExpired())
        m_bus.waitForReadyRead(200);
    m_address = QString::fromLocal8Bit(m_bus.readLine()).trimmed();
    if (m_address.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon gave no address");
        return false;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toLocal8Bit());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    m_keyring.setProcessEnvironment(environment);
    m_keyring.start(keyringDaemon, {QStringLiteral("--foreground"), QStringLiteral("--unlock"),
                                    QStringLiteral("--components=secrets")});
    if (!m_keyring.waitForStarted(5000)) {
        m_error = QStringLiteral("gnome-keyring-daemon did not start: ") + m_keyring.errorString();
        return false;
    }
    // The daemon reads the login keyring's password from its input, up to its end.
    m_keyring.write(Password);
    m_keyring.waitForBytesWritten(5000);
    m_keyring.closeWriteChannel();
    const QDeadlineTimer deadline(15000);
    while (!hasOwner(QStringLiteral("org.freedesktop.secrets"))) {
        if (deadline.hasExpired() || m_keyring.state() == QProcess::NotRunning) {
            m_error = QStringLiteral("the keyring did not come on the bus: ") +
                      QString::fromLocal8Bit(m_keyring.readAllStandardError());
            return false;
        }
        m_keyring.waitForFinished(100);
    }
    return true;
}

bool KeyringSession::hasOwner(const QString& name)
{
    QProcess ask;
    ask.start(QStringLiteral("dbus-send"),
              {QStringLiteral("--session"), QStringLiteral("--print-reply"),
               QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
               QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
               QStringLiteral("string:") + name});
    if (!ask.waitForFinished(5000))
        return false;
    return ask.readAllStandardOutput().contains("boolean true");
}

void KeyringSession::useNoBus(const QString& folder)
{
    qputenv("DBUS_SESSION_BUS_ADDRESS",
            (QStringLiteral("unix:path=") + folder + QStringLiteral("/no-bus")).toLocal8Bit());
    qunsetenv("DISPLAY"); // no bus started on the fly either
}
