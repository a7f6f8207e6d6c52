#pragma once

#include "groups/SorvelGroupCommands.h"

#include <QObject>

class TabClosing;
class TabSet;
struct WindowSettings;

// The page-group commands' view of the tab set: the tabs as group entries, and tabs opened
// from a group's entries.
class GroupTabs final : public QObject, public GroupCommandHost
{
    Q_DISABLE_COPY_MOVE(GroupTabs)

public:
    // `settings`: the window's working copies (SGCloseFirst).
    GroupTabs(TabSet& tabs, TabClosing& closing, const WindowSettings& settings,
              QObject* parent = nullptr);

    QList<PageGroupEntry> shownTabs() override;
    void openGroupEntries(const QList<PageGroupEntry>& entries, bool replaceTabs,
                          bool startupMark) override;
    bool SGCloseFirst() const override;
    // A group's tabs are being opened (Close All does nothing meanwhile).
    bool opening() const { return m_opening; }

private:
    TabSet& m_tabs;
    TabClosing& m_closing;
    const WindowSettings& m_settings;
    bool m_opening = false;
};
