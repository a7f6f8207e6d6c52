// Registry files, REGEDIT4 and "Windows Registry Editor Version 5.00" (UTF-16LE with a byte
// order mark): an accepted file survives import, export and re-import unchanged in either
// form (the export of the re-imported hive is the export of the first), and the two forms
// hold the same values (a hive imported from the version 5 export exports as REGEDIT4
// the same as the first).
#include "FuzzSupport.h"
#include "platform/RegFile.h"

#include <QDir>
#include <QFile>

namespace {

// A fresh hive for each input, in the private folder.
std::unique_ptr<RegistryHive> freshHive(const QString& name)
{
    const QString path = QDir(FuzzSupport::folder().path()).filePath(name);
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
    return std::make_unique<RegistryHive>(path);
}

// Imports `text` into a fresh hive and exports it again in `format`.
QByteArray reexported(const QByteArray& text, RegFile::Format format, const QString& name)
{
    auto hive = freshHive(name);
    if (RegFile::import(*hive, text))
        FuzzSupport::broken("an exported file imports");
    RegFile::Error error;
    const auto again = RegFile::exportKey(*hive, QString(), &error, format);
    if (!again)
        FuzzSupport::broken("a re-imported hive exports");
    return *again;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzSupport::Input input(data, size);
    const RegFile::ParseResult parsed = RegFile::parse(input.bytes());
    if (parsed.error)
        return 0;
    auto first = freshHive(QStringLiteral("a.db"));
    if (RegFile::apply(*first, parsed.changes))
        return 0; // refused as a whole: nothing to compare
    RegFile::Error error;
    const auto exported = RegFile::exportKey(*first, QString(), &error);
    const auto exported5 = RegFile::exportKey(*first, QString(), &error, RegFile::Format::Version5);
    if (!exported || !exported5)
        FuzzSupport::broken("an imported hive exports");
    if (!exported5->startsWith("\xFF\xFE"))
        FuzzSupport::broken("a version 5 export begins with its byte order mark");
    if (reexported(*exported, RegFile::Format::Regedit4, QStringLiteral("b.db")) != *exported)
        FuzzSupport::broken("REGEDIT4: import, export and re-import leave the hive unchanged");
    if (reexported(*exported5, RegFile::Format::Version5, QStringLiteral("c.db")) != *exported5)
        FuzzSupport::broken("version 5: import, export and re-import leave the hive unchanged");
    if (reexported(*exported5, RegFile::Format::Regedit4, QStringLiteral("d.db")) != *exported)
        FuzzSupport::broken("a version 5 export holds the values of the REGEDIT4 one");
    return 0;
}
