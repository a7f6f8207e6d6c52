#include "mail/MailLauncher.h"

#include "mail/MailRules.h"

#include <QProcess>
#include <QTimer>

#include <memory>

MailLauncher::MailLauncher(QString terminal, QObject* parent)
    : QObject(parent)
    , m_terminal(std::move(terminal))
{}

QString MailLauncher::start(const DesktopApplication& app, QStringList command) const
{
    if (command.isEmpty())
        return QStringLiteral("The desktop entry of %1 gives no command to run.").arg(app.name);
    if (command.join(QLatin1Char(' ')).size() > MailRules::MaxCommandLength)
        return QStringLiteral("The command of %1 is too long to run.").arg(app.name);
    if (app.terminal) {
        command = MailRules::inTerminal(command, m_terminal);
        if (command.isEmpty())
            return QStringLiteral("%1 needs a terminal, and none is installed.").arg(app.name);
    }
    if (!QProcess::startDetached(command.first(), command.mid(1), app.workingFolder))
        return QStringLiteral("%1 could not be started.").arg(app.name);
    return {};
}

void MailLauncher::run(const QString& name, const QStringList& command,
                       const QString& workingFolder, Done done)
{
    auto* process = new QProcess(this);
    process->setProgram(command.value(0));
    process->setArguments(command.mid(1));
    process->setWorkingDirectory(workingFolder);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    // Told once, whichever comes first: the end, a failure to start, the grace period.
    auto pending = std::make_shared<Done>(std::move(done));
    const auto finish = [pending](bool accepted, const QString& problem) {
        if (*pending) {
            const Done call = std::exchange(*pending, Done());
            call(accepted, problem);
        }
    };
    connect(process, &QProcess::finished, process,
            [process, finish, name](int code, QProcess::ExitStatus status) {
                const bool ok = status == QProcess::NormalExit && code == 0;
                finish(ok, ok ? QString()
                              : QStringLiteral("%1 did not take the page (exit code %2).")
                                    .arg(name)
                                    .arg(code));
                process->deleteLater();
            });
    connect(process, &QProcess::errorOccurred, process,
            [process, finish, name](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart)
                    return;
                finish(false, QStringLiteral("%1 could not be started.").arg(name));
                process->deleteLater();
            });
    QTimer::singleShot(m_graceMs, process, [process, finish] {
        if (process->state() == QProcess::NotRunning)
            return;
        finish(true, {});
        // The mail program stays open with the message: it must outlive this window, and
        // a QProcess that is destroyed ends its program. So the process is let go and
        // removes itself only when its program ends while we still run.
        process->setParent(nullptr);
    });
    process->start();
}
