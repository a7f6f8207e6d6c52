#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// The proportional memory (PSS) of a process and every process below it, from /proc: the
// engine's renderer and helper processes are children of the browser's.
namespace ProcessMemory {

inline QList<qint64> children(qint64 pid)
{
    QList<qint64> result;
    QFile file(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
    if (file.open(QIODevice::ReadOnly)) {
        const auto parts = file.readAll().split(' ');
        for (const QByteArray& part : parts) {
            if (!part.trimmed().isEmpty())
                result << part.trimmed().toLongLong();
        }
    }
    return result;
}

inline double pssMiB(qint64 pid)
{
    double kib = 0;
    QFile file(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (file.open(QIODevice::ReadOnly)) {
        const auto lines = file.readAll().split('\n');
        for (const QByteArray& line : lines) {
            if (line.startsWith("Pss:"))
                kib += line.mid(4).trimmed().split(' ').first().toDouble();
        }
    }
    for (qint64 child : children(pid))
        kib += pssMiB(child) * 1024;
    return kib / 1024;
}

} // namespace ProcessMemory
