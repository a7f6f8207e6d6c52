// REGEDIT4 files: an accepted file survives import, export and re-import unchanged (the
// export of the re-imported hive is the export of the first).
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::app();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const RegFile::ParseResult parsed = RegFile::parse(bytes);
    if (parsed.error)
        return 0;
    auto first = freshHive(QStringLiteral("a.db"));
    if (RegFile::apply(*first, parsed.changes))
        return 0; // refused as a whole: nothing to compare
    RegFile::Error error;
    const auto exported = RegFile::exportKey(*first, QString(), &error);
    if (!exported)
        FuzzSupport::broken("an imported hive exports");
    auto second = freshHive(QStringLiteral("b.db"));
    if (RegFile::import(*second, *exported))
        FuzzSupport::broken("an exported file imports");
    const auto again = RegFile::exportKey(*second, QString(), &error);
    if (!again || *again != *exported)
        FuzzSupport::broken("import, export and re-import leave the hive unchanged");
    return 0;
}
