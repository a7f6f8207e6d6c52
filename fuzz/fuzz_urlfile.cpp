// Internet shortcut (.url) files as a dropped or opened file is read: from disk, the
// address of [InternetShortcut] URL, which is one line. Written back with the program's
// writer, the file reads again with the same address and every other entry as it was; a
// new address written is read as written, the rest unchanged.
#include "FuzzSupport.h"
#include "platform/InternetShortcut.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>

namespace {

using Entries = QList<std::pair<QString, QList<std::pair<QString, QString>>>>;

Entries allEntries(const QString& path, const QString& leaveOutKey = QString())
{
    const ProfileFile file = ProfileFile::load(path);
    Entries all;
    for (const QString& section : file.sectionNames()) {
        auto entries = file.entries(section);
        if (!leaveOutKey.isEmpty() &&
            section.compare(InternetShortcut::section(), Qt::CaseInsensitive) == 0)
            entries.removeIf([&](const auto& entry) {
                return entry.first.compare(leaveOutKey, Qt::CaseInsensitive) == 0;
            });
        all.append({section, entries});
    }
    return all;
}

bool writeFile(const QString& path, const uint8_t* data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzSupport::Input input(data, size);
    const QDir folder(FuzzSupport::folder().path());
    const QString path = folder.filePath(QStringLiteral("link.url"));
    if (!writeFile(path, data, size))
        return 0;
    const QString address = InternetShortcut::readAddress(path);
    if (address.contains(QLatin1Char('\n')) || address.contains(QLatin1Char('\r')))
        FuzzSupport::broken("an address is one line");
    if (address.isEmpty() || ProfileFile::load(path).status() != ProfileFile::Status::Ok)
        return 0;
    // Every entry but the address itself (whose value loses what an address cannot hold).
    const Entries before = allEntries(path, QStringLiteral("URL"));

    if (!InternetShortcut::writeAddress(path, address))
        FuzzSupport::broken("a shortcut read is written back");
    if (InternetShortcut::readAddress(path) != address)
        FuzzSupport::broken("a shortcut written back has the same address");
    if (allEntries(path, QStringLiteral("URL")) != before)
        FuzzSupport::broken("a shortcut written back keeps every other entry");

    const QString other = QStringLiteral("http://127.0.0.1/fuzz?q=\"a b\"");
    if (!InternetShortcut::writeAddress(path, other))
        FuzzSupport::broken("a new address is written");
    if (InternetShortcut::readAddress(path) != other)
        FuzzSupport::broken("a new address is read as written");
    if (allEntries(path, QStringLiteral("URL")) != before)
        FuzzSupport::broken("a new address leaves every other entry as it was");
    return 0;
}
