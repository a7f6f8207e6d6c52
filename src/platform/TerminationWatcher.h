#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the main thread, so that a logout
// or a kill closes the window through its ordinary exit and nothing is lost. Only one
// watcher may exist per process (the signal handler writes to its pipe).
//
// The signals are caught from construction on, but told only once start() is called: a
// request that arrives while the program is still starting (its window not yet made, the
// receiver not yet connected, or even the application not yet made) waits in the pipe and is told on the first turn of the event
// loop after start(), instead of killing the program by the default action.
class TerminationWatcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationWatcher)

public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

    // From now on (and for what already arrived) terminationRequested is emitted.
    void start();

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};
