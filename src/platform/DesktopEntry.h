#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// A program the desktop lists in its applications folders (a desktop entry).
struct DesktopApplication
{
    QString id;   // the desktop file id, "org.example.Editor.desktop"
    QString name; // the caption for menus
    QString exec; // the command line with its field codes, as the entry writes it
    QString icon;
    QString desktopFile; // where the entry was read
    QStringList mimeTypes;
    QString workingFolder; // the entry's Path: where the program is started; empty: ours
    bool terminal = false; // the program runs in a terminal
};

// Desktop entries (the desktop's list of programs): where they are, reading them, the
// programs for a kind of file, and the command lines that start them on a file ("edit with",
// the mail programs, the default browser's own entry). Nothing goes through a shell: a
// command line is split into its arguments once, by the desktop entry's own rules, and a
// file name is always one argument.
namespace DesktopEntry {

// The desktop's key files (desktop entries, mimeapps.list) are small: one larger than this
// was not written by the desktop and is not read.
inline constexpr qint64 MaxKeyFileBytes = 1 << 20;
// Reads a key file whole: true with no bytes when there is none; false, with the reason in
// `error` when given, when it cannot be read or is larger than MaxKeyFileBytes.
bool readKeyFile(const QString& path, QByteArray* bytes, QString* error = nullptr);

// The keys of the [Desktop Entry] group of an entry's text, first occurrence winning.
QHash<QString, QString> readGroup(const QByteArray& text);
// The escapes of a desktop-file string value undone ("\s", "\n", "\t", "\r", "\\"); any
// other backslash is kept for the Exec rules.
QString unescapeValue(const QString& value);
// The escapes a value needs when written.
QString escapeValue(const QString& text);

// The key suffixes a localized value is looked up by for a locale such as "sr_RS@latin",
// best first: "sr_RS@latin", "sr_RS", "sr@latin", "sr"; none for "C".
QStringList LocaleSuffixes(const QString& locale);

// $XDG_DATA_HOME/applications, then applications under each of $XDG_DATA_DIRS, the first
// place taking precedence.
QStringList ApplicationFolders();

// Reads one desktop entry; nothing for a file that is not an application entry or that is
// hidden. `id` becomes the entry's id. An Exec or Path key written "Exec[$e]" (the form
// KDE's configuration files use for values that refer to the environment) has its
// environment references expanded; the plain keys are taken as they are.
std::optional<DesktopApplication> ReadDesktopEntry(const QString& file, const QString& id);

// The entry of that desktop file id in `folders` (first folder first), found as the file
// itself or in a vendor subfolder ("vendor-app.desktop" as "vendor/app.desktop").
std::optional<DesktopApplication> FindDesktopEntry(const QString& id, const QStringList& folders);

// "$NAME" and "${NAME}" replaced by the value `lookup` gives (empty for an unknown one),
// "$$" by one "$"; any other "$" is kept.
QString ExpandEnvironment(const QString& text,
                          const std::function<QString(const QString&)>& lookup);

// The applications of `folders` (first folder first in precedence; an entry hides the
// entries of the same id in later folders, a hidden one included) that list `mimeType`,
// sorted by name.
QList<DesktopApplication> ProgramsFor(const QString& mimeType, const QStringList& folders);

// Splits an Exec value (already unescaped as a desktop-file string) into its arguments:
// blanks separate, double quotes group, and inside quotes a backslash makes the next ",
// `, $ or \ literal. False in *ok for an unfinished quote.
QStringList SplitExec(const QString& exec, bool* ok = nullptr);

// The program and its arguments that open `file` with `app`. %f and %F give the file, %u
// and %U its file: address, %i the icon option, %c the name, %k the entry's file, %% a
// percent sign; the deprecated codes give nothing. Without a file code the file is added
// as the last argument. Empty when the Exec value cannot be split or names no program.
QStringList BuildCommand(const DesktopApplication& app, const QString& file);

// The program and its arguments that start `app` on an address that is no file (a
// "mailto:" address): every file and address code gives the address, and without such a
// code it is added as the last argument. An empty address starts the program alone: the
// codes give nothing and nothing is added.
QStringList BuildAddressCommand(const DesktopApplication& app, const QString& address);

} // namespace DesktopEntry
