#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What a running copy leaves behind while it runs: a marker, removed by a clean exit. A
// marker found at start means the previous run of this session ended abnormally (a crash,
// a kill, a power loss).
struct RunMarker
{
    qint64 startedMs = 0;   // when that run started (ms since the epoch)
    bool restored = false;  // that run had itself brought back tabs after an abnormal end
    bool settled = false;   // that run lived past the first minute

    friend bool operator==(const RunMarker&, const RunMarker&) = default;

    QByteArray toJson() const;
    // Nothing for a text that is no marker (a damaged marker still says "abnormal end":
    // see SessionRecovery::decide).
    static std::optional<RunMarker> fromJson(const QByteArray& text);
};

namespace SessionRecovery {

// How long a run must live before an abnormal end of it no longer counts as a crash at
// start (a page that crashes the program as soon as it is shown).
constexpr qint64 SettleMs = 60 * 1000;

enum class Decision
{
    StartNormally, // the previous run ended cleanly, or left nothing to bring back
    Restore,       // bring the tabs back at once and say so
    Ask,           // the tabs brought back last time ended the run again: ask first
};

// `markerFound`: a marker was left behind (whether or not it could be read);
// `marker`: its contents when readable; `savedTabs`: how many tabs the saved session holds.
Decision decide(bool markerFound, const std::optional<RunMarker>& marker, int savedTabs);

} // namespace SessionRecovery
