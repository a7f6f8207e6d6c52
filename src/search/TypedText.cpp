#include "search/TypedText.h"

#include "platform/web/UserAddress.h"
#include "settings/DefaultPrograms.h"

#include <QFile>
#include <QRegularExpression>

namespace TypedText {

namespace {

// The "scheme" of "scheme:" as an address starts (a letter, then letters, digits, "+", "-"
// or "."), or nothing. A word such as "localhost:8080" is a host and a port, not a scheme:
// the port is all digits.
QString schemeOf(const QString& text)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(.*)$"),
                                           QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = scheme.match(text);
    if (!match.hasMatch())
        return {};
    static const QRegularExpression port(QStringLiteral("^\\d+(/.*)?$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    if (port.match(match.captured(1)).hasMatch())
        return {};
    return text.left(text.indexOf(QLatin1Char(':')));
}

} // namespace

bool engineOrDesktopOpens(const QString& scheme)
{
    if (UserAddress::engineScheme(scheme))
        return true;
    // As the desktop's opener, which the engine hands such an address, chooses its program.
    const QString type = QStringLiteral("x-scheme-handler/") + scheme.toLower();
    return DefaultPrograms::defaultFor({type}, DefaultPrograms::Places::current()).has_value();
}

Kind classify(const QString& text, const QSet<QString>& knownHosts, const SchemeTest& opens)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return Kind::Address;
    static const QRegularExpression blank(QStringLiteral("\\s"));
    // A scheme comes first: "javascript:" bookmarklets and "file:" paths may hold blanks.
    const bool hasBlank = trimmed.contains(blank);
    const QString scheme = schemeOf(trimmed);
    // "define:word" names no scheme anything opens: the engine would be given an address
    // that goes nowhere.
    if (!scheme.isEmpty() && !hasBlank)
        return opens(scheme) ? Kind::Address : Kind::Search;
    if (hasBlank) {
        // Only a scheme with an authority or a path is taken as an address with blanks in
        // it ("file:///my page.html"); "define: word" is a question.
        static const QRegularExpression withPath(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:/"));
        return withPath.match(trimmed).hasMatch() ? Kind::Address : Kind::Search;
    }
    // A path, or an address of IPv6 ("[::1]:8080").
    if (trimmed.startsWith(QLatin1Char('/')) || trimmed.startsWith(QLatin1Char('~')) ||
        trimmed.startsWith(QLatin1Char('[')))
        return Kind::Address;
    // The host part: up to the first "/", "?" or "#".
    static const QRegularExpression hostEnd(QStringLiteral("[/?#]"));
    const qsizetype end = trimmed.indexOf(hostEnd);
    const QString host = end < 0 ? trimmed : trimmed.left(end);
    static const QRegularExpression withPort(QStringLiteral("^[^:]+:\\d{1,5}$"));
    if (withPort.match(host).hasMatch())
        return Kind::Address;
    const QString name = host.toLower();
    if (name.isEmpty())
        return Kind::Search;
    if (name.contains(QLatin1Char('.')) && !name.startsWith(QLatin1Char('.')) &&
        !name.endsWith(QLatin1Char('.')))
        return Kind::Address;
    if (name == QLatin1String("localhost") || knownHosts.contains(name))
        return Kind::Address;
    // A host name followed by a path ("intranet/wiki") is meant as an address too.
    if (end >= 0 && trimmed.at(end) == QLatin1Char('/') && !name.contains(QLatin1Char('+')))
        return Kind::Address;
    return Kind::Search;
}

QSet<QString> hostNames(const QByteArray& hostsFile)
{
    QSet<QString> names;
    const QList<QByteArray> lines = hostsFile.split('\n');
    for (QByteArray line : lines) {
        const qsizetype comment = line.indexOf('#');
        if (comment >= 0)
            line.truncate(comment);
        const QList<QByteArray> fields = line.simplified().split(' ');
        for (qsizetype i = 1; i < fields.size(); ++i) {
            if (!fields.at(i).isEmpty())
                names.insert(QString::fromLatin1(fields.at(i)).toLower());
        }
    }
    return names;
}

QSet<QString> systemHostNames(const QString& path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return hostNames(file.read(limit));
}

} // namespace TypedText
