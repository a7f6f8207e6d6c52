#pragma once

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QtGlobal>

#include <fcntl.h>
#include <sys/stat.h>

// Files a test writes and reads back, in the test's own PELVANE_HOME.
namespace TestFiles {

// A path below the test's home.
inline QString home(const QString& name)
{
    return QDir(qEnvironmentVariable("PELVANE_HOME")).filePath(name);
}

// Writes `bytes` to `path` (its folder made first) and answers the path; a test that cannot
// write its own file stops there.
inline QString writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The whole file, or "<missing>" when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Gives a file or a folder the time it was last written.
inline bool setModified(const QString& path, const QDateTime& when)
{
    const qint64 ms = when.toMSecsSinceEpoch();
    const timespec times[2] = {{ms / 1000, (ms % 1000) * 1000000},
                               {ms / 1000, (ms % 1000) * 1000000}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

} // namespace TestFiles
