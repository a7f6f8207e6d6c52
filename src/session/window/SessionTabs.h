#pragma once

#include "session/LeftSession.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class Questions;
class SessionKeeper;
class SessionQuestions;
class SorvelGroupCommands;
class TabSet;
class TBrowserTab;
class TPVOptions;
class QWidget;
struct SessionState;
struct WindowSettings;

// The tab set's session: what opens at start (the argument, the start pages, or the tabs of
// a run that ended abnormally), and the session kept against crashes while the window runs.
class SessionTabs final : public QObject
{
    Q_DISABLE_COPY_MOVE(SessionTabs)

public:
    struct Parts
    {
        TabSet& tabs;
        SorvelGroupCommands& groups;
        const WindowSettings& settings; // the window's working copies (start mode and group)
        const TPVOptions& options;      // "Last Open Sites"
        Questions& questions;
        SessionQuestions& sessionQuestions;
        // Shows the bar that says tabs were brought back, above the tabs.
        std::function<void(QWidget* bar)> placeBar;
    };
    struct Start
    {
        QString sessionFile; // empty: no session is kept
        QString argument;    // the address given at this start
        QList<LeftSession> left; // sessions other copies left: their tabs come back too
    };

    SessionTabs(Parts parts, Start start, QObject* parent = nullptr);

    SessionKeeper* keeper() const { return m_keeper; } // null when none is kept
    // The open tabs as the session keeps them.
    SessionState now() const;
    // Something the session holds may have changed.
    void noteChange();
    // At start: the start pages, or the tabs of a run that ended abnormally.
    void openStartOrRestore();
    // What opens at start: `argument` (this start's, or none), or the start pages
    // (StartPages.cpp).
    void openStartPages(const QString& argument);

private:
    void restoreTabs(const QList<SessionState>& sessions);
    // The restored tabs go; the start pages open when no other tab is left.
    void startFresh();

    Parts m_parts;
    TabSet& m_tabs;
    const QString m_sessionFile;
    const QString m_argument;
    QList<LeftSession> m_left; // handed to the keeper at start
    SessionKeeper* m_keeper = nullptr;
    // The tabs the recovery brought back (null once closed): "Start fresh instead" closes
    // these, and never a tab opened since or for an address given at this start.
    QList<QPointer<TBrowserTab>> m_restored;
};
