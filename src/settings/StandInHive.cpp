#include "settings/StandInHive.h"

#include "platform/RegistryHive.h"

#include <QDir>
#include <QTemporaryDir>

StandInHive::StandInHive(RegistryHive& user)
    : m_user(user)
{
    if (m_user.isOpen())
        return;
    // QTemporaryDir makes its folder private to the user (mode 0700).
    m_folder = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                               QStringLiteral("/pelvane-settings-XXXXXX"));
    if (m_folder->isValid())
        m_standIn =
            std::make_unique<RegistryHive>(m_folder->filePath(QStringLiteral("registry.db")));
}

StandInHive::~StandInHive() = default;

RegistryHive& StandInHive::hive() const
{
    return m_standIn ? *m_standIn : m_user;
}

bool StandInHive::isOpen() const
{
    return hive().isOpen();
}

QString StandInHive::message() const
{
    if (!standingIn())
        return {};
    const QString reason =
        m_user.errorText().isEmpty() ? QStringLiteral("the reason is unknown") : m_user.errorText();
    QString text = QStringLiteral("Your settings file cannot be opened: %1.\n\n%2\n\n")
                       .arg(reason, QDir::toNativeSeparators(m_user.path()));
    if (!isOpen())
        return text + QStringLiteral("Pelvane cannot run without settings and ends now.");
    return text + QStringLiteral("Pelvane starts with its default settings. The file is left as "
                                 "it is, and changes made in this session (options, open "
                                 "tabs, bars) are not kept.");
}
