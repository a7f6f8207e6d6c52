#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class RegistryHive;

// Registration as the desktop's default web browser. The program is the default when the
// desktop's defaults for web pages and http addresses name its desktop entry, which starts
// it with the page or address as its first argument.
//
// The places follow the XDG base directories: the desktop entry goes to
// $XDG_DATA_HOME/applications (~/.local/share/applications), the defaults to
// $XDG_CONFIG_HOME/mimeapps.list (~/.config/mimeapps.list).
namespace DefaultBrowser {

inline constexpr QLatin1String DesktopId("pelvane.desktop");

// The types whose default is set, and those the desktop entry says it can open.
QStringList defaultTypes();
QStringList handledTypes();

QString desktopEntryPath();
QString mimeAppsListPath();
// Every mimeapps.list the desktop reads, the strongest first.
QStringList mimeAppsListsByPrecedence();

// One argument of an Exec line: quoted, with the characters the desktop entry format
// reserves escaped, so that a path with blanks, quotes or "%" starts the right program.
QString execArgument(const QString& argument);
QByteArray desktopEntry(const QString& exePath);

} // namespace DefaultBrowser

// True when the defaults for text/html and x-scheme-handler/http are this program's
// desktop entry and that entry is installed.
bool IsDefaultBrowser();

// Writes the desktop entry (starting ExePath) and makes it the default for pages, http and
// https, keeping every other line of the user's files. Returns false with the reason in
// *error when a file cannot be written; what was written before stays.
bool MakeDefaultBrowser(const QString& ExePath, QString* error = nullptr);

enum class DefaultBrowserCheck
{
    AlreadyDefault,
    Declined,
    MadeDefault,
    Failed
};
// Asks the user (true for Yes); the program shows TfrmDefaultBrowser, tests answer directly.
using DefaultBrowserQuestion = std::function<bool()>;

// When the program is not the default, asks, and on Yes makes it the default.
DefaultBrowserCheck CheckDefaultBrowser(const QString& ExePath, const DefaultBrowserQuestion& ask,
                                        QString* error = nullptr);

// The start-up check of the main window: runs CheckDefaultBrowser while "AskDefaultBrowser"
// is true; otherwise writes it back as false and returns nothing. Registry errors are not
// caught here.
std::optional<DefaultBrowserCheck> StartupDefaultBrowserCheck(RegistryHive& hive,
                                                              const QString& ExePath,
                                                              const DefaultBrowserQuestion& ask,
                                                              QString* error = nullptr);
