#pragma once

#include "groups/GroupCommands.h"

#include <QStringList>

#include <functional>

// Answers every question of the page-group commands from a script and keeps what was
// asked and told.
class ScriptedGroupQuestions final : public GroupCommandQuestions
{
public:
    QString saveAs;   // the answer of the save dialog; empty: cancelled
    QString existing; // the answer of the open dialogs; empty: cancelled
    Answer overwrite = Answer::Yes;
    bool openManyTabs = false; // the answer to opening more than TabsWithoutAsking tabs
    // What the organize dialog does with the file; empty: nothing.
    std::function<void(const QString& fileName)> organizeWith;
    // Runs while a question is open, as the user or another program might meanwhile.
    std::function<void()> whileAsking;

    // "save <folder>", "overwrite <path>", "<title> <folder>", "organize <file>",
    // "open <count> tabs <file>"
    QStringList asked;
    QStringList told;

    QString askFileName(const QString& startFolder) override
    {
        asked << QStringLiteral("save ") + startFolder;
        meanwhile();
        return saveAs;
    }
    Answer askOverwrite(const QString& path) override
    {
        asked << QStringLiteral("overwrite ") + path;
        return overwrite;
    }
    QString askExistingGroup(const QString& title, const QString& startFolder) override
    {
        asked << title + QLatin1Char(' ') + startFolder;
        meanwhile();
        return existing;
    }
    void tell(const QString& text) override { told << text; }
    void organize(const QString& fileName) override
    {
        asked << QStringLiteral("organize ") + fileName;
        if (organizeWith)
            organizeWith(fileName);
    }

    bool askOpenManyTabs(const QString& fileName, int count) override
    {
        asked << QStringLiteral("open %1 tabs %2").arg(count).arg(fileName);
        return openManyTabs;
    }

private:
    void meanwhile()
    {
        if (whileAsking)
            whileAsking();
    }
};
