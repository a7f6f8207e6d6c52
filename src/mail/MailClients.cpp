#include "mail/MailClients.h"

#include "settings/DefaultBrowser.h"
#include "settings/MimeAppsList.h"

#include <QFile>
#include <QSet>

namespace {

// A mimeapps.list larger than this is not read: it cannot be one the desktop wrote.
constexpr qint64 MaxListSize = 1 << 20;

} // namespace

MailDesktop MailDesktop::current()
{
    return {DesktopEntry::ApplicationFolders(), DefaultBrowser::mimeAppsListsByPrecedence()};
}

MailClients::MailClients(MailDesktop desktop)
    : m_desktop(std::move(desktop))
{}

QStringList MailClients::schemeTypes(MailKind kind)
{
    if (kind == MailKind::Mail)
        return {QStringLiteral("x-scheme-handler/mailto")};
    return {QStringLiteral("x-scheme-handler/news"), QStringLiteral("x-scheme-handler/nntp")};
}

QList<DesktopApplication> MailClients::installed(MailKind kind) const
{
    QList<DesktopApplication> result;
    QSet<QString> seen;
    for (const QString& type : schemeTypes(kind)) {
        const QList<DesktopApplication> programs =
            DesktopEntry::ProgramsFor(type, m_desktop.applicationFolders);
        for (const DesktopApplication& program : programs) {
            if (!seen.contains(program.id)) {
                seen.insert(program.id);
                result << program;
            }
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const DesktopApplication& a, const DesktopApplication& b) {
                         return a.name.localeAwareCompare(b.name) < 0;
                     });
    return result;
}

std::optional<DesktopApplication> MailClients::defaultProgram(MailKind kind) const
{
    const QStringList folders = m_desktop.applicationFolders;
    return chooseDefault(
        readLists(), schemeTypes(kind),
        [&folders](const QString& id) { return DesktopEntry::FindDesktopEntry(id, folders); },
        installed(kind));
}

std::optional<DesktopApplication> MailClients::chooseDefault(
    const QList<QByteArray>& lists, const QStringList& types,
    const std::function<std::optional<DesktopApplication>(const QString&)>& entry,
    const QList<DesktopApplication>& installed)
{
    for (const QString& type : types) {
        for (const QByteArray& list : lists) {
            const QByteArrayList ids = MimeAppsList::defaultsFor(list, type.toUtf8());
            for (const QByteArray& id : ids) {
                if (auto program = entry(QString::fromUtf8(id)))
                    return program;
            }
        }
    }
    // Without a choice of the user's, a program whose entry gives no command to run is
    // passed over: it would only be refused.
    for (const DesktopApplication& program : installed) {
        if (!DesktopEntry::BuildAddressCommand(program, QString()).isEmpty())
            return program;
    }
    return std::nullopt;
}

QList<QByteArray> MailClients::readLists() const
{
    QList<QByteArray> lists;
    for (const QString& path : m_desktop.mimeAppsLists) {
        QFile file(path);
        // A list that cannot be read, or is far too large, is passed over like a missing one.
        if (file.size() > MaxListSize || !file.open(QIODevice::ReadOnly))
            continue;
        lists << file.read(MaxListSize);
    }
    return lists;
}
