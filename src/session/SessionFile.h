#pragma once

#include "session/SessionState.h"

#include <QString>

// The session on disk: written whole to a temporary file and renamed over the old one, so
// that a crash or a power loss leaves the previous session or the new one, never a part.
namespace SessionFile {

// A larger file is not a session this program wrote.
constexpr qint64 MaxBytes = 8 * 1024 * 1024;

struct ReadResult
{
    std::optional<SessionState> state; // nothing: no file, or a damaged one
    QString error;                     // why a file that exists could not be used
};

// Empty when written; otherwise what went wrong, in words.
QString write(const QString& path, const SessionState& state);
ReadResult read(const QString& path);

} // namespace SessionFile
