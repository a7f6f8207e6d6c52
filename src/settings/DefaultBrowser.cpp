#include "settings/DefaultBrowser.h"

#include "platform/DesktopEntry.h"

#include "settings/DefaultPrograms.h"
#include "settings/MimeAppsList.h"
#include "settings/PVOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QStringList currentDesktops()
{
    QStringList desktops;
    const QStringList names =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& name : names)
        desktops.append(name.toLower());
    return desktops;
}

QString configHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

// The program an installed desktop entry checks for (TryExec), or empty when it names none.
QString tryExecOf(const QByteArray& entry)
{
    return DesktopEntry::unescapeValue(
        DesktopEntry::readGroup(entry).value(QStringLiteral("TryExec")));
}

// An installed entry (not the user's own) that starts `program`: the desktop's own, with
// the program's icon and actions.
bool installedEntryStarts(const QString& program)
{
    const QString own = DefaultBrowser::desktopEntryPath();
    const QString wanted = QFileInfo(program).canonicalFilePath();
    const QStringList entries =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                  QLatin1String("applications/") + DefaultBrowser::DesktopId);
    for (const QString& entry : entries) {
        QByteArray bytes;
        if (entry == own || !DesktopEntry::readKeyFile(entry, &bytes, nullptr))
            continue;
        if (!wanted.isEmpty() && QFileInfo(tryExecOf(bytes)).canonicalFilePath() == wanted)
            return true;
    }
    return false;
}

bool writeWhole(const QString& path, const QByteArray& bytes, QString* error)
{
    const bool isNew = !QFileInfo::exists(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("Cannot create the folder of %1").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        if (isNew)
            file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (file.write(bytes) == bytes.size() && file.commit())
            return true;
    }
    if (error)
        *error = QStringLiteral("Unable to write to %1: %2").arg(path, file.errorString());
    file.cancelWriting();
    return false;
}

QByteArrayList asBytes(const QStringList& list)
{
    QByteArrayList bytes;
    for (const QString& s : list)
        bytes.append(s.toUtf8());
    return bytes;
}

// Puts this program first for those of types that the file at path names a default for.
bool overrideIn(const QString& path, const QByteArrayList& types, bool evenWithoutEntries,
                QString* error)
{
    QByteArray before;
    if (!DesktopEntry::readKeyFile(path, &before, error))
        return false;
    QByteArrayList named;
    for (const QByteArray& type : types) {
        if (evenWithoutEntries || !MimeAppsList::defaultsFor(before, type).isEmpty())
            named.append(type);
    }
    if (named.isEmpty())
        return true;
    const QByteArray after =
        MimeAppsList::withDefault(before, named, QByteArray(DefaultBrowser::DesktopId.data()));
    return after == before || writeWhole(path, after, error);
}

} // namespace

namespace DefaultBrowser {

QStringList defaultTypes()
{
    return {QStringLiteral("text/html"), QStringLiteral("x-scheme-handler/http"),
            QStringLiteral("x-scheme-handler/https")};
}

QStringList handledTypes()
{
    return {QStringLiteral("text/html"), QStringLiteral("application/xhtml+xml"),
            QStringLiteral("x-scheme-handler/http"), QStringLiteral("x-scheme-handler/https")};
}

QString desktopEntryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1String("/applications/") + DesktopId;
}

QString mimeAppsListPath()
{
    return configHome() + QLatin1String("/mimeapps.list");
}

QStringList mimeAppsListsByPrecedence()
{
    const QStringList desktops = currentDesktops();
    QStringList lists;
    auto addFolder = [&](const QString& folder) {
        for (const QString& desktop : desktops)
            lists.append(folder + QLatin1Char('/') + desktop + QLatin1String("-mimeapps.list"));
        lists.append(folder + QLatin1String("/mimeapps.list"));
    };
    const QStringList configFolders =
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    for (const QString& folder : configFolders)
        addFolder(folder);
    const QStringList dataFolders =
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString& folder : dataFolders)
        addFolder(folder + QLatin1String("/applications"));
    return lists;
}

QString execArgument(const QString& argument)
{
    // Inside quotes, ", `, $ and \ take a backslash; "%" is doubled so that it is not a
    // field code; then the string escapes apply to the whole value, which doubles every
    // backslash once more.
    QString quoted;
    quoted.reserve(argument.size() + 2);
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    return DesktopEntry::escapeValue(QLatin1Char('"') + quoted + QLatin1Char('"'));
}

QByteArray desktopEntry(const QString& exePath)
{
    const QString program = QFileInfo(exePath).absoluteFilePath();
    QString text;
    text += QLatin1String("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.0\n"
                          "Name=Pelvane\n"
                          "GenericName=Web Browser\n"
                          "Comment=Browse the web in tabs\n"
                          "Icon=web-browser\n");
    // TryExec lets the desktop pass over the entry once the program is gone.
    text += QLatin1String("TryExec=") + DesktopEntry::escapeValue(program) + QLatin1Char('\n');
    text += QLatin1String("Exec=") + execArgument(program) + QLatin1String(" %u\n");
    text += QLatin1String("Terminal=false\n"
                          "Categories=Network;WebBrowser;\n");
    text +=
        QLatin1String("MimeType=") + handledTypes().join(QLatin1Char(';')) + QLatin1String(";\n");
    return text.toUtf8();
}

} // namespace DefaultBrowser

bool IsDefaultBrowser()
{
    const QString entry =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                               QLatin1String("applications/") + DefaultBrowser::DesktopId);
    if (entry.isEmpty())
        return false;
    QByteArray entryBytes;
    if (!DesktopEntry::readKeyFile(entry, &entryBytes, nullptr))
        return false;
    const QString program = tryExecOf(entryBytes);
    if (!program.isEmpty() && !QFileInfo(program).isExecutable())
        return false; // the program moved: the entry starts nothing

    const QList<QByteArray> lists =
        DefaultPrograms::readLists(DefaultBrowser::mimeAppsListsByPrecedence());
    // Only pages and http decide, as they always have; https follows http everywhere.
    for (const char* type : {"text/html", "x-scheme-handler/http"}) {
        QByteArray first;
        for (const QByteArray& list : lists) {
            const QByteArrayList ids = MimeAppsList::defaultsFor(list, type);
            if (!ids.isEmpty()) {
                first = ids.first();
                break;
            }
        }
        if (first != QByteArray(DefaultBrowser::DesktopId.data()))
            return false;
    }
    return true;
}

bool MakeDefaultBrowser(const QString& ExePath, QString* error)
{
    if (ExePath.isEmpty()) {
        if (error)
            *error = QStringLiteral("The program's path is unknown");
        return false;
    }
    // Our own entry would hide an installed one that starts this program (its icon, its
    // actions); one written earlier is kept up to date.
    const bool ownEntry =
        QFileInfo::exists(DefaultBrowser::desktopEntryPath()) || !installedEntryStarts(ExePath);
    if (ownEntry && !writeWhole(DefaultBrowser::desktopEntryPath(),
                                DefaultBrowser::desktopEntry(ExePath), error))
        return false;
    const QByteArrayList types = asBytes(DefaultBrowser::defaultTypes());
    if (!overrideIn(DefaultBrowser::mimeAppsListPath(), types, true, error))
        return false;
    // A desktop's own list outranks the common one; where it names a default for one of
    // these types, this program must be named there too.
    const QStringList desktops = currentDesktops();
    for (const QString& desktop : desktops) {
        const QString path =
            configHome() + QLatin1Char('/') + desktop + QLatin1String("-mimeapps.list");
        if (!overrideIn(path, types, false, error))
            return false;
    }
    return true;
}

DefaultBrowserCheck CheckDefaultBrowser(const QString& ExePath, const DefaultBrowserQuestion& ask,
                                        QString* error)
{
    if (IsDefaultBrowser())
        return DefaultBrowserCheck::AlreadyDefault;
    if (!ask())
        return DefaultBrowserCheck::Declined;
    return MakeDefaultBrowser(ExePath, error) ? DefaultBrowserCheck::MadeDefault
                                              : DefaultBrowserCheck::Failed;
}

std::optional<DefaultBrowserCheck> StartupDefaultBrowserCheck(RegistryHive& hive,
                                                              const QString& ExePath,
                                                              const DefaultBrowserQuestion& ask,
                                                              QString* error)
{
    TPVOptions options(hive);
    if (!options.GetAskDefaultBrowser()) {
        options.SetAskDefaultBrowser(false);
        return std::nullopt;
    }
    return CheckDefaultBrowser(ExePath, ask, error);
}
