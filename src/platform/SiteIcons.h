#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

class QUrl;

// The pictures sites give themselves, kept by host name so that a menu of addresses (the
// Favorites) can show them without loading the pages: one small PNG per host in a folder
// of the web profile, and those already read in memory. Without a folder (a profile that
// keeps nothing on disk) they are kept in memory only.
class SiteIcons final
{
    Q_DISABLE_COPY_MOVE(SiteIcons)

public:
    explicit SiteIcons(QString folder);

    // Keeps the picture of the page's host (the last one seen wins).
    void store(const QUrl& page, const QIcon& icon);
    // The picture of the address's host; a null icon when none was kept.
    QIcon iconFor(const QString& address) const;

    // The file name a host's picture is kept under; empty for an address without a host.
    static QString fileNameFor(const QString& address);
    // No site's picture needs more.
    static constexpr qint64 MaxFileBytes = 64 * 1024;

private:
    QString m_folder;
    mutable QHash<QString, QIcon> m_known; // file name -> picture (null: none on disk)
};
