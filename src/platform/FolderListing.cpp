#include "platform/FolderListing.h"

#include <QFile>

#include <dirent.h>

#include <memory>

QFileInfoList listFolder(const QString& folder, QDir::Filters filters, qsizetype limit)
{
    QFileInfoList found;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(QFile::encodeName(folder).constData()),
                                                  &::closedir);
    if (!dir)
        return found;
    const QDir base(folder);
    while (found.size() < limit) {
        const dirent* entry = ::readdir(dir.get());
        if (!entry)
            break;
        const QByteArray raw(entry->d_name);
        if (raw == "." || raw == "..")
            continue;
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw)
            continue;
        if (name.startsWith(QLatin1Char('.')) && !filters.testFlag(QDir::Hidden))
            continue;
        QFileInfo info(base.filePath(name));
        // As QDir decides: a link counts as what it points to; a broken link, a socket or a
        // device is a system entry.
        const QDir::Filter kind = info.isDir()    ? QDir::Dirs
                                  : info.isFile() ? QDir::Files
                                                  : QDir::System;
        if (!filters.testFlag(kind))
            continue;
        found.append(std::move(info));
    }
    return found;
}
