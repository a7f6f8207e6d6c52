#include "settings/DefaultPrograms.h"

#include "settings/DefaultBrowser.h"
#include "settings/MimeAppsList.h"

#include <QSet>

#include <algorithm>

namespace DefaultPrograms {

Places Places::current()
{
    return {DesktopEntry::ApplicationFolders(), DefaultBrowser::mimeAppsListsByPrecedence()};
}

QList<QByteArray> readLists(const QStringList& paths)
{
    QList<QByteArray> lists;
    for (const QString& path : paths) {
        QByteArray bytes;
        if (DesktopEntry::readKeyFile(path, &bytes) && !bytes.isEmpty())
            lists << bytes;
    }
    return lists;
}

std::optional<DesktopApplication>
choose(const QList<QByteArray>& lists, const QStringList& types,
       const std::function<std::optional<DesktopApplication>(const QString&)>& entry,
       const QList<DesktopApplication>& installed)
{
    for (const QString& type : types) {
        for (const QByteArray& list : lists) {
            const QByteArrayList ids = MimeAppsList::defaultsFor(list, type.toUtf8());
            for (const QByteArray& id : ids) {
                if (auto program = entry(QString::fromUtf8(id)))
                    return program;
            }
        }
    }
    // Without a choice of the user's, a program whose entry gives no command to run is
    // passed over: it would only be refused.
    for (const DesktopApplication& program : installed) {
        if (!DesktopEntry::BuildAddressCommand(program, QString()).isEmpty())
            return program;
    }
    return std::nullopt;
}

QList<DesktopApplication> installedFor(const QStringList& types, const Places& places)
{
    QList<DesktopApplication> result;
    QSet<QString> seen;
    for (const QString& type : types) {
        const QList<DesktopApplication> programs =
            DesktopEntry::ProgramsFor(type, places.applicationFolders);
        for (const DesktopApplication& program : programs) {
            if (!seen.contains(program.id)) {
                seen.insert(program.id);
                result << program;
            }
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const DesktopApplication& a, const DesktopApplication& b) {
                         return a.name.localeAwareCompare(b.name) < 0;
                     });
    return result;
}

namespace {

// The default program of `types`, passing over the entry `passOver` (none when empty).
std::optional<DesktopApplication> firstOf(const QStringList& types, const Places& places,
                                          const QString& passOver)
{
    const QStringList& folders = places.applicationFolders;
    QList<DesktopApplication> installed = installedFor(types, places);
    installed.removeIf(
        [&passOver](const DesktopApplication& program) { return program.id == passOver; });
    return choose(
        readLists(places.mimeAppsLists), types,
        [&folders, &passOver](const QString& id) -> std::optional<DesktopApplication> {
            if (id == passOver)
                return std::nullopt;
            return DesktopEntry::FindDesktopEntry(id, folders);
        },
        installed);
}

} // namespace

std::optional<DesktopApplication> defaultFor(const QStringList& types, const Places& places)
{
    return firstOf(types, places, QString());
}

std::optional<DesktopApplication> otherBrowser(const Places& places, const QString& self)
{
    return firstOf(
        {QStringLiteral("x-scheme-handler/https"), QStringLiteral("x-scheme-handler/http")}, places,
        self);
}

} // namespace DefaultPrograms
