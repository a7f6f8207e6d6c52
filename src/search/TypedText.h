#pragma once

#include <QSet>
#include <QString>

#include <functional>

// Whether the text typed into the address box is an address or something to search for.
// An address is anything that starts with a scheme something opens ("about:blank",
// "file:///x", "magnet:?xt=..." where the desktop has a program for it), a path
// ("/tmp/page.html"), or a single word that names a host: one with a dot or a port
// ("a.b", "localhost:8080", "intranet/page"), "localhost", or a host the machine knows by
// name. Anything with a blank in it, or a single word that is none of these ("intranet",
// "2+2", "define:word"), is a search.
namespace TypedText {

enum class Kind
{
    Address,
    Search,
};

// Whether the engine or a program of the desktop opens addresses of a scheme.
using SchemeTest = std::function<bool(const QString& scheme)>;

// The engine's schemes, and those the desktop has a program for ("x-scheme-handler/magnet"):
// one its lists of default programs name, or one whose entry lists the type. Reads the
// desktop's files at every call.
bool engineOrDesktopOpens(const QString& scheme);

// `knownHosts` are host names in small letters.
Kind classify(const QString& text, const QSet<QString>& knownHosts, const SchemeTest& opens);

// The host names of a hosts file's text ("/etc/hosts"): every name after the address on each
// line, comments left out, in small letters.
QSet<QString> hostNames(const QByteArray& hostsFile);
// The names of the machine's hosts file, read once per call; at most `limit` bytes are read.
QSet<QString> systemHostNames(const QString& path = QStringLiteral("/etc/hosts"),
                              qint64 limit = 256 * 1024);

} // namespace TypedText
