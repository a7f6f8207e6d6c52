// Internet shortcut (.url) files as a dropped or opened file is read: from disk, the
// address of [InternetShortcut] URL. Nothing may crash, and the address is one line.
#include "FuzzSupport.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::app();
    const QString path = QDir(FuzzSupport::folder().path()).filePath(QStringLiteral("link.url"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    const QString address =
        ProfileFile::load(path).value(QStringLiteral("InternetShortcut"), QStringLiteral("URL"));
    if (address.contains(QLatin1Char('\n')))
        FuzzSupport::broken("an address is one line");
    return 0;
}
