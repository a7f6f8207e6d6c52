#pragma once

#include "sidebar/SideBarHost.h"

#include <QStringList>

// A side bar's window that records what it was asked to do, and script answers to the side
// bar's questions.
class FakeSideBarHost final : public SideBarHost
{
public:
    NewTabFlags flags;
    bool autoExpand = true;
    bool closeFirst = false;
    // "open <address> <newTab> <shift>", "newtab <address>", "group <file> <replace> <mark>",
    // "organize <file>", "changed"
    QStringList calls;
    QStringList status;

    void OpenAddress(const QString& address, bool newTab, bool shiftHeld) override
    {
        calls << QStringLiteral("open %1 %2 %3").arg(address).arg(newTab).arg(shiftHeld);
    }
    void OpenInNewTab(const QString& address) override { calls << "newtab " + address; }
    void OpenPageGroup(const QString& fileName, bool replaceTabs, bool startupMark) override
    {
        calls << QStringLiteral("group %1 %2 %3").arg(fileName).arg(replaceTabs).arg(startupMark);
    }
    void OrganizePageGroup(const QString& fileName) override { calls << "organize " + fileName; }
    void SetGroupsChanged() override { calls << QStringLiteral("changed"); }
    bool SGCloseFirst() const override { return closeFirst; }
    NewTabFlags newTabFlags() const override { return flags; }
    bool SBAutoExpand() const override { return autoExpand; }
    void SetStatusText(const QString& text) override { status << text; }
};

class ScriptedSideBarQuestions final : public SideBarQuestions
{
public:
    QList<bool> confirmations;              // answers in order; none left: No
    QList<std::optional<QString>> texts;    // answers in order; none left: cancelled
    QStringList asked;                      // "<title>: <text or prompt> [<proposed>]"
    QStringList told;

    bool confirm(const QString& title, const QString& text) override
    {
        asked << title + QStringLiteral(": ") + text;
        return confirmations.isEmpty() ? false : confirmations.takeFirst();
    }
    std::optional<QString> askText(const QString& title, const QString& prompt,
                                   const QString& proposed) override
    {
        asked << QStringLiteral("%1: %2 [%3]").arg(title, prompt, proposed);
        if (texts.isEmpty())
            return std::nullopt;
        std::optional<QString> answer = texts.takeFirst();
        // Qt 6.8.2's debug checks stop a test that gives an emptied list new answers ({...})
        // when taking left room at its front, as takeFirst does for this type; a fresh list
        // has none.
        if (texts.isEmpty())
            texts = QList<std::optional<QString>>();
        return answer;
    }
    void tell(const QString& text) override { told << text; }
};
