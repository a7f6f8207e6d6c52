#pragma once

#include <QObject>
#include <QString>

#include <functional>

class AddressBand;
class BarsControl;
class MainActions;
class MainToolbar;
class MenuBand;
class MenuBuilder;
class QMainWindow;
class TabSet;
class Throbber;
class TPVStatusBar;
struct WindowSettings;

// The window's bands: the menu band with the logo area, the main toolbar with its saved
// button layout, and the rebar that holds them with the address band (BarsControl does the
// bands' own work). Made in two steps, as the window makes the address band in between.
class WindowBars final : public QObject
{
    Q_DISABLE_COPY_MOVE(WindowBars)

public:
    struct Parts
    {
        QMainWindow& window; // the rebar becomes its menu widget; the bands' parent
        MenuBuilder& menus;
        const MainActions& actions;
        const WindowSettings& settings; // the working copies: which bars are shown
        const TabSet& tabs;             // the logo area turns while the active tab loads
        TPVStatusBar& statusBar;
        std::function<bool()> fullScreen; // the window is in full screen now
    };

    // The menu band, its logo area and the toolbar.
    explicit WindowBars(Parts parts);
    // The bands around the window's address band, and the toolbar's saved layout.
    void placeBands(AddressBand& address);
    // The bars and the View menu's check marks as the working copies say.
    void showAsSet();

    MenuBand* menuBand() const { return m_tbMenu; }
    Throbber* throbber() const { return m_throbber; }
    MainToolbar* toolbar() const { return m_tbMain; }
    BarsControl* controls() const { return m_bars; }

    // The toolbar's layout file in the program folder.
    static QString toolbarFile();
    void loadToolbarLayout(bool reset);
    void saveToolbarLayout();
    // "Customize Toolbar", modal; afterwards, whatever the answer, the layout is saved.
    void customizeToolbar();

private:
    Parts m_parts;
    MenuBand* m_tbMenu = nullptr;
    Throbber* m_throbber = nullptr;
    MainToolbar* m_tbMain = nullptr;
    BarsControl* m_bars = nullptr;
};
