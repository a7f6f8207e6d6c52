#pragma once

#include "groups/SorvelGroupCommands.h"

#include <QObject>

class TfrmMain;

// What the page-group commands ask of the window: the tabs as group entries, and tabs
// opened from a group's entries.
class WindowGroupHost final : public QObject, public GroupCommandHost
{
    Q_DISABLE_COPY_MOVE(WindowGroupHost)

public:
    explicit WindowGroupHost(TfrmMain& window);

    QList<PageGroupEntry> shownTabs() override;
    void openGroupEntries(const QList<PageGroupEntry>& entries, bool replaceTabs,
                          bool startupMark) override;
    bool SGCloseFirst() const override;
    // A group's tabs are being opened (the placement rule waits, Close All does nothing).
    bool opening() const { return m_opening; }

private:
    TfrmMain& m_window;
    bool m_opening = false;
};
