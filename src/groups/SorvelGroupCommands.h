#pragma once

#include "groups/GroupCommands.h"
#include "groups/SorvelGroup.h"

#include <QObject>

class FolderMenu;
class QMenu;

// What the page-group commands need of the main window.
class GroupCommandHost
{
public:
    // The tabs the user sees, in strip order, as group entries. Windows never shown (pop-ups
    // still being classified) are no part of what the user sees: they are dropped first.
    virtual QList<PageGroupEntry> shownTabs() = 0;
    // Opens the entries as tabs: with `replaceTabs` the tabs go first (Close All, the first
    // tab taking the first entry); with `startupMark` every new tab carries the mark.
    virtual void openGroupEntries(const QList<PageGroupEntry>& entries, bool replaceTabs,
                                  bool startupMark) = 0;
    // Whether a group chosen from the menu replaces the tabs ("SGCloseFirst").
    virtual bool SGCloseFirst() const = 0;

protected:
    ~GroupCommandHost() = default;
};

// The page-group commands: opening a group file, saving the tabs as a group, adding a tab
// to one, organizing one, and the page-group menu (filled from the groups folder when it
// opens after a change).
class SorvelGroupCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SorvelGroupCommands)

public:
    // The menu's first four items are the commands; the groups come after them.
    static constexpr int GroupMenuCommands = 4;

    SorvelGroupCommands(GroupCommandHost& host, GroupCommandQuestions* questions, QMenu* menu,
                        QObject* parent);

    // Who answers the questions; null: the ones given at construction.
    void setQuestions(GroupCommandQuestions* questions);
    GroupCommandQuestions* questions() const { return m_questions; }

    // Reads the group and opens its entries. A file that is no group opens nothing and
    // closes nothing, and the user learns which file and why; a missing file (a start-up
    // group since deleted) opens nothing, silently.
    void OpenPageGroup(const QString& fileName, bool replaceTabs, bool startupMark);
    void SaveAsSorvelGroup();
    // Adds the tab described by `tab` to a group the user picks. The entry is taken before
    // the question, so the tab may go while it is asked.
    void AddTabToGroup(const PageGroupEntry& tab);
    // The organize dialog for one group file, and the menu item that picks the file.
    void OrganizeSorvelGroup(const QString& fileName);
    void OrganizeSorvelGroups();

    bool GroupsChanged() const;
    void SetGroupsChanged();
    QMenu* menu() const;

private:
    GroupCommandHost& m_host;
    GroupCommandQuestions* const m_ownQuestions;
    GroupCommandQuestions* m_questions;
    FolderMenu* m_menu = nullptr;
};

// The entries of a folder as the page-group menu shows them: its sub-folders (names not
// beginning with ".") sorted by caption, then its "*.sgp" files (hidden ones too) captioned
// without the extension, sorted.
QList<struct FolderMenuEntry> groupMenuEntries(const QString& folder);
