#pragma once

#include "platform/DesktopEntry.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <optional>

// The kinds of program the Mail menu starts.
enum class MailKind
{
    Mail,
    News,
};

// Where the desktop keeps its programs and its choices of default: the applications
// folders (strongest first) and every mimeapps.list it reads (strongest first).
struct MailDesktop
{
    QStringList applicationFolders;
    QStringList mimeAppsLists;

    // The desktop of this session, from the XDG environment.
    static MailDesktop current();
};

// The desktop's mail and news programs: those whose desktop entries handle "mailto:"
// (mail) or "news:" / "nntp:" (news) addresses, and the default one of each kind.
class MailClients final
{
public:
    explicit MailClients(MailDesktop desktop);

    // The address types a program of that kind handles, the first deciding first.
    static QStringList schemeTypes(MailKind kind);

    // The default program: the first installed entry that a mimeapps.list names as default
    // for one of the kind's types (the files and types in order of strength); failing
    // that, the first installed program of the kind by name that has a command, as the
    // desktop's own opener would take it. Nothing when there is none.
    std::optional<DesktopApplication> defaultProgram(MailKind kind) const;
    // Every installed program of the kind, each once, sorted by name.
    QList<DesktopApplication> installed(MailKind kind) const;

    // The default chosen from the files' texts (strongest first) and what is installed:
    // the rule above, without reading anything.
    static std::optional<DesktopApplication>
    chooseDefault(const QList<QByteArray>& lists, const QStringList& types,
                  const std::function<std::optional<DesktopApplication>(const QString&)>& entry,
                  const QList<DesktopApplication>& installed);

private:
    QList<QByteArray> readLists() const;

    MailDesktop m_desktop;
};
