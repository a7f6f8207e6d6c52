#pragma once

#include "platform/RegistryHive.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// The registry's text exchange format, as regedit writes it: how a user backs up, deploys
// or brings over settings and how a check looks at what the program wrote. Two versions:
// "REGEDIT4" (8-bit text) and "Windows Registry Editor Version 5.00" (UTF-16LE with a byte
// order mark, and texts inside hex data in UTF-16 too).
//
// Export writes one "[key]" block per key, depth first, sub-keys sorted without regard to
// case, values in stored order, a blank line after each block; a REGEDIT4 file in UTF-8
// with LF line ends, a version 5 file with CR LF as regedit writes it. Hex data is wrapped
// as regedit wraps it: lines of at most 80 characters, each but the last ended by a
// backslash, the next indented by two blanks.
//
// Import reads "[key]", "[-key]", "name"="text", "name"=dword:0000000a, "name"=hex:..
// and "name"=hex(N):.. of every type N (hex(1) and hex(2) become texts, hex(4) a number,
// every other type is kept as its bytes), @ for the default value and "name"=- with CR LF
// or LF line ends, and applies the whole file in one transaction or not at all.
namespace RegFile {

enum class Format
{
    Regedit4,
    Version5
};

struct Error
{
    int line = 0; // 1-based; 0 when the fault is not tied to a line
    QString message;

    QString text() const; // "line 7: ..." or just the message
};

// One change read from a file. Value changes apply to the key of the last CreateKey.
struct Change
{
    enum class Kind
    {
        CreateKey,
        DeleteKey,
        SetValue,
        DeleteValue
    };

    Kind kind = Kind::CreateKey;
    int line = 0;
    qint64 root = 0;  // CreateKey, DeleteKey: a root id of RegistryHive
    QStringList path; // CreateKey, DeleteKey: the key below the root
    QString name;     // SetValue, DeleteValue: empty for the default value
    RegistryHive::ValueType type = RegistryHive::ValueType::String;
    QVariant data; // as RegistryHive::Value::data
};

struct ParseResult
{
    QList<Change> changes;
    std::optional<Error> error;
};

// Reads a file's bytes (UTF-8, or Latin-1 when not valid UTF-8, or UTF-16 with its byte
// order mark) without touching any hive. The first fault found ends the parse.
ParseResult parse(const QByteArray& bytes);

// Applies the changes in one transaction: on any failure nothing is changed.
std::optional<Error> apply(RegistryHive& hive, const QList<Change>& changes);

// parse() then apply().
std::optional<Error> import(RegistryHive& hive, const QByteArray& bytes);

// Splits "HKEY_CURRENT_USER\Software\X" (or "HKCU\Software\X") into a root id and parts.
bool parseKeyPath(const QString& text, qint64* root, QStringList* parts);

// The text of the key at `keyPath` and everything below it, or of the three roots when
// `keyPath` is empty. Returns nothing, with `error` set, when the key does not exist.
std::optional<QByteArray> exportKey(RegistryHive& hive, const QString& keyPath, Error* error,
                                    Format format = Format::Regedit4);

} // namespace RegFile
