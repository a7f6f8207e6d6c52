#include "commands/MenuLayout.h"

#include <algorithm>
#include <iterator>

namespace {

using Kind = MenuEntry::Kind;
using A = ActionId;

constexpr MenuEntry item(ActionId action)
{
    return {Kind::Action, action, MenuId::None};
}
constexpr MenuEntry separator()
{
    return {Kind::Separator, {}, MenuId::None};
}
constexpr MenuEntry submenu(MenuId id)
{
    return {Kind::Submenu, {}, id};
}

constexpr MenuEntry File[] = {
    submenu(MenuId::NewBrowser),
    item(A::actOpen),
    separator(),
    item(A::actSaveAs),
    item(A::actSaveAsSorvelGroup),
    separator(),
    item(A::mnuFileSendLink),
    item(A::mnuFileSendPage),
    separator(),
    item(A::actPageSetup),
    item(A::actPrint),
    separator(),
    item(A::actProperties),
    item(A::actWorkOffline),
    separator(),
    item(A::actClose),
    submenu(MenuId::CloseAll),
    separator(),
    item(A::actExit),
};
constexpr MenuEntry NewBrowser[] = {
    item(A::pmFileNewBlank),
    item(A::actNewHome),
    item(A::actNewSearch),
    item(A::actNewCurrent),
    separator(),
    item(A::actNewPrivate),
};
constexpr MenuEntry CloseAll[] = {
    item(A::actCloseAll),
    item(A::actCloseAllKeepCurrent),
    item(A::actCloseAllShowList),
};
constexpr MenuEntry Edit[] = {
    item(A::actCut),       item(A::actCopy), item(A::actPaste), separator(),
    item(A::actSelectAll), separator(),      item(A::actFind),
};
constexpr MenuEntry View[] = {
    item(A::actViewToolbar),
    item(A::actViewMenuBar),
    item(A::actViewAddressBar),
    item(A::actViewLinksBar),
    item(A::actViewStatusBar),
    item(A::actViewSorvelBar),
    separator(),
    item(A::actViewStop),
    item(A::actViewRefresh),
    separator(),
    submenu(MenuId::TextSize),
    item(A::actViewSource),
    separator(),
    item(A::actFullScreen),
};
constexpr MenuEntry TextSize[] = {
    item(A::actFontLargest), item(A::actFontLarge),    item(A::actFontMedium),
    item(A::actFontSmaller), item(A::actFontSmallest), separator(),
    item(A::actZoomIn),      item(A::actZoomOut),      item(A::actZoomReset),
};
constexpr MenuEntry Go[] = {
    item(A::actGoBack),
    item(A::actGoForward),
    separator(),
    item(A::actGoHome),
    item(A::actGoSearch),
    item(A::actTabHome),
    separator(),
    item(A::mnuGoMail),
    item(A::mnuGoNews),
    separator(),
    item(A::actPreviousBrowserTab),
    item(A::actNextBrowserTab),
    item(A::actFollowNextLink),
};
constexpr MenuEntry Favorites[] = {
    item(A::actAddToFavorites),
    item(A::actOrganizeFavorites),
    separator(),
};
constexpr MenuEntry SearchEngineMenu[] = {
    item(A::mnuOrganizeSearchEngines),
    separator(),
};
constexpr MenuEntry Groups[] = {
    item(A::actSaveAsSorvelGroup),
    item(A::actAddToSorvelGroup),
    item(A::actOrganizeSorvelGroups),
    separator(),
};
constexpr MenuEntry Options[] = {
    item(A::pmOptionsLoadImages),
    item(A::pmOptionsLoadVideos),
    item(A::pmOptionsLoadSounds),
    item(A::pmOptionsLoadAnimations),
    separator(),
    item(A::actForeground),
    separator(),
    item(A::actOptions),
};
constexpr MenuEntry Tools[] = {
    item(A::actReadMail),
    submenu(MenuId::ToolsFavorites),
    separator(),
    item(A::mnuFormPersonal),
    item(A::mnuFormBusiness),
    item(A::actMyProfile),
    item(A::actSavedPasswords),
    separator(),
    item(A::mnuClearAddresses),
    item(A::actBlockedContent),
    item(A::actInternetOptions),
    separator(),
    item(A::actDeveloperTools),
};
constexpr MenuEntry Mail[] = {
    item(A::actReadMail),
    item(A::pmMailNewMessage),
    item(A::pmMailSendLink),
    item(A::pmMailSendFile),
    separator(),
    item(A::pmMailReadNews),
    separator(),
};
// Synchronizing offline pages belongs to a facility this desktop does not have, so the
// submenu holds no "Synchronize Offline..." item.
constexpr MenuEntry ToolsFavorites[] = {
    item(A::actImportBookmarks),
    item(A::actExportFavorites),
};
constexpr MenuEntry Help[] = {
    item(A::actHelpTopics),
    item(A::actSupport),
    separator(),
    item(A::actAbout),
};

constexpr MenuDescription Menus[] = {
    {MenuId::File, "&File", "mnuFile", File},
    {MenuId::Edit, "&Edit", "mnuEdit", Edit},
    {MenuId::View, "&View", "mnuView", View},
    {MenuId::Go, "&Go", "mnuGo", Go},
    {MenuId::Favorites, "F&avorites", "mnuFavorites", Favorites},
    {MenuId::Groups, "&SorvelGroups", "mnuSorvelGroups", Groups},
    {MenuId::Options, "&Options", "mnuOptions", Options},
    {MenuId::Tools, "&Tools", "mnuTools", Tools},
    {MenuId::Tabs, "Tab&s", "mnuTabs", {}},
    {MenuId::Help, "&Help", "mnuHelp", Help},
};
constexpr MenuDescription Submenus[] = {
    {MenuId::NewBrowser, "&New Browser", "mnuFileNew", NewBrowser},
    {MenuId::CloseAll, "Close A&ll", "mnuFileCloseAll", CloseAll},
    {MenuId::TextSize, "Te&xt Size", "pmFont", TextSize},
    {MenuId::SearchEngines, "&Search", "pmSearch", SearchEngineMenu},
    {MenuId::Mail, "&Mail", "pmMail", Mail},
    {MenuId::EditWith, "&Edit with", "pmEditWith", {}},
    {MenuId::ToolsFavorites, "&Favorites", "mnuToolsFavorites", ToolsFavorites},
};

using Style = ToolbarButton::Style;
constexpr ToolbarButton Buttons[] = {
    {0, "tbNew", Style::DropDown, A::actNewBlank, "New", MenuId::NewBrowser},
    {1, "tbSep1", Style::Separator},
    {2, "tbBack", Style::Button, A::actGoBack, "Back"},
    {3, "tbForward", Style::Button, A::actGoForward, "Forward"},
    {4, "tbSep2", Style::Separator},
    {5, "tbStop", Style::Button, A::actViewStop, "Stop"},
    {6, "tbRefresh", Style::Button, A::actViewRefresh, "Refresh"},
    {7, "tbHome", Style::Button, A::actGoHome, "Home"},
    {8, "tbSearch", Style::DropDown, A::actGoSearch, "Search", MenuId::SearchEngines},
    {9, "tbSep3", Style::Separator},
    {10, "tbFavorites", Style::Button, A::tbFavorites, "Favorites"},
    {11, "tbVarloBar", Style::Check, A::tbVarloBar, "SorvelBar"},
    {12, "tbReadMail", Style::DropDown, A::actReadMail, "Mail", MenuId::Mail},
    {13, "tbSep4", Style::Separator},
    {14, "tbFont", Style::DropDown, A::tbFont, "Font", MenuId::TextSize},
    {15, "tbPrint", Style::Button, A::actPrint, "Print"},
    {16, "tbViewSource", Style::DropDown, A::actViewSource, "Source", MenuId::EditWith},
    {17, "tbLoadImages", Style::Check, A::tbLoadImages, "Images"},
    {18, "tbFullScreen", Style::Check, A::actFullScreen, "FullScreen"},
};

} // namespace

std::span<const MenuDescription> MenuLayout::menuBar()
{
    return Menus;
}

const MenuDescription* MenuLayout::menu(MenuId id)
{
    const std::span<const MenuDescription> tables[] = {Menus, Submenus};
    for (const std::span<const MenuDescription> table : tables) {
        const auto found = std::find_if(table.begin(), table.end(),
                                        [id](const MenuDescription& m) { return m.id == id; });
        if (found != table.end())
            return &*found;
    }
    return nullptr;
}

std::span<const ToolbarButton> ToolbarLayout::buttons()
{
    return Buttons;
}

const ToolbarButton* ToolbarLayout::byTag(int tag)
{
    return tag >= 0 && tag < int(std::size(Buttons)) ? &Buttons[tag] : nullptr;
}
