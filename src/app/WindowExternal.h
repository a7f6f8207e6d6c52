#pragma once

#include <QObject>

class MenuBand;
class QMenu;
class RegistryHive;
class TfrmMain;
class WindowQuestions;
struct DesktopApplication;
struct MainWindowOptions;

// What goes between the window and other programs: links dropped on the tab strip, the
// launch image (open in another browser, drag out as a shortcut), editing the page in a
// program the desktop registers for web pages, and the offer to become the default browser.
class WindowExternal final : public QObject
{
    Q_DISABLE_COPY_MOVE(WindowExternal)

public:
    // Puts the drop target on the strip and the launch image on the menu band.
    WindowExternal(TfrmMain& window, WindowQuestions& questions, RegistryHive& hive,
                   MenuBand& menuBand);

    // Opens the saved page of the active tab in `program`.
    void editDocumentWith(const DesktopApplication& program);
    // Opens a web address in the desktop's browser, never this program: the launch image's
    // click and drop. Nothing happens for other addresses or when there is no other browser.
    void launchInOtherBrowser(const QString& address);
    // A link dropped on the tab of the strip at `tabIndex`.
    void dropOnTab(int tabIndex, const QString& address);
    // The start-up offer, when the window was given a question to ask and takes no picture.
    void runDefaultBrowserCheck(const MainWindowOptions& start);

private:
    void fillEditMenu(QMenu* menu);

    TfrmMain& m_window;
    WindowQuestions& m_questions;
    RegistryHive& m_hive;
};
