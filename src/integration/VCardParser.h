#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// One content line of a vCard, decoded: "item1.TEL;TYPE=home,voice:+44 20 7946 0000".
struct VCardProperty
{
    QString group; // "item1", empty without
    QString name;  // upper case: "TEL"
    // One entry per parameter value, names in upper case, values as given (unquoted):
    // TYPE=home,voice gives (TYPE, home) and (TYPE, voice). A bare value of the old
    // style ("TEL;HOME;VOICE:") is a TYPE.
    QList<std::pair<QString, QString>> params;
    // The value as text (quoted-printable and the character set undone), with the vCard's
    // backslash escapes still in: text() and components() take them out.
    QString raw;

    bool hasType(QStringView type) const;  // among the TYPE values, without regard to case
    QString param(QStringView name) const; // the first value of the parameter
    QString text() const { return unescaped(raw); }
    // A structured value (N, ADR, ORG) split at its unescaped semicolons, each part
    // unescaped.
    QStringList components() const;

    static QString unescaped(QStringView raw);
};

struct VCardReadResult
{
    QList<VCardProperty> properties; // of the first card, in file order
    QString version;                 // "3.0", "4.0", "2.1", or empty when the card has none
    QString error;                   // empty when the card was read

    bool ok() const { return error.isEmpty(); }
};

// Reads and writes the text of vCards (RFC 6350 for 4.0, RFC 2426 for 3.0) and the older
// habits that address-book exports keep: folded lines, quoted-printable values with soft
// line breaks, CHARSET parameters, bare type parameters, a byte-order mark.
namespace VCard {

// Far beyond a person's card, even with a photo; a file this size is something else.
inline constexpr qint64 MaxBytes = 16 * 1024 * 1024;
// Far beyond a person's card too; within MaxBytes, a card of nothing but a few bytes each of
// these would take a hundred times its size to hold.
inline constexpr int MaxParameters = 64;   // of one property
inline constexpr int MaxProperties = 5000; // of the card

// The first card of `bytes` (an export often holds many). A text without BEGIN:VCARD, a
// card without its END:VCARD (a cut file), binary data or a card beyond the bounds above is
// an error, in words.
VCardReadResult read(const QByteArray& bytes);

// A value with backslash, comma, semicolon and line breaks escaped.
QString escaped(QStringView text);
// One content line, folded at 75 octets (never inside a UTF-8 sequence), ending in CR LF.
QByteArray foldedLine(const QString& line);

} // namespace VCard
