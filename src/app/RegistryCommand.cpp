#include "app/RegistryCommand.h"

#include "platform/Paths.h"
#include "platform/RegFile.h"
#include "platform/RegistryHive.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <cstring>

namespace {

constexpr int Failure = 2;

// A settings file is a few kilobytes; one far larger is not one.
constexpr qint64 MaxImportBytes = 64 * 1024 * 1024;

void printError(const QString& text)
{
    std::fprintf(stderr, "pelvane: %s\n", text.toLocal8Bit().constData());
}

// Opens the hive; a damaged one is set aside, and the user learns of it here since no
// window will.
bool openHive(RegistryHive& hive)
{
    if (!hive.recoveredBackup().isEmpty()) {
        printError(QStringLiteral("the settings file was damaged and has been moved to %1")
                       .arg(hive.recoveredBackup()));
    }
    if (!hive.isOpen()) {
        printError(QStringLiteral("cannot open the settings file %1: %2")
                       .arg(hive.path(), hive.errorText()));
        return false;
    }
    return true;
}

int exportCommand(const QString& key, RegFile::Format format)
{
    RegistryHive hive(Paths::hiveFile());
    if (!openHive(hive))
        return Failure;
    RegFile::Error error;
    const std::optional<QByteArray> text = RegFile::exportKey(hive, key, &error, format);
    if (!text) {
        printError(error.text());
        return Failure;
    }
    if (std::fwrite(text->constData(), 1, static_cast<size_t>(text->size()), stdout) !=
            static_cast<size_t>(text->size()) ||
        std::fflush(stdout) != 0) {
        printError(QStringLiteral("cannot write the export"));
        return Failure;
    }
    return 0;
}

int importCommand(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("%1: %2").arg(fileName, file.errorString()));
        return Failure;
    }
    if (file.size() > MaxImportBytes) {
        printError(QStringLiteral("%1: the file is larger than %2 bytes; it is not a settings "
                                  "file")
                       .arg(fileName)
                       .arg(MaxImportBytes));
        return Failure;
    }
    const QByteArray bytes = file.readAll();
    // Parse before the hive is opened: a faulty file must not even create the hive.
    const RegFile::ParseResult parsed = RegFile::parse(bytes);
    if (parsed.error) {
        printError(QStringLiteral("%1: %2").arg(fileName, parsed.error->text()));
        return Failure;
    }
    RegistryHive hive(Paths::hiveFile());
    if (!openHive(hive))
        return Failure;
    if (const auto error = RegFile::apply(hive, parsed.changes)) {
        printError(QStringLiteral("%1: %2 (nothing was changed)").arg(fileName, error->text()));
        return Failure;
    }
    return 0;
}

} // namespace

std::optional<int> runRegistryCommand(int argc, char** argv)
{
    if (argc < 2)
        return std::nullopt;
    const bool exporting = std::strcmp(argv[1], "--reg-export") == 0;
    const bool importing = std::strcmp(argv[1], "--reg-import") == 0;
    if (!exporting && !importing)
        return std::nullopt;

    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(2);
    if (exporting) {
        const bool unicode = args.value(0) == QLatin1String("--unicode");
        if (unicode)
            args.removeFirst();
        if (args.size() > 1) {
            printError(QStringLiteral("usage: pelvane --reg-export [--unicode] [KEY]"));
            return Failure;
        }
        return exportCommand(args.value(0),
                             unicode ? RegFile::Format::Version5 : RegFile::Format::Regedit4);
    }
    if (args.size() != 1) {
        printError(QStringLiteral("usage: pelvane --reg-import FILE"));
        return Failure;
    }
    return importCommand(args.first());
}
