#pragma once

#include "settings/DefaultPrograms.h"

#include <optional>

// The kinds of program the Mail menu starts.
enum class MailKind
{
    Mail,
    News,
};

// The desktop's mail and news programs: those whose desktop entries handle "mailto:"
// (mail) or "news:" / "nntp:" (news), and the default one of each kind as the desktop
// chooses it (DefaultPrograms).
class MailClients final
{
public:
    explicit MailClients(DefaultPrograms::Places places)
        : m_places(std::move(places))
    {}

    // The address types a program of that kind handles, the first deciding first.
    static QStringList schemeTypes(MailKind kind)
    {
        if (kind == MailKind::Mail)
            return {QStringLiteral("x-scheme-handler/mailto")};
        return {QStringLiteral("x-scheme-handler/news"), QStringLiteral("x-scheme-handler/nntp")};
    }

    // Nothing when no program of the kind is installed.
    std::optional<DesktopApplication> defaultProgram(MailKind kind) const
    {
        return DefaultPrograms::defaultFor(schemeTypes(kind), m_places);
    }
    // Every installed program of the kind, each once, sorted by name.
    QList<DesktopApplication> installed(MailKind kind) const
    {
        return DefaultPrograms::installedFor(schemeTypes(kind), m_places);
    }

private:
    DefaultPrograms::Places m_places;
};
