#pragma once

#include <QFlags>
#include <QObject>
#include <QString>

#include <memory>

class DiscMonitorWorker;

// Watches a folder (and, with SubTree, every folder below it) for changes of the kinds in
// Filters, and tells the window's thread: OnChange after changes, OnInvalid when the folder
// cannot be watched (it does not exist, or it went while watched). The watching is done by
// a thread of the monitor's own that blocks on the kernel's file notifications (inotify)
// and on a wake-up of its own; the thread lives from construction to destruction, idle
// while the monitor is not Active.
//
// A burst of changes (a folder of a thousand files copied in) gives a few OnChange, not one
// per file: changes are gathered until they pause for a moment, and at the longest for
// half a second. The events are queued to the monitor's thread rather than waited
// for, so destroying the monitor never waits on a handler and is always prompt.
class TDiscMonitor final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDiscMonitor)

public:
    // The kinds of change, with the values the Windows notification filter gives them.
    enum Filter
    {
        FileName = 0x001,
        DirName = 0x002,
        Attributes = 0x004,
        Size = 0x008,
        LastWrite = 0x010,
        Security = 0x100,
    };
    Q_DECLARE_FLAGS(Filters, Filter)

    // Changes closer together than this are one change; a longer burst gives one change
    // at least every MaxDelayMs.
    static constexpr int QuietMs = 100;
    static constexpr int MaxDelayMs = 500;

    explicit TDiscMonitor(QObject* parent = nullptr);
    ~TDiscMonitor() override;

    bool Active() const { return m_active; }
    void SetActive(bool active);
    QString Directory() const { return m_directory; }
    // While active, moves the watch to the new folder (the thread goes on).
    void SetDirectory(const QString& directory);
    bool SubTree() const { return m_subTree; }
    void SetSubTree(bool subTree);
    Filters GetFilters() const { return m_filters; }
    // The empty set is refused: the old set stays, and the answer is false with
    // EmptyFiltersMessage() in *error.
    bool SetFilters(Filters filters, QString* error = nullptr);
    static QString EmptyFiltersMessage() { return QStringLiteral("Some filter condition must be set."); }

Q_SIGNALS:
    void OnChange();
    void OnInvalid();

private:
    void pushParameters();

    std::unique_ptr<DiscMonitorWorker> m_worker;
    bool m_active = false;
    QString m_directory;
    bool m_subTree = true;
    Filters m_filters = FileName;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TDiscMonitor::Filters)
