#include "platform/MemoryPressure.h"

#include <QFile>

namespace {

qint64 kibOf(const QByteArray& meminfo, const QByteArray& name)
{
    const QList<QByteArray> lines = meminfo.split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 2 || parts.first() != name + ':')
            continue;
        bool ok = false;
        const qint64 kib = parts.at(1).toLongLong(&ok);
        return ok ? kib : -1;
    }
    return -1;
}

} // namespace

bool MemoryPressure::isLow(const QByteArray& meminfo)
{
    const qint64 total = kibOf(meminfo, "MemTotal");
    const qint64 available = kibOf(meminfo, "MemAvailable");
    if (total <= 0 || available < 0)
        return false;
    return available * 10 < total || available < 256 * 1024;
}

bool MemoryPressure::isLowNow()
{
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return isLow(file.read(16 * 1024));
}
