#include "session/SessionKeeper.h"

#include "session/SessionFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// A marker is a few dozen bytes; anything much larger is not ours.
constexpr qint64 MaxMarkerBytes = 4096;

} // namespace

SessionKeeper::SessionKeeper(const QString& sessionFile, std::function<SessionState()> snapshot,
                             QObject* parent)
    : QObject(parent)
    , m_file(sessionFile)
    , m_snapshot(std::move(snapshot))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(DefaultDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &SessionKeeper::writeNow);
    m_settle.setSingleShot(true);
    m_settle.setInterval(int(SessionRecovery::SettleMs));
    connect(&m_settle, &QTimer::timeout, this, [this] {
        m_marker.settled = true;
        writeMarker();
    });
}

SessionKeeper::Previous SessionKeeper::inspect(const QString& sessionFile)
{
    Previous previous;
    QFile marker(markerFileOf(sessionFile));
    const bool found = marker.exists();
    if (!found)
        return previous; // a clean exit: "StartupMode" decides
    std::optional<RunMarker> contents;
    if (marker.size() <= MaxMarkerBytes && marker.open(QIODevice::ReadOnly))
        contents = RunMarker::fromJson(marker.read(MaxMarkerBytes));
    const SessionFile::ReadResult read = SessionFile::read(sessionFile);
    previous.problem = read.error;
    if (read.state)
        previous.saved = *read.state;
    previous.decision = SessionRecovery::decide(found, contents, int(previous.saved.tabs.size()));
    return previous;
}

void SessionKeeper::begin(bool restored)
{
    m_marker = RunMarker{QDateTime::currentMSecsSinceEpoch(), restored, false};
    writeMarker();
    if (restored) {
        for (const LeftSession& left : std::as_const(m_left))
            writeMarker(markerFileOf(left.file), m_marker);
    }
    m_settle.start();
    noteChanged(); // the tabs this run starts with
}

void SessionKeeper::noteChanged()
{
    // Not restarted by later changes: a page that changes its title every second still
    // has its session written every few seconds.
    if (!m_ended && !m_timer.isActive())
        m_timer.start();
}

void SessionKeeper::flush()
{
    if (m_timer.isActive()) {
        m_timer.stop();
        writeNow();
    }
}

void SessionKeeper::endCleanly()
{
    m_ended = true;
    m_timer.stop();
    m_settle.stop();
    QFile::remove(m_file);
    QFile::remove(markerFile());
    removeLeft();
}

void SessionKeeper::writeNow()
{
    if (m_ended)
        return;
    const SessionState now = m_snapshot();
    if (m_haveWritten && now == m_written)
        return;
    const QString error = SessionFile::write(m_file, now);
    if (!error.isEmpty()) {
        if (!m_failing)
            Q_EMIT writeFailed(
                QStringLiteral("The open tabs could not be saved to %1: %2").arg(m_file, error));
        m_failing = true;
        return;
    }
    m_failing = false;
    m_written = now;
    m_haveWritten = true;
    ++m_writes;
    removeLeft(); // their tabs are in this session now
}

void SessionKeeper::removeLeft()
{
    for (const LeftSession& left : std::as_const(m_left)) {
        QFile::remove(left.file);
        QFile::remove(markerFileOf(left.file));
    }
    m_left.clear(); // and their slots are free again
}

void SessionKeeper::writeMarker()
{
    if (!m_ended)
        writeMarker(markerFile(), m_marker);
}

void SessionKeeper::writeMarker(const QString& path, const RunMarker& marker)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(marker.toJson());
        file.commit();
    }
}
