#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class TerminationWatcher;

// A logout or a kill while the window is still being made. The window asks some questions
// of the start while it is made (whether to become the default browser), each in a modal
// loop of its own, before there is a window to close: such a request would wait for the
// user's answer, and a logout would wait for ever. From construction on, a request closes
// the questions that are open, as Escape would, and is kept; once the window is there,
// handOver() tells it what was kept and passes every later request straight on.
class EarlyTermination final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EarlyTermination)

public:
    // Starts `watcher`: requests that arrived before are told now.
    explicit EarlyTermination(TerminationWatcher& watcher, QObject* parent = nullptr);

    bool requested() const { return m_requested; }

    // `exitNow` ends the program through its ordinary exit: called on the next turn of the
    // event loop if a request came before, and on every request from now on, for as long
    // as `receiver` (the window) is there.
    void handOver(QObject* receiver, std::function<void()> exitNow);

private:
    void onRequest();

    bool m_requested = false;
    QPointer<QObject> m_receiver;
    std::function<void()> m_exitNow;
};
