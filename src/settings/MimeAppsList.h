#pragma once

#include <QByteArray>
#include <QByteArrayList>

// The desktop's list of default applications (mimeapps.list): a key file whose section
// "[Default Applications]" maps a MIME type to desktop entries, the first installed one
// being the default. These functions work on the file's bytes so that every line they do
// not change stays exactly as the user (or another program) wrote it.
namespace MimeAppsList {

// The desktop entries the file names as defaults for type, in order; empty when it has
// no such line (or an empty one).
QByteArrayList defaultsFor(const QByteArray& text, const QByteArray& type);

// The file with desktopId first among the defaults of each type. The entries named
// before stay after it, so that removing this program leaves the old default in force.
// The section is created at the end when missing; a type's repeated lines become one.
QByteArray withDefault(const QByteArray& text, const QByteArrayList& types,
                       const QByteArray& desktopId);

} // namespace MimeAppsList
