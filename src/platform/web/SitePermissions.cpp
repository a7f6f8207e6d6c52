#include "platform/web/SitePermissions.h"

std::optional<bool> SitePermissions::remembered(const QUrl& origin, SiteFeature feature) const
{
    const auto it = m_answers.constFind(key(origin, feature));
    if (it == m_answers.cend())
        return std::nullopt;
    return *it;
}

void SitePermissions::remember(const QUrl& origin, SiteFeature feature, bool allowed)
{
    m_answers.insert(key(origin, feature), allowed);
}

QString SitePermissions::originKey(const QUrl& origin)
{
    return origin
        .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment |
                  QUrl::RemoveUserInfo | QUrl::StripTrailingSlash)
        .toString(QUrl::FullyEncoded)
        .toLower();
}

QString SitePermissions::key(const QUrl& origin, SiteFeature feature)
{
    return originKey(origin) + QLatin1Char(' ') + QString::number(int(feature));
}
