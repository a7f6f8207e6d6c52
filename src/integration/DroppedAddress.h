#pragma once

#include <QString>

class QMimeData;

// The address that a drop carries: a link, a browser's HTML fragment, text, or an Internet
// shortcut file (".url").
namespace DroppedAddress {

// The text trimmed of surrounding blanks; when it names an existing file whose extension
// in upper case is ".URL", the value "URL" of that file's section "InternetShortcut"
// (empty when the file has none).
QString FromText(const QString& text);

// Whether a drag offers something FromMimeData can read.
bool CanRead(const QMimeData* data);
// The first link of the drag (a local file goes through FromText), else its text, else the
// first link of its HTML. Empty when there is none.
QString FromMimeData(const QMimeData* data);

} // namespace DroppedAddress
