#include "platform/InternetShortcut.h"

#include "platform/ProfileFile.h"

#include <QFileInfo>

namespace InternetShortcut {

bool isShortcutName(const QString& fileName)
{
    return fileName.size() > 4 && fileName.endsWith(extension(), Qt::CaseInsensitive);
}

QString displayName(const QString& fileName)
{
    return isShortcutName(fileName) ? fileName.chopped(4) : fileName;
}

QString readAddress(const QString& path)
{
    // By the profile rules a lone CR does not end a line, so it can sit inside the value;
    // in an address it is nothing (address parsers drop it), and an address holding one
    // could not be written back.
    QString address = ProfileFile::readString(path, section(), QStringLiteral("URL"));
    address.remove(QLatin1Char('\r'));
    return address;
}

bool writeAddress(const QString& path, const QString& address, QString* error)
{
    // An unreadable old file must not be replaced by one that drops what it held.
    ProfileFile file;
    if (QFileInfo::exists(path)) {
        file = ProfileFile::load(path);
        if (file.status() != ProfileFile::Status::Ok) {
            if (error)
                *error = file.errorString();
            return false;
        }
    }
    if (!file.setValue(section(), QStringLiteral("URL"), address, error))
        return false;
    return file.saveAs(path, error);
}

} // namespace InternetShortcut
