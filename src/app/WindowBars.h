#pragma once

#include <QObject>
#include <QString>

class BarsControl;
class MainToolbar;
class MenuBand;
class MenuBuilder;
class TfrmMain;
class Throbber;
struct WindowSettings;

// The window's bands: the menu band with the logo area, the main toolbar with its saved
// button layout, and the rebar that holds them with the address band (BarsControl does the
// bands' own work). Made in two steps, as the window makes the address band in between.
class WindowBars final : public QObject
{
    Q_DISABLE_COPY_MOVE(WindowBars)

public:
    // The menu band, its logo area and the toolbar.
    WindowBars(TfrmMain& window, MenuBuilder& menus, const WindowSettings& settings);
    // The bands around the window's address band, and the toolbar's saved layout.
    void placeBands();
    // The bars and the View menu's check marks as the working copies say.
    void showAsSet();

    MenuBand* menuBand() const { return m_tbMenu; }
    Throbber* throbber() const { return m_throbber; }
    MainToolbar* toolbar() const { return m_tbMain; }
    BarsControl* controls() const { return m_bars; }

    // The toolbar's layout file in the program folder.
    QString toolbarFile() const;
    void loadToolbarLayout(bool reset);
    void saveToolbarLayout();
    // "Customize Toolbar", modal; afterwards, whatever the answer, the layout is saved.
    void customizeToolbar();

private:
    TfrmMain& m_window;
    const WindowSettings& m_settings;
    MenuBand* m_tbMenu = nullptr;
    Throbber* m_throbber = nullptr;
    MainToolbar* m_tbMain = nullptr;
    BarsControl* m_bars = nullptr;
};
