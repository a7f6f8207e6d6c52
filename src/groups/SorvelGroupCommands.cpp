#include "groups/SorvelGroupCommands.h"

#include "platform/FolderListing.h"
#include "platform/FolderMenu.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

QList<FolderMenuEntry> groupMenuEntries(const QString& folder)
{
    QList<FolderMenuEntry> folders;
    QList<FolderMenuEntry> files;
    const QFileInfoList items = listFolder(folder, QDir::Dirs | QDir::Files | QDir::Hidden);
    for (const QFileInfo& item : items) {
        const QString name = item.fileName();
        if (item.isDir()) {
            if (!name.startsWith(QLatin1Char('.')))
                folders.append({folderMenuCaption(name), item.absoluteFilePath(), true, {}, {}});
        } else if (IsPageGroupFile(name)) {
            files.append(
                {folderMenuCaption(name.chopped(4)), item.absoluteFilePath(), false, {}, {}});
        }
    }
    sortFolderMenuEntries(folders);
    sortFolderMenuEntries(files);
    return folders + files;
}

SorvelGroupCommands::SorvelGroupCommands(GroupCommandHost& host, GroupCommandQuestions* questions,
                                         QMenu* menu, QObject* parent)
    : QObject(parent)
    , m_host(host)
    , m_ownQuestions(questions)
    , m_questions(questions)
{
    m_menu = new FolderMenu(menu, GroupMenuCommands, &Paths::groupsFolder, &groupMenuEntries, this);
    connect(m_menu, &FolderMenu::itemClicked, this,
            [this](const QString& path) { OpenPageGroup(path, m_host.SGCloseFirst(), false); });
}

void SorvelGroupCommands::setQuestions(GroupCommandQuestions* questions)
{
    m_questions = questions ? questions : m_ownQuestions;
}

bool SorvelGroupCommands::GroupsChanged() const
{
    return m_menu->changed();
}

void SorvelGroupCommands::SetGroupsChanged()
{
    m_menu->setChanged();
}

QMenu* SorvelGroupCommands::menu() const
{
    return m_menu->menu();
}

void SorvelGroupCommands::OpenPageGroup(const QString& fileName, bool replaceTabs, bool startupMark)
{
    const TSorvelGroup group(fileName);
    const QString problem = groupOpenProblem(fileName, group);
    if (!problem.isEmpty()) {
        m_questions->tell(problem);
        return;
    }
    const QList<PageGroupEntry> entries = pageGroupEntries(group);
    if (entries.size() > SorvelGroupTexts::TabsWithoutAsking &&
        !m_questions->askOpenManyTabs(fileName, int(entries.size())))
        return;
    if (!entries.isEmpty())
        m_host.openGroupEntries(entries, replaceTabs, startupMark);
}

void SorvelGroupCommands::SaveAsSorvelGroup()
{
    const GroupCommandOutcome outcome = saveTabsAsGroup(m_host.shownTabs(), m_questions);
    if (outcome.result == TSorvelGroup::SaveResult::Failed)
        m_questions->tell(outcome.message);
    SetGroupsChanged();
}

void SorvelGroupCommands::AddTabToGroup(const PageGroupEntry& tab)
{
    const QString folder = Paths::groupsFolder();
    Paths::ensurePrivateFolder(folder);
    const QString file = m_questions->askExistingGroup(SorvelGroupTexts::AddTitle, folder);
    if (!file.isEmpty()) {
        const GroupCommandOutcome outcome = addTabToGroupFile(file, tab, m_questions);
        if (outcome.result == TSorvelGroup::SaveResult::Failed)
            m_questions->tell(outcome.message);
    }
    SetGroupsChanged();
}

void SorvelGroupCommands::OrganizeSorvelGroup(const QString& fileName)
{
    m_questions->organize(fileName);
    SetGroupsChanged();
}

void SorvelGroupCommands::OrganizeSorvelGroups()
{
    // Until the side bar's page-group pane is there, the group to organize is picked with a
    // file dialog.
    const QString folder = Paths::groupsFolder();
    Paths::ensurePrivateFolder(folder);
    const QString file = m_questions->askExistingGroup(SorvelGroupTexts::OrganizeTitle, folder);
    if (!file.isEmpty())
        OrganizeSorvelGroup(file);
}
