#include "mail/MailLauncher.h"

#include "platform/DesktopLaunch.h"

#include <QPointer>
#include <QProcess>
#include <QTimer>

#include <memory>

MailLauncher::MailLauncher(QString terminal, QObject* parent)
    : QObject(parent)
    , m_terminal(std::move(terminal))
{}

QString MailLauncher::start(const DesktopApplication& app, QStringList command) const
{
    return DesktopLaunch::start(app, std::move(command), m_terminal);
}

void MailLauncher::run(const QString& name, const QStringList& command,
                       const QString& workingFolder, Done done)
{
    // The mail program stays open with the message and must outlive this window, and a
    // QProcess that is destroyed ends its program: the process has no parent and removes
    // itself when its program ends while we still run.
    auto* process = new QProcess;
    process->setProgram(command.value(0));
    process->setArguments(command.mid(1));
    process->setWorkingDirectory(workingFolder);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    // Told once, whichever comes first: the end, a failure to start, the grace period.
    auto pending = std::make_shared<Done>(std::move(done));
    const auto finish = [pending, self = QPointer<MailLauncher>(this)](bool accepted,
                                                                      const QString& problem) {
        if (self && *pending) {
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
    });
    process->start();
}
