#pragma once

#include <QString>

// Which addresses may open, decided by where they come from. A script address runs in the
// page of the tab that opens it, with that site's rights; only the user's own typing in the
// address box (a bookmarklet) may start one. Anything brought in from outside (a dropped
// link or shortcut, a page-group file, another program's argument) could have been put in
// front of the user by a page, so it may not.
namespace AddressPolicy {

enum class Source
{
    Typed,           // the address box
    DroppedLink,     // a link or text dropped on a tab
    DroppedShortcut, // a ".url" file dropped on a tab
    GroupEntry,      // an entry of a page-group file
    HandOff,         // the argument another program started us with
    LaunchImage,     // handed on to the desktop's default browser
};

enum class Decision
{
    Open,         // where the caller meant to open it
    OpenInNewTab, // only in a tab of its own: it must not take over a page being read
    Refuse,
};

// The scheme of an address as a web engine reads it: leading blanks and control characters
// skipped, tabs and line breaks ignored, in small letters; empty when it has none.
QString schemeOf(const QString& address);

// "javascript:" (and "vbscript:") only when typed; "data:" from outside only in a new tab;
// the desktop is handed only "http", "https" and "ftp" addresses.
Decision decide(Source source, const QString& address);

} // namespace AddressPolicy
