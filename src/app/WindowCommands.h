#pragma once

#include "app/KeyDispatcher.h"
#include "app/WindowHelp.h"

#include <QObject>

#include <functional>
#include <utility>
#include <vector>

class MenuBand;
class RegistryHive;
class TfrmMain;
class WindowQuestions;
struct WindowSettings;

// The window's commands: the actions behind the menus and buttons, connected to the window's
// entry points, and the keyboard table's entries, which the menus and buttons run too.
class WindowCommands final : public QObject
{
    Q_DISABLE_COPY_MOVE(WindowCommands)

public:
    using Command = KeyDispatcher::Command;

    // Connects the actions. `settings` are the window's working copies; Open New Tabs in
    // Foreground changes them.
    WindowCommands(TfrmMain& window, WindowSettings& settings, WindowQuestions& questions,
                   RegistryHive& hive, MenuBand& menuBand);

    // What a command of the keyboard table runs; the keys, the menu items and the buttons
    // bound to it run this.
    void run(Command command);
    // What the keyboard table needs to know of the window at the moment of a key.
    KeyDispatcher::Context keyContext() const;
    // The actions' Alt shortcuts, off while the Alt keys are left to the page.
    void applyAltShortcuts();
    // The Options menu's content switches checked as the switches are.
    void showContentSwitches();
    // Pelvane Options (TfrmMain::ShowOptions).
    void showOptions();

private:
    using Handler = std::pair<Command, std::function<void()>>;

    // The table of what each command runs.
    void bindCommands();
    bool handles(Command command) const;
    // Cut, Copy, Paste and Select All go to what the user is working in.
    void editCommand(Command command);
    // A new tab as the new-tab setting says (blank, this page, or home), the address box
    // focused.
    void newBlankFromAction();
    void openFileDialog();
    void updateTextSizeChecks();
    // The address box, when its band is shown.
    void focusAddressBox(Qt::FocusReason reason);

    TfrmMain& m_window;
    WindowSettings& m_settings;
    WindowQuestions& m_questions;
    RegistryHive& m_hive;
    MenuBand& m_menuBand;
    WindowHelp m_help;
    std::vector<Handler> m_handlers;
};
