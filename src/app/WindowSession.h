#pragma once

#include "session/LeftSession.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class SessionKeeper;
class TBrowserTab;
class TfrmMain;
class WindowQuestions;
struct SessionState;

// The session kept against crashes: what the window writes while it runs, and the tabs it
// brings back after an abnormal end.
class WindowSession final : public QObject
{
    Q_DISABLE_COPY_MOVE(WindowSession)

public:
    // `sessionFile` empty: no session is kept. `argument`: the address given at this start.
    // `left`: sessions other copies left, whose tabs come back after this copy's own.
    WindowSession(TfrmMain& window, WindowQuestions& questions, QString sessionFile,
                  QString argument, QList<LeftSession> left = {});

    SessionKeeper* keeper() const { return m_keeper; } // null when none is kept
    // The open tabs as the session keeps them.
    SessionState now() const;
    // Something the session holds may have changed.
    void noteChange();
    // At start: the start pages, or the tabs of a run that ended abnormally.
    void openStartOrRestore();

private:
    void restoreTabs(const QList<SessionState>& sessions);
    // The restored tabs go; the start pages open when no other tab is left.
    void startFresh();

    TfrmMain& m_window;
    WindowQuestions& m_questions;
    const QString m_sessionFile;
    const QString m_argument;
    QList<LeftSession> m_left; // handed to the keeper at start
    SessionKeeper* m_keeper = nullptr;
    // The tabs the recovery brought back (null once closed): "Start fresh instead" closes
    // these, and never a tab opened since or for an address given at this start.
    QList<QPointer<TBrowserTab>> m_restored;
};
