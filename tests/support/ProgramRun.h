#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

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

} // namespace ProgramRun
