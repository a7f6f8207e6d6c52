#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

// The decisions about filter lists the user subscribes to by address: the file each is
// kept in, when it is downloaded again, and what a download must look like to replace it.
namespace SubscriptionRules {

// No list anyone publishes comes near this; a larger answer is something else.
constexpr qint64 MaxListBytes = 50 * 1024 * 1024;
// How much of a download's start contentProblem() looks at.
constexpr qint64 SniffBytes = 64 * 1024;
constexpr qint64 RefreshEverySecs = 7 * 24 * 3600;
// After a failure: soon enough that a passing fault costs an hour, late enough that a
// server that is down is not asked again and again.
constexpr qint64 RetryAfterSecs = 3600;
// The readable part of a file name, before its hash.
constexpr int MaxReadableLength = 60;

// The list's file in the filter folder: "<host-and-path>-<hash>.txt", only letters, digits,
// dots, dashes and underscores, never starting with a dot, at most 82 characters. The hash
// is of the whole address, so two addresses never share a file; the same address always
// gets the same one.
QString fileNameFor(const QUrl& address);

// Whether a list is downloaded now. `lastDownload` and `lastFailure` are invalid when there
// was none. Weekly after a download; after a failure that came later, an hour after it. A
// time stamped later than `now` (the clock was put back) does not hold a list back.
bool isDue(const QDateTime& lastDownload, const QDateTime& now, const QDateTime& lastFailure);

// Why a download is not taken as a filter list, or empty when it is: `head` is its first
// bytes (up to SniffBytes), `size` its whole size.
QString contentProblem(const QByteArray& head, qint64 size);

} // namespace SubscriptionRules
