#pragma once

#include <QString>

// File names and files made from web pages. Pure rules, apart from writeHtmlFile.
namespace DocumentFiles {

// Used when a title leaves nothing usable.
inline constexpr char FallbackName[] = "Untitled";

// A single file name (no folder) from a page title for the user to save under: path
// separators become "_", control and formatting characters (including the bidirectional
// overrides that can disguise an extension) become blanks, then the ends are trimmed and
// leading dots removed so that the file is neither hidden nor "." or "..". An empty
// result gives FallbackName. Long titles are cut to keep the name within file-system
// limits, leaving room for an extension.
QString safeFileName(const QString& title);

// The base name of the file a page is mailed as: every character but A-Z, a-z, 0-9, the
// blank and the full stop becomes a blank; then leading dots and blanks go, and an empty
// result gives FallbackName. The ".htm" extension is not included.
QString mailFileBaseName(const QString& title);

// The address relative links of a mailed page resolve against: the page address up to and
// including the last "/" of its path, or the address followed by "/" when it has no path.
// The slashes that introduce the host never count, whatever the length of the scheme.
QString mailBaseAddress(const QString& url);

// The first line of a mailed page: <BASE HREF="address">. Characters that would end the
// attribute or the tag are percent-encoded, as they may be in any address.
QString mailBaseTag(const QString& baseAddress);

// The formats of the save dialog.
enum class SaveFormat
{
    CompletePage, // the page and, in a folder beside it, its images and styles
    SingleFile,   // one self-contained web archive (MHTML)
    HtmlOnly,     // the page's HTML alone
};

// The name to save under for a name the user chose in a given format: a web archive
// always ends in ".mht" or ".mhtml"; the HTML formats get ".htm" when the name has no
// extension at all.
QString saveAsFileName(const QString& chosen, SaveFormat format);

// A saved page's bytes: UTF-8 with a byte-order mark, so that a charset declared inside the
// page, which may name another encoding, cannot garble it when it is opened again.
QByteArray htmlFileBytes(const QString& html);

// Writes a page to a file (htmlFileBytes). The file is replaced whole or not at all and is
// readable by this user only. Returns an error text, empty on success.
QString writeHtmlFile(const QString& path, const QString& html);

} // namespace DocumentFiles
