#pragma once

#include <QObject>

#include <functional>

class QMenu;
class QToolBar;
class Questions;
class RegistryHive;
class TabSet;
struct DesktopApplication;

// What goes between the window and other programs: links dropped on the tab strip, the
// launch image (open in another browser, drag out as a shortcut), editing the page in a
// program the desktop registers for web pages, and the offer to become the default browser.
class WindowExternal final : public QObject
{
    Q_DISABLE_COPY_MOVE(WindowExternal)

public:
    struct Parts
    {
        TabSet& tabs;       // its strip takes the drops; the active tab is launched or edited
        QToolBar& menuBand; // the launch image goes at its far end
        QMenu& editMenu;    // the Source button's programs
        Questions& questions;
        RegistryHive& hive;
    };

    // Puts the drop target on the strip and the launch image on the menu band.
    explicit WindowExternal(Parts parts, QObject* parent = nullptr);

    // Opens the saved page of the active tab in `program`.
    void editDocumentWith(const DesktopApplication& program);
    // Opens a web address in the desktop's browser, never this program: the launch image's
    // click and drop. Nothing happens for other addresses or when there is no other browser.
    void launchInOtherBrowser(const QString& address);
    // A link dropped on the tab of the strip at `tabIndex`.
    void dropOnTab(int tabIndex, const QString& address);
    // The start-up offer: `ask` asks whether to become the default browser (true for Yes);
    // empty, nothing runs. A failure is told.
    void runDefaultBrowserCheck(const std::function<bool()>& ask);

private:
    void fillEditMenu(QMenu* menu);

    Parts m_parts;
};
