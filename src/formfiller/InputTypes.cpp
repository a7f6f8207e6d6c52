#include "formfiller/InputTypes.h"

#include <QRegularExpression>
#include <QUrl>

namespace InputTypes {

namespace {

bool matches(const QRegularExpression& pattern, QStringView value)
{
    return pattern.match(value.toString()).hasMatch();
}

} // namespace

bool isFilled(QStringView type)
{
    for (const char* filled : {"text", "search", "email", "tel", "url", "number"}) {
        if (type == QLatin1StringView(filled))
            return true;
    }
    return false;
}

bool takes(QStringView type, QStringView value)
{
    if (type == Text || type == u"search")
        return true;
    if (type == u"email") {
        // The form of an address that an e-mail field accepts.
        static const QRegularExpression address(QStringLiteral(
            "^[A-Za-z0-9.!#$%&'*+/=?^_`{|}~-]+@[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?"
            "(?:\\.[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?)*$"));
        return matches(address, value);
    }
    if (type == u"tel") {
        static const QRegularExpression number(
            QStringLiteral("^\\+?[0-9 ().\\-/]*[0-9][0-9 ().\\-/]*$"));
        return matches(number, value);
    }
    if (type == u"url") {
        const QUrl url(value.toString(), QUrl::StrictMode);
        const QString scheme = url.scheme();
        return url.isValid() && !url.host().isEmpty() &&
               (scheme == u"http" || scheme == u"https" || scheme == u"ftp");
    }
    if (type == u"number") {
        static const QRegularExpression number(
            QStringLiteral("^-?(?:[0-9]+(?:\\.[0-9]+)?|\\.[0-9]+)(?:[eE][-+]?[0-9]+)?$"));
        return matches(number, value);
    }
    return false;
}

} // namespace InputTypes
