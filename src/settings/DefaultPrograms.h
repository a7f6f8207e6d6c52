#pragma once

#include "platform/DesktopEntry.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

// The desktop's default programs for kinds of file and address (mail programs, a file's
// own program), chosen as the desktop chooses them from its mimeapps.list files.
namespace DefaultPrograms {

// Where the desktop keeps its programs and its choices: the applications folders and every
// mimeapps.list it reads, each list strongest first.
struct Places
{
    QStringList applicationFolders;
    QStringList mimeAppsLists;

    // The desktop of this session, from the XDG environment.
    static Places current();
};

// The texts of the lists that can be read; a list that cannot, or that is too large to be
// one the desktop wrote, is passed over like a missing one.
QList<QByteArray> readLists(const QStringList& paths);

// The default program of `types` (the first deciding first): the first installed entry
// that a list names as default for a type (lists in order of strength); failing that, the
// first of `installed` whose entry gives a command, as the desktop's own opener would take
// it. `entry` finds an installed entry by its id.
std::optional<DesktopApplication>
choose(const QList<QByteArray>& lists, const QStringList& types,
       const std::function<std::optional<DesktopApplication>(const QString&)>& entry,
       const QList<DesktopApplication>& installed);

// Every installed program that lists one of `types`, each once, sorted by name.
QList<DesktopApplication> installedFor(const QStringList& types, const Places& places);

// The rule above on the files of `places`.
std::optional<DesktopApplication> defaultFor(const QStringList& types, const Places& places);

// The browser a page is handed to when the user asks for another one: the desktop's
// default for web addresses, passing over the entry `self` (this program, which may well
// be the default), else the first other installed browser.
std::optional<DesktopApplication> otherBrowser(const Places& places, const QString& self);

} // namespace DefaultPrograms
