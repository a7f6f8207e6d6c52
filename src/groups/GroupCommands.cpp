#include "groups/GroupCommands.h"

#include <QDir>
#include <QFileInfo>

GroupCommandOutcome saveGroup(TSorvelGroup& group, GroupSaveQuestions* questions)
{
    GroupCommandOutcome outcome;
    QString errorText;
    QString reason;
    outcome.result = group.Save(questions, &errorText, &reason);
    if (outcome.result == TSorvelGroup::SaveResult::Failed)
        outcome.message = reason.isEmpty() ? errorText : errorText + QLatin1Char('\n') + reason;
    return outcome;
}

GroupCommandOutcome saveTabsAsGroup(const QList<PageGroupEntry>& tabs,
                                    GroupSaveQuestions* questions)
{
    TSorvelGroup group;
    for (const PageGroupEntry& tab : tabs)
        group.AddEntry(tab.stickyName, tab.address, tab.locked);
    return saveGroup(group, questions);
}

GroupCommandOutcome addTabToGroupFile(const QString& fileName, const PageGroupEntry& tab,
                                      GroupSaveQuestions* questions)
{
    // A group that cannot be read is not written either: Save refuses to replace it and
    // says why, so the pages already in it are never lost.
    TSorvelGroup group(fileName);
    group.AddEntry(tab.stickyName, tab.address, tab.locked);
    return saveGroup(group, questions);
}

QString groupOpenProblem(const QString& fileName, const TSorvelGroup& group)
{
    if (!QFileInfo(fileName).isFile())
        return {};
    QString why = group.readError();
    if (why.isEmpty() && !group.HasSection())
        why = QStringLiteral("It is not a SorvelGroup file: it has no [%1] section.")
                  .arg(SorvelGroupTexts::Section);
    if (why.isEmpty())
        return {};
    return QStringLiteral("The SorvelGroup \"%1\" cannot be opened:\n%2")
        .arg(QDir::toNativeSeparators(fileName), why);
}
