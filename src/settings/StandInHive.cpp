#include "settings/StandInHive.h"

#include "platform/RegistryHive.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

// Copies the keys below `from` in `source` and their values to `to` in `target`.
void copyKeys(const RegistryHive& source, qint64 from, RegistryHive& target, qint64 to)
{
    for (const RegistryHive::Value& value : source.values(from))
        target.setValue(to, value.name, value.type, value.data);
    for (const QString& name : source.childKeyNames(from)) {
        const qint64 child = source.childKey(from, name);
        const qint64 made = target.createChildKey(to, name);
        if (child && made)
            copyKeys(source, child, target, made);
    }
}

} // namespace

StandInHive::StandInHive(RegistryHive& user, Use use, const QString& folder)
    : m_user(user)
    , m_use(use)
{
    if (m_user.isOpen() && use == Use::UsersOwn)
        return;
    // QTemporaryDir makes its folder private to the user (mode 0700).
    const QString parent = folder.isEmpty() ? QDir::tempPath() : folder;
    m_folder =
        std::make_unique<QTemporaryDir>(parent + QStringLiteral("/pelvane-settings-XXXXXX"));
    if (!m_folder->isValid())
        return;
    m_standIn = std::make_unique<RegistryHive>(m_folder->filePath(QStringLiteral("registry.db")));
    if (use != Use::PrivateCopy || !m_user.isOpen() || !m_standIn->isOpen())
        return;
    HiveTransaction copying(*m_standIn);
    for (const qint64 root :
         {RegistryHive::ClassesRoot, RegistryHive::CurrentUser, RegistryHive::LocalMachine})
        copyKeys(m_user, root, *m_standIn, root);
    copying.commit();
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
    if (!standingIn() || (m_use == Use::PrivateCopy && m_user.isOpen()))
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
