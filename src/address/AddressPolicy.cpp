#include "address/AddressPolicy.h"

namespace AddressPolicy {

QString schemeOf(const QString& address)
{
    QString scheme;
    bool started = false;
    for (const QChar c : address) {
        const char16_t u = c.unicode();
        // A URL parser drops leading C0 controls and blanks, and tabs and line breaks
        // anywhere: "java\tscript:" is a script address all the same.
        if (u == '\t' || u == '\n' || u == '\r')
            continue;
        if (!started && u <= 0x20)
            continue;
        started = true;
        if (u == ':')
            return scheme;
        const bool letter = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
        const bool other = (u >= '0' && u <= '9') || u == '+' || u == '-' || u == '.';
        if (!letter && !(other && !scheme.isEmpty()))
            return {};
        scheme += c.toLower();
    }
    return {};
}

Decision decide(Source source, const QString& address)
{
    const QString scheme = schemeOf(address);
    if (source == Source::LaunchImage) {
        const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                         scheme == QLatin1String("ftp");
        return web ? Decision::Open : Decision::Refuse;
    }
    if (source == Source::Typed)
        return Decision::Open;
    if (scheme == QLatin1String("javascript") || scheme == QLatin1String("vbscript"))
        return Decision::Refuse;
    if (scheme == QLatin1String("data"))
        return Decision::OpenInNewTab;
    return Decision::Open;
}

} // namespace AddressPolicy
