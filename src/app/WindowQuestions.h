#pragma once

#include "address/AddressQuestions.h"
#include "browser/TabQuestions.h"
#include "platform/Questions.h"
#include "session/SessionQuestions.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;
class TPVOptions;

// Everything the main window and its parts ask or tell the user: the parts' own interfaces
// (each part is handed the one it uses) and the window's. The window's own dialogs answer in
// the program (WindowDialogs); tests answer from a script.
class WindowQuestions : public Questions, public TabQuestions, public SessionQuestions,
                        public AddressQuestions
{
public:
    virtual ~WindowQuestions() = default;

    // The Open command's file; empty when cancelled.
    virtual QString chooseFileToOpen() = 0;
    // Leaving while `running` downloads still run (they would be cut off): true to leave.
    virtual bool confirmExitWithDownloads(int running) = 0;
protected:
    WindowQuestions() = default;
    WindowQuestions(const WindowQuestions&) = default;
    WindowQuestions& operator=(const WindowQuestions&) = default;
};

// The questions as dialogs and message boxes owned by the main window.
class WindowDialogs final : public WindowQuestions
{
public:
    explicit WindowDialogs(QWidget* owner)
        : m_owner(owner)
    {}

    bool confirmCloseAll(TPVOptions& options) override;
    bool confirmClearAddresses() override;
    std::optional<QList<int>> chooseTabsToClose(const QStringList& lines) override;
    std::optional<QString> askStickyName() override;
    QString chooseFileToOpen() override;
    bool confirmExitWithDownloads(int running) override;
    bool askRestoreAfterRepeatedCrash(int tabCount) override;
    void tell(const QString& text) override;
    int runDialog(QDialog& dialog) override;

private:
    QWidget* m_owner;
};
