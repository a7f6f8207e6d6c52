#pragma once

#include <QByteArray>
#include <QString>

// A whole file read from outside, never more than a bound: a file the program only ever
// writes small cannot make it read gigabytes when another program fills it.
struct BoundedFile
{
    enum class Status
    {
        Read,
        TooLarge, // larger than the bound, before or while it was read
        Failed,   // could not be opened or read: `error` says why
    };
    Status status = Status::Read;
    QByteArray bytes; // empty unless read
    QString error;

    static BoundedFile read(const QString& path, qint64 maxBytes);
};
