// Page groups: opening a group as tabs, saving the tabs as a group, adding a tab to one,
// the page-group menu and the organize dialog.
#include "app/MainWindow.h"

#include "app/MainActions.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "groups/GroupCommands.h"
#include "groups/dialogs/GroupDialogs.h"
#include "groups/SorvelGroupMenu.h"
#include "groups/dialogs/SorvelGroup.h"
#include "platform/Paths.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace {

// The save, add and organize items and a separator stay when the menu is rebuilt.
constexpr int GroupMenuCommands = 4;

} // namespace

void TfrmMain::connectGroupCommands()
{
    m_groupDialogs = new GroupDialogs(this);
    m_groupQuestions = m_groupDialogs;

    QToolButton* button = m_menuButtons.value(KeyDispatcher::Command::GroupsMenu);
    Q_ASSERT(button && button->menu());
    m_groupMenu = new TSorvelGroupMenu(button->menu(), GroupMenuCommands, this);
    connect(m_groupMenu, &TSorvelGroupMenu::groupClicked, this,
            [this](const QString& path) { OpenPageGroup(path, m_sgCloseFirst, false); });

    const auto on = [this](const char* name, auto slot) {
        connect(m_actions->get(name), &QAction::triggered, this, slot);
    };
    on("actSaveAsSorvelGroup", [this] { SaveAsSorvelGroup(); });
    on("actAddToSorvelGroup", [this] { AddTabToGroup(GetActivePage()); });
    on("actOrganizeSorvelGroups", [this] {
        // Until the side bar's page-group pane is there, the group to organize is picked
        // with a file dialog.
        const QString folder = Paths::groupsFolder();
        Paths::ensurePrivateFolder(folder);
        const QString file =
            m_groupQuestions->askExistingGroup(SorvelGroupTexts::OrganizeTitle, folder);
        if (!file.isEmpty())
            OrganizeSorvelGroup(file);
    });
}

void TfrmMain::setGroupQuestions(GroupCommandQuestions* questions)
{
    m_groupQuestions = questions ? questions : m_groupDialogs;
}

bool TfrmMain::GroupsChanged() const
{
    return m_groupMenu->GroupsChanged();
}

void TfrmMain::SetGroupsChanged()
{
    m_groupMenu->SetGroupsChanged();
}

QMenu* TfrmMain::groupsMenu() const
{
    return m_groupMenu->menu();
}

void TfrmMain::OpenPageGroup(const QString& fileName, bool replaceTabs, bool startupMark)
{
    const TSorvelGroup group(fileName);
    const QList<PageGroupEntry> entries = pageGroupEntries(group);
    // Nothing is closed or opened for a file that is no group; the user learns which file
    // and why. A missing file (a start-up group since deleted) opens nothing, silently.
    const QString problem = groupOpenProblem(fileName, group);
    if (!problem.isEmpty()) {
        m_groupQuestions->tell(problem);
        return;
    }
    if (entries.isEmpty())
        return;

    const bool placement = m_placeAtEnd;
    m_placeAtEnd = true;
    int first = 0;
    if (replaceTabs) {
        CloseAll();
        m_groupOpening = true;
        if (TBrowserTab* tab = GetActivePage()) {
            // The first entry's "*" is honoured like every other entry's: taken as
            // written, the tab would be sent to an address that starts with "*".
            const PageGroupEntry& entry = entries.first();
            if (!entry.stickyName.isEmpty())
                tab->SetStickyName(entry.stickyName);
            tab->setLockWhenLoaded(entry.locked);
            tab->OpenAsHome(entry.address);
        }
        first = 1;
    }
    m_groupOpening = true;
    for (qsizetype i = first; i < entries.size(); ++i) {
        const PageGroupEntry& entry = entries.at(i);
        TBrowserTab* tab = NewTab();
        if (startupMark)
            tab->SetStartupMark(true);
        if (!entry.stickyName.isEmpty())
            tab->SetStickyName(entry.stickyName);
        if (entry.locked)
            tab->setLockWhenLoaded(true);
        tab->OpenAsHome(entry.address);
    }
    m_groupOpening = false;
    m_placeAtEnd = placement;
}

void TfrmMain::SaveAsSorvelGroup()
{
    // Windows that were never shown (pop-ups still being classified) are no part of what
    // the user sees, so they are dropped rather than saved.
    const auto all = tabs();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if (!(*it)->TabVisible()) {
            m_pcPage->removePage(*it);
            delete *it;
        }
    }
    QList<PageGroupEntry> shown;
    const auto remaining = tabs();
    for (const TBrowserTab* tab : remaining)
        shown.append({tab->StickyName(), tab->GetAddress(), tab->Locked()});

    const GroupCommandOutcome outcome = saveTabsAsGroup(shown, m_groupQuestions);
    if (outcome.result == TSorvelGroup::SaveResult::Failed)
        m_groupQuestions->tell(outcome.message);
    SetGroupsChanged();
}

void TfrmMain::AddTabToGroup(TBrowserTab* tab)
{
    if (!tab)
        return;
    const QString folder = Paths::groupsFolder();
    Paths::ensurePrivateFolder(folder);
    const QString file = m_groupQuestions->askExistingGroup(SorvelGroupTexts::AddTitle, folder);
    if (!file.isEmpty()) {
        const GroupCommandOutcome outcome = addTabToGroupFile(
            file, {tab->StickyName(), tab->GetAddress(), tab->Locked()}, m_groupQuestions);
        if (outcome.result == TSorvelGroup::SaveResult::Failed)
            m_groupQuestions->tell(outcome.message);
    }
    SetGroupsChanged();
}

void TfrmMain::OrganizeSorvelGroup(const QString& fileName)
{
    TfrmSorvelGroup dialog(this, fileName, m_groupQuestions);
    if (!dialog.readError().isEmpty()) {
        // Its rows could not be shown, and OK could not write them back.
        m_groupQuestions->tell(groupOpenProblem(fileName, TSorvelGroup(fileName)));
        return;
    }
    dialog.setFont(font());
    dialog.exec();
    SetGroupsChanged();
}
