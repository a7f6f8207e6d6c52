#pragma once

#include <QString>

// Internet shortcut files (".url"): INI text whose section "InternetShortcut" holds the
// address as "URL". Read and written by the private-profile rules (ProfileFile), so that a
// shortcut made on Windows reads here and one made here reads on Windows.
namespace InternetShortcut {

inline QString section() { return QStringLiteral("InternetShortcut"); }
inline QString extension() { return QStringLiteral(".url"); }

// A file counts as a shortcut by its extension, in any case.
bool isShortcutName(const QString& fileName);
// The file name without ".url" (any case); other names as they are.
QString displayName(const QString& fileName);
// The address, one line (a lone CR in the value is dropped); empty for a file without
// one, a missing, binary or oversized file.
QString readAddress(const QString& path);
// Writes (or rewrites) the address, keeping any other lines of an existing file; a new
// file gets "[InternetShortcut]" and "URL=" with CR LF line ends. The file is replaced
// whole or not at all; on failure *error says why.
bool writeAddress(const QString& path, const QString& address, QString* error = nullptr);

} // namespace InternetShortcut
