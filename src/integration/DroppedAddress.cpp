#include "integration/DroppedAddress.h"

#include "platform/ProfileFile.h"

#include <QFileInfo>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>

namespace DroppedAddress {

namespace {

const QString MozUrl = QStringLiteral("text/x-moz-url");

} // namespace

QString FromText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.toUpper().endsWith(QLatin1String(".URL")) && QFileInfo(trimmed).isFile())
        return ProfileFile::load(trimmed).value(QStringLiteral("InternetShortcut"),
                                                QStringLiteral("URL"));
    return trimmed;
}

bool CanRead(const QMimeData* data)
{
    return data &&
           (data->hasUrls() || data->hasText() || data->hasHtml() || data->hasFormat(MozUrl));
}

QString FromMimeData(const QMimeData* data)
{
    if (!data)
        return {};
    if (data->hasUrls() && !data->urls().isEmpty()) {
        const QUrl url = data->urls().constFirst();
        return url.isLocalFile() ? FromText(url.toLocalFile()) : url.toString();
    }
    if (data->hasFormat(MozUrl)) {
        // Address and title, a line each, in UTF-16.
        const QByteArray bytes = data->data(MozUrl);
        const QString text = QString::fromUtf16(
            reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
        const QString first = text.section(QLatin1Char('\n'), 0, 0).trimmed();
        if (!first.isEmpty())
            return first;
    }
    if (data->hasText())
        return FromText(data->text());
    if (data->hasHtml()) {
        static const QRegularExpression href(QStringLiteral("href\\s*=\\s*[\"']([^\"']+)[\"']"),
                                             QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch match = href.match(data->html());
        if (match.hasMatch())
            return match.captured(1).trimmed();
    }
    return {};
}

} // namespace DroppedAddress
