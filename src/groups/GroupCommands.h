#pragma once

#include "groups/SorvelGroup.h"

#include <QLatin1String>
#include <QList>
#include <QString>

namespace SorvelGroupTexts {
inline constexpr QLatin1String AddTitle("Add to SorvelGroup");
inline constexpr QLatin1String OrganizeTitle("Organize SorvelGroups");
// More tabs than this from one group are opened only when the user agrees: a group file
// from outside could otherwise open thousands of tabs at once.
inline constexpr int TabsWithoutAsking = 50;
} // namespace SorvelGroupTexts

// Everything the page-group commands ask or tell the user. The widget side shows file
// dialogs and message boxes (GroupDialogs); tests answer from a script.
class GroupCommandQuestions : public GroupSaveQuestions
{
public:
    // An existing group file, or an empty text when the user cancels.
    virtual QString askExistingGroup(const QString& title, const QString& startFolder) = 0;
    // An error the user must know about; returns when the user has seen it.
    virtual void tell(const QString& text) = 0;
    // The organize dialog for one group file; returns when it has closed. A file that
    // cannot be read is told, not shown.
    virtual void organize(const QString& fileName) = 0;
    // Whether to open `count` tabs (more than TabsWithoutAsking) from the group file.
    virtual bool askOpenManyTabs(const QString& fileName, int count) = 0;

protected:
    GroupCommandQuestions() = default;
};

// What a command that writes a group came to. message is empty unless result is Failed.
struct GroupCommandOutcome
{
    TSorvelGroup::SaveResult result = TSorvelGroup::SaveResult::Cancelled;
    QString message; // "Unable to write to <file>" and the reason, on two lines
};

// Saves the group (through the questions when it has no file yet).
GroupCommandOutcome saveGroup(TSorvelGroup& group, GroupSaveQuestions* questions);

// Saves the tabs, in order, as a new group: the questions give the file name (the groups
// folder is created first so that the dialog can start there) and confirm an overwrite.
GroupCommandOutcome saveTabsAsGroup(const QList<PageGroupEntry>& tabs,
                                    GroupSaveQuestions* questions);

// Appends one tab to the group in fileName. A file that vanished since it was chosen is
// saved through the questions like a new group.
GroupCommandOutcome addTabToGroupFile(const QString& fileName, const PageGroupEntry& tab,
                                      GroupSaveQuestions* questions);

// Why a group file opens nothing, for the user: empty when the file opened (or is simply
// missing, which the callers treat as an empty group).
QString groupOpenProblem(const QString& fileName, const TSorvelGroup& group);
