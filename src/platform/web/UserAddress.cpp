#include "platform/web/UserAddress.h"

#include <QStringList>

namespace {

// Schemes the engine or the desktop handles; anything else before a ":" is no scheme.
bool knownScheme(const QString& scheme)
{
    static const QStringList known = {
        QStringLiteral("http"),   QStringLiteral("https"),      QStringLiteral("ftp"),
        QStringLiteral("file"),   QStringLiteral("about"),      QStringLiteral("data"),
        QStringLiteral("blob"),   QStringLiteral("javascript"), QStringLiteral("view-source"),
        QStringLiteral("mailto"), QStringLiteral("news"),       QStringLiteral("ws"),
        QStringLiteral("wss"),    QStringLiteral("qrc"),        QStringLiteral("chrome"),
    };
    return known.contains(scheme, Qt::CaseInsensitive);
}

} // namespace

QUrl UserAddress::toUrl(const QString& text)
{
    const QString trimmed = text.trimmed();
    const QUrl parsed(trimmed, QUrl::TolerantMode);
    if (!parsed.scheme().isEmpty() && knownScheme(parsed.scheme()))
        return parsed;
    return QUrl::fromUserInput(trimmed);
}
