#include "blocking/SubscriptionRules.h"

#include <QCryptographicHash>

namespace SubscriptionRules {

namespace {

bool isPlain(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
           c == QLatin1Char('_') || c == QLatin1Char('-');
}

QString readablePart(const QUrl& address)
{
    QString path = address.path(QUrl::FullyDecoded).toLower();
    if (path.endsWith(QLatin1String(".txt")))
        path.chop(4);
    const QString text = address.host().toLower() + QLatin1Char('-') + path;
    QString readable;
    readable.reserve(text.size());
    for (const QChar c : text) {
        const QChar kept = isPlain(c) ? c : QLatin1Char('-');
        // One dash stands for a run of anything else.
        if (kept == QLatin1Char('-') && readable.endsWith(QLatin1Char('-')))
            continue;
        readable.append(kept);
    }
    readable = readable.left(MaxReadableLength);
    // No hidden file, no ".." and no name that starts like an option.
    while (!readable.isEmpty() &&
           (readable.front() == QLatin1Char('.') || readable.front() == QLatin1Char('-')))
        readable.remove(0, 1);
    while (readable.endsWith(QLatin1Char('-')) || readable.endsWith(QLatin1Char('.')))
        readable.chop(1);
    return readable.isEmpty() ? QStringLiteral("list") : readable;
}

bool looksLikeHtml(const QByteArray& head)
{
    QByteArray start = head.left(1024).trimmed().toLower();
    if (start.startsWith("\xef\xbb\xbf"))
        start = start.mid(3).trimmed();
    if (start.startsWith("<!doctype html") || start.startsWith("<html") ||
        start.startsWith("<head") || start.startsWith("<body") || start.startsWith("<?xml"))
        return true;
    // A page behind a comment or a blank line still shows its head early on.
    return start.startsWith('<') &&
           (start.contains("<html") || start.contains("<head") || start.contains("<body"));
}

bool looksBinary(const QByteArray& head)
{
    if (head.contains('\0'))
        return true;
    qsizetype control = 0;
    for (const char c : head) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && c != '\n' && c != '\r' && c != '\t' && c != '\f')
            ++control;
    }
    // Text has none of these but by accident.
    return control * 100 > head.size();
}

} // namespace

QString fileNameFor(const QUrl& address)
{
    const QByteArray hash = QCryptographicHash::hash(address.toString(QUrl::FullyEncoded).toUtf8(),
                                                     QCryptographicHash::Sha256)
                                .toHex()
                                .left(16);
    return readablePart(address) + QLatin1Char('-') + QString::fromLatin1(hash) +
           QStringLiteral(".txt");
}

bool isDue(const QDateTime& lastDownload, const QDateTime& now, const QDateTime& lastFailure)
{
    const bool failedSince =
        lastFailure.isValid() && (!lastDownload.isValid() || lastFailure > lastDownload);
    if (failedSince)
        return now < lastFailure || lastFailure.secsTo(now) >= RetryAfterSecs;
    if (!lastDownload.isValid())
        return true;
    return now < lastDownload || lastDownload.secsTo(now) >= RefreshEverySecs;
}

QString contentProblem(const QByteArray& head, qint64 size)
{
    if (size > MaxListBytes)
        return QStringLiteral("The download is larger than %1 MiB, which no filter list is.")
            .arg(MaxListBytes / (1024 * 1024));
    if (size <= 0 || head.trimmed().isEmpty())
        return QStringLiteral("The download was empty.");
    if (looksBinary(head))
        return QStringLiteral("The download is not text, so it is not a filter list.");
    if (looksLikeHtml(head))
        return QStringLiteral("The address answered with a web page, not a filter list.");
    return {};
}

} // namespace SubscriptionRules
