#pragma once

#include "platform/FileNames.h"

#include <QSet>
#include <QString>

// Names and files of favourites: titles made safe as file names, names made unique in a
// folder, and shortcuts written.
namespace FavoriteFiles {

// The longest name the program gives a favourite (before " (2)" and ".url"): well inside
// the 255 bytes a file name may take here and the 260 characters of a Windows path.
constexpr int MaxNameChars = 100;

// A page title or bookmark name as a file name that both this system and Windows accept:
// characters a Windows file name may not hold are dropped or become "-", line breaks and
// tabs become blanks, runs of blanks one blank, leading and trailing blanks and trailing
// dots go, device names (CON, NUL, COM1, ...) get a "_" in front, and the name is cut to
// MaxNameChars. Nothing usable left: `fallback`.
QString safeName(const QString& title, const QString& fallback = QStringLiteral("Untitled"));

// Names made unique in a folder, as every file the program names (platform/FileNames.h).
using FileNames::folded;
using FileNames::namesIn;
using FileNames::uniqueName;

enum class SaveResult
{
    Saved,
    Exists, // a shortcut of that name is there and `replace` was false
    Failed
};
// Writes `folder`/`name`.url holding `address`. `name` must already be a safe name.
SaveResult saveShortcut(const QString& folder, const QString& name, const QString& address,
                        bool replace, QString* error = nullptr);

// Moves a shortcut or folder into `folder`. Refused (false, with the reason in *error): a
// folder into itself or below itself, a name already taken there, a move that fails. The
// path it has now goes to *moved.
bool moveInto(const QString& path, const QString& folder, QString* moved, QString* error);
// Renames a shortcut (its ".url" kept) or folder to `name`, which must be usable as a file
// name (see safeName). A name differing only in case is allowed.
bool rename(const QString& path, const QString& name, QString* renamed, QString* error);

} // namespace FavoriteFiles
