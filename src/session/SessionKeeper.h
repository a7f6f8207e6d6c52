#pragma once

#include "session/LeftSession.h"
#include "session/SessionRecovery.h"
#include "session/SessionState.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Keeps one main window's session on disk while it runs, so that the tabs survive a crash,
// a kill or a power loss. A change is written a few seconds after it is noted (changes
// that come meanwhile are written together), and only when the session differs from the
// one last written: loading progress, icons and keystrokes never cause a write.
//
// Beside the session lies the run marker (the session file's name + ".running"): written
// at start, marked settled after the first minute, removed with the session by a clean
// exit. Finding it at start means the last run ended abnormally.
class SessionKeeper final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SessionKeeper)

public:
    static constexpr int DefaultDelayMs = 3000;

    // `snapshot` gives the session as it is now.
    SessionKeeper(const QString& sessionFile, std::function<SessionState()> snapshot,
                  QObject* parent = nullptr);

    struct Previous
    {
        SessionRecovery::Decision decision = SessionRecovery::Decision::StartNormally;
        SessionState saved;
        QString problem; // a session that was there but could not be read
    };
    // What the last run left, and what to do with it. Read before begin().
    Previous inspect() const { return inspect(m_file); }
    static Previous inspect(const QString& sessionFile);
    // Sessions other copies left (see LeftSession), whose tabs this run brings back too:
    // they go once this run's own session holds the tabs (its first write) or at a clean
    // exit, and their slots are let go then. Until then a crash of this run leaves them
    // where they are.
    void takeOver(QList<LeftSession> left) { m_left = std::move(left); }
    // This run starts: its marker is written (`restored`: it brought tabs back after an
    // abnormal end; the markers of the sessions taken over say so too, so that a crash
    // before they go counts as a crash of a run that restored them).
    void begin(bool restored);
    // Something the session holds may have changed.
    void noteChanged();
    // Writes now when something is due (the exit of a test, a benchmark).
    void flush();
    // A clean exit: nothing is left to bring back.
    void endCleanly();

    void setDelay(int ms) { m_timer.setInterval(ms); }
    QString sessionFile() const { return m_file; }
    QString markerFile() const { return markerFileOf(m_file); }
    static QString markerFileOf(const QString& sessionFile)
    {
        return sessionFile + QStringLiteral(".running");
    }
    int writes() const { return m_writes; }

Q_SIGNALS:
    // A write failed (a full disk, a folder that went): the message says why. Said once
    // until a write succeeds again.
    void writeFailed(const QString& message);

private:
    void writeNow();
    void writeMarker();
    static void writeMarker(const QString& path, const RunMarker& marker);
    void removeLeft();

    QString m_file;
    std::function<SessionState()> m_snapshot;
    QTimer m_timer;
    QTimer m_settle;
    RunMarker m_marker;
    QList<LeftSession> m_left;
    SessionState m_written;
    bool m_haveWritten = false;
    bool m_failing = false;
    bool m_ended = false;
    int m_writes = 0;
};
