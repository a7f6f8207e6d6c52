#include "browser/DocumentFiles.h"

#include <QFileInfo>
#include <QSaveFile>

namespace DocumentFiles {

namespace {

// NAME_MAX is 255 bytes on the usual file systems; keep room for an extension and for the
// numbering a file manager may add.
constexpr qsizetype MaxNameBytes = 200;

bool isInvisibleOrControl(uint c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

using CodePoints = QList<uint>;

QString fromCodePoints(const CodePoints& points)
{
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()), points.size());
}

// Cuts whole characters off the end until the name fits.
QString fitLength(QString name)
{
    CodePoints points = name.toUcs4();
    while (!points.isEmpty() && fromCodePoints(points).toUtf8().size() > MaxNameBytes)
        points.removeLast();
    return fromCodePoints(points);
}

QString withoutLeading(QString name, const QString& characters)
{
    qsizetype i = 0;
    while (i < name.size() && characters.contains(name.at(i)))
        ++i;
    return name.mid(i);
}

QString finish(QString name)
{
    name = fitLength(name).trimmed();
    return name.isEmpty() ? QString::fromLatin1(FallbackName) : name;
}

} // namespace

QString safeFileName(const QString& title)
{
    CodePoints points = title.toUcs4();
    for (uint& c : points) {
        if (c == U'/' || c == U'\\')
            c = U'_';
        else if (isInvisibleOrControl(c))
            c = U' ';
    }
    return finish(withoutLeading(fromCodePoints(points).trimmed(), QStringLiteral(".")));
}

QString mailFileBaseName(const QString& title)
{
    CodePoints points = title.toUcs4();
    for (uint& c : points) {
        const bool kept = (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') ||
                          (c >= U'0' && c <= U'9') || c == U' ' || c == U'.';
        if (!kept)
            c = U' ';
    }
    return finish(withoutLeading(fromCodePoints(points), QStringLiteral(". ")));
}

QString mailBaseAddress(const QString& url)
{
    // Where the path may start: after "scheme://host"; for an address without "//" after
    // its scheme, after the first seven characters.
    const qsizetype authority = url.indexOf(QLatin1String("://"));
    const qsizetype from = authority >= 0 ? authority + 3 : 7;
    const qsizetype slash = url.lastIndexOf(QLatin1Char('/'));
    if (slash >= from)
        return url.left(slash + 1);
    return url + QLatin1Char('/');
}

QString mailBaseTag(const QString& baseAddress)
{
    QString address = baseAddress;
    address.replace(QLatin1Char('"'), QLatin1String("%22"));
    address.replace(QLatin1Char('<'), QLatin1String("%3C"));
    address.replace(QLatin1Char('>'), QLatin1String("%3E"));
    return QLatin1String("<BASE HREF=\"") + address + QLatin1String("\">");
}

QString saveAsFileName(const QString& chosen, SaveFormat format)
{
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    if (format == SaveFormat::SingleFile) {
        if (suffix == QLatin1String("mht") || suffix == QLatin1String("mhtml"))
            return chosen;
        return chosen + QLatin1String(".mht");
    }
    if (suffix.isEmpty() && !chosen.endsWith(QLatin1Char('.')))
        return chosen + QLatin1String(".htm");
    return chosen;
}

QByteArray htmlFileBytes(const QString& html)
{
    return QByteArray("\xEF\xBB\xBF") + html.toUtf8();
}

QString writeHtmlFile(const QString& path, const QString& html)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray data = htmlFileBytes(html);
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return file.errorString();
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace DocumentFiles
