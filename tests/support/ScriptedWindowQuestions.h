#pragma once

#include "app/WindowQuestions.h"
#include "settings/PVOptions.h"

#include <QDialog>

// Answers the main window's own questions as a test sets them up and records each one
// ("closeAll", "clearAddresses", "tabsToClose <lines>", "open") and everything told.
class ScriptedWindowQuestions final : public WindowQuestions
{
public:
    bool closeAllAnswer = true;
    bool dontAskAgain = false; // as if the box's check box were ticked
    bool clearAnswer = true;
    bool exitAnswer = true;
    bool restoreAnswer = true;
    std::optional<QList<int>> tabsToClose; // nothing: cancelled
    QString fileToOpen;
    std::optional<QString> stickyName; // nothing: cancelled
    // Works the window's dialogs (it presses OK or Cancel itself); empty: Cancel.
    std::function<void(QDialog&)> onDialog;
    // Runs while a question is open, as the user or another program might meanwhile.
    std::function<void()> whileAsking;

    QStringList asked;
    QStringList told;

    bool confirmCloseAll(TPVOptions& options) override
    {
        asked << QStringLiteral("closeAll");
        if (dontAskAgain)
            options.SetConfirmCloseAll(false);
        meanwhile();
        return closeAllAnswer;
    }
    bool confirmClearAddresses() override
    {
        asked << QStringLiteral("clearAddresses");
        meanwhile();
        return clearAnswer;
    }
    std::optional<QList<int>> chooseTabsToClose(const QStringList& lines) override
    {
        asked << QStringLiteral("tabsToClose ") + lines.join(QLatin1Char('|'));
        meanwhile();
        return tabsToClose;
    }
    std::optional<QString> askStickyName() override
    {
        asked << QStringLiteral("stickyName");
        meanwhile();
        return stickyName;
    }
    QString chooseFileToOpen() override
    {
        asked << QStringLiteral("open");
        return fileToOpen;
    }
    bool confirmExitWithDownloads(int running) override
    {
        asked << QStringLiteral("exitWithDownloads %1").arg(running);
        meanwhile();
        return exitAnswer;
    }
    bool askRestoreAfterRepeatedCrash(int tabCount) override
    {
        asked << QStringLiteral("restoreAfterCrash %1").arg(tabCount);
        return restoreAnswer;
    }
    void tell(const QString& text) override { told << text; }
    int runDialog(QDialog& dialog) override
    {
        asked << QStringLiteral("dialog ") + dialog.objectName();
        if (onDialog)
            onDialog(dialog);
        else
            dialog.reject();
        return dialog.result();
    }

private:
    void meanwhile()
    {
        if (whileAsking)
            whileAsking();
    }
};
