#include "platform/DesktopLaunch.h"

#include <QProcess>
#include <QStandardPaths>

namespace DesktopLaunch {

QString terminalProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"));
}

QStringList inTerminal(const QStringList& command, const QString& terminal)
{
    if (terminal.isEmpty() || command.isEmpty())
        return {};
    return QStringList{terminal, QStringLiteral("-e")} + command;
}

QString start(const DesktopApplication& app, QStringList command, const QString& terminal)
{
    if (command.isEmpty())
        return QStringLiteral("The desktop entry of %1 gives no command to run.").arg(app.name);
    if (command.join(QLatin1Char(' ')).size() > MaxCommandLength)
        return QStringLiteral("The command of %1 is too long to run.").arg(app.name);
    if (app.terminal) {
        command = inTerminal(command, terminal);
        if (command.isEmpty())
            return QStringLiteral("%1 needs a terminal, and none is installed.").arg(app.name);
    }
    if (!QProcess::startDetached(command.first(), command.mid(1), app.workingFolder))
        return QStringLiteral("%1 could not be started.").arg(app.name);
    return {};
}

} // namespace DesktopLaunch
