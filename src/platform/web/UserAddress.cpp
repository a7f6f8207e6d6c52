#include "platform/web/UserAddress.h"

#include <QStringList>

bool UserAddress::engineScheme(const QString& scheme)
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

QUrl UserAddress::toUrl(const QString& text)
{
    const QString trimmed = text.trimmed();
    const QUrl parsed(trimmed, QUrl::TolerantMode);
    // Anything else before a ":" is no scheme.
    if (!parsed.scheme().isEmpty() && engineScheme(parsed.scheme()))
        return parsed;
    return QUrl::fromUserInput(trimmed);
}
