#pragma once

#include <QString>
#include <QUrl>

// What an address the program is given (typed, from a link list, from a file) means to the
// engine. A known scheme is kept as written; anything else is read as a user would mean it:
// "localhost:8080/x" and "intranet:8000" are a host and a port, "example.com" is a web
// address, "/tmp/page.html" a file.
namespace UserAddress {

QUrl toUrl(const QString& text);

// Whether the engine opens addresses of `scheme` itself ("http", "about", "javascript"...),
// in any case. Other schemes go to the desktop's program for them, if it has one.
bool engineScheme(const QString& scheme);

} // namespace UserAddress
