#include "mail/DocSend.h"

#include "mail/MailClients.h"
#include "mail/MailLauncher.h"
#include "mail/MailNews.h"
#include "mail/MailRules.h"

#include <QFileInfo>
#include <QTimer>

TDocSend::TDocSend(const MailClients& clients, MailLauncher& launcher, QString xdgEmail)
    : m_clients(clients)
    , m_launcher(launcher)
    , m_xdgEmail(std::move(xdgEmail))
{}

void TDocSend::Send(const QString& fullFileName, SendDone done)
{
    const auto refuse = [this, &done](const QString& problem) {
        QTimer::singleShot(0, &m_launcher, [done, problem] { done(false, problem); });
    };
    if (!QFileInfo(fullFileName).isFile())
        return refuse(QStringLiteral("The saved page %1 is missing.").arg(fullFileName));
    const auto program = m_clients.defaultProgram(MailKind::Mail);
    if (!program)
        return refuse(MailNews::NoMailProgram);
    const QStringList start = DesktopEntry::BuildAddressCommand(*program, QString());
    if (start.isEmpty())
        return refuse(
            QStringLiteral("The desktop entry of %1 gives no command to run.").arg(program->name));
    const QStringList command = MailRules::attachCommand(start, fullFileName, m_xdgEmail);
    if (command.isEmpty())
        return refuse(QStringLiteral("The page cannot be attached for %1: xdg-email (package "
                                     "xdg-utils) is not installed.")
                          .arg(program->name));
    const bool own = MailRules::attachStyleFor(start) != MailRules::AttachStyle::XdgEmail;
    m_launcher.run(program->name, command, own ? program->workingFolder : QString(),
                   std::move(done));
}
