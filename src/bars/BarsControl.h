#pragma once

#include "bars/BandLayout.h"

#include <QObject>

#include <functional>

class BandPanel;
class CoolBar;
class MainActions;
class MainToolbar;
class MenuBand;
class QAction;
class QLabel;
class QMenu;
class QWidget;
class RegistryHive;

// The bands at the top of the window and what belongs to them: the four bands ("Menu",
// "Tool", "Address", "Links") in the rebar, their chevrons and chevron menus, their
// visibility as the View menu's items say, the bars' context menu (pmCustomize), and the
// saved arrangement. The window hands it the bands' contents and its actions.
class BarsControl final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BarsControl)

public:
    enum class Band
    {
        Menu,
        Tool,
        Address,
        Links
    };
    static QString nameOf(Band band);

    struct Contents
    {
        MenuBand* menuBand = nullptr;
        MainToolbar* toolbar = nullptr;
        QWidget* address = nullptr;      // the address band's content
        QLabel* addressLabel = nullptr;  // "A&ddress": its double click folds the band
    };
    // `fullScreen` tells whether the window is in full screen now.
    BarsControl(const MainActions& actions, const Contents& contents,
                std::function<bool()> fullScreen, QWidget* parent);

    CoolBar* coolBar() const { return m_coolBar; }
    BandPanel* panel(Band band) const;

    // The links bar's widget goes into the "Links" band, and its whole menu behind the
    // band's chevron. Until then the band holds an empty area.
    void setLinksWidget(QWidget* links, QMenu* linksMenu = nullptr);

    // The toolbar, address and links bands as the View menu's check marks say.
    void ApplyBarVisibility();
    bool isBandVisible(Band band) const;
    void setBandVisible(Band band, bool visible);

    // Restores the saved arrangement over the current one; saves the current one.
    void LoadBandLayout(RegistryHive& hive);
    void SaveBandLayout(RegistryHive& hive) const;

    // The bars' context menu and its "&Organize Links..." item (for the links bar).
    QMenu* customizeMenu() const { return m_pmCustomize; }
    QAction* organizeLinksItem() const { return m_organizeLinks; }
    QMenu* toolbarChevronMenu() const { return m_pmToolBarExtender; }
    QMenu* menuChevronMenu() const { return m_menuChevron; }
    // Sets the context menu's items from the bands, as it does when it opens.
    void updateCustomizeMenu();

private:
    void buildCustomizeMenu();
    void offerCustomizeMenu(QWidget* on);
    void toggleFromCustomizeMenu(QAction* item, Band band, QAction* viewItem);

    const MainActions& m_actions;
    Contents m_contents;
    std::function<bool()> m_fullScreen;
    CoolBar* m_coolBar = nullptr;
    BandPanel* m_pnlMenuBar = nullptr;
    BandPanel* m_pnlToolbar = nullptr;
    BandPanel* m_pnlAddress = nullptr;
    BandPanel* m_pnlLinks = nullptr;
    QWidget* m_linksPlaceholder = nullptr;
    QMenu* m_pmCustomize = nullptr;
    QAction* m_pmAddress = nullptr;
    QAction* m_pmToolbar = nullptr;
    QAction* m_pmMenuBar = nullptr;
    QAction* m_pmLinks = nullptr;
    QAction* m_organizeLinks = nullptr;
    QMenu* m_pmToolBarExtender = nullptr;
    QMenu* m_menuChevron = nullptr;
};
