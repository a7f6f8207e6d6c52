#include "platform/SiteIcons.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// A piece older than this is no picture being written now but one a crash left.
constexpr qint64 PartLifeSeconds = 10 * 60;

} // namespace

SiteIcons::SiteIcons(QString folder)
    : m_folder(std::move(folder))
{}

QString SiteIcons::fileNameFor(const QString& address)
{
    const QString host = QUrl(address).host().toLower();
    if (host.isEmpty())
        return QString();
    // A host name holds letters, digits, "-", "." and, for IPv6, ":": the last would not
    // do in a file name on every disk.
    QString name = host;
    name.replace(QLatin1Char(':'), QLatin1Char('_'));
    if (name.startsWith(QLatin1Char('.')) || name.contains(QLatin1Char('/')))
        return QString();
    return name + QStringLiteral(".png");
}

void SiteIcons::store(const QUrl& page, const QIcon& icon)
{
    const QString name = fileNameFor(page.toString());
    if (name.isEmpty() || icon.isNull())
        return;
    const QPixmap picture = icon.pixmap(16, 16);
    // The engine reports the icon at every load of a page: a known picture is not written
    // again. But one only read from the disk (for a menu) is dated afresh at the site's first
    // visit in a run, as a written one is, or the trim would take it as a site not seen.
    const auto known = m_known.constFind(name);
    if (known != m_known.cend() && known->pixmap(16, 16).toImage() == picture.toImage()) {
        if (!m_folder.isEmpty() && !m_seen.contains(name)) {
            m_seen.insert(name);
            QFile file(QDir(m_folder).filePath(name));
            if (file.open(QIODevice::ReadWrite))
                file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
        }
        return;
    }
    m_known.insert(name, QIcon(picture));
    m_seen.insert(name);
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return;
    // Written beside and renamed over, but not synced to the disk as a saved file would
    // be: the wait for the disk came at the first visit of every site, and a picture a
    // crash leaves half written is only read as none.
    const QString path = QDir(m_folder).filePath(name);
    const QString part = path + QStringLiteral(".part");
    QFile file(part);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                   picture.save(&file, "PNG") && file.flush();
    file.close();
    written = written && ::rename(QFile::encodeName(part).constData(),
                                  QFile::encodeName(path).constData()) == 0;
    if (!written)
        QFile::remove(part);
}

QIcon SiteIcons::iconFor(const QString& address) const
{
    const QString name = fileNameFor(address);
    if (name.isEmpty())
        return QIcon();
    if (const auto found = m_known.constFind(name); found != m_known.constEnd())
        return *found;
    QIcon icon;
    const QString path = m_folder.isEmpty() ? QString() : QDir(m_folder).filePath(name);
    const QFileInfo info(path);
    if (!path.isEmpty() && info.isFile() && info.size() <= MaxFileBytes) {
        const QPixmap picture(path, "PNG");
        if (!picture.isNull())
            icon = QIcon(picture);
    }
    m_known.insert(name, icon);
    return icon;
}

int SiteIcons::prune(const QString& folder, int keep, const std::atomic_bool& cancelled)
{
    if (folder.isEmpty())
        return 0;
    struct Picture
    {
        QString path;
        QDateTime written;
    };
    std::vector<Picture> pictures;
    int removed = 0;
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-PartLifeSeconds);
    QDirIterator it(folder, {QStringLiteral("*.png"), QStringLiteral("*.png.part")},
                    QDir::Files);
    while (it.hasNext() && !cancelled) {
        const QFileInfo info = it.nextFileInfo();
        if (info.fileName().endsWith(QLatin1String(".part"))) {
            if (info.lastModified() < stale && QFile::remove(info.filePath()))
                ++removed;
            continue;
        }
        pictures.push_back({info.filePath(), info.lastModified()});
    }
    if (cancelled || pictures.size() <= size_t(std::max(keep, 0)))
        return removed;
    const auto kept = pictures.begin() + std::max(keep, 0);
    std::nth_element(pictures.begin(), kept, pictures.end(),
                     [](const Picture& a, const Picture& b) { return a.written > b.written; });
    for (auto gone = kept; gone != pictures.end() && !cancelled; ++gone) {
        if (QFile::remove(gone->path))
            ++removed;
    }
    return removed;
}
