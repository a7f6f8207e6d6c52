#pragma once

#include <QHash>
#include <QIcon>
#include <QSet>
#include <QString>

#include <atomic>

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

    QString folder() const { return m_folder; }
    // The folder keeps the pictures of this many sites.
    static constexpr int KeepPictures = 2000;
    // Trims `folder` to the `keep` pictures written last (a site's picture is written again
    // at its first visit in every run): those of the sites not visited for longest go, and so
    // do pieces a crash left half written. Files only, so it may run on a worker thread
    // while pictures are stored. Returns how many files went.
    static int prune(const QString& folder, int keep, const std::atomic_bool& cancelled);

private:
    QString m_folder;
    mutable QHash<QString, QIcon> m_known; // file name -> picture (null: none on disk)
    QSet<QString> m_seen;                  // file names stored (or dated afresh) this run
};
