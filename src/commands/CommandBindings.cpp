#include "commands/CommandBindings.h"

namespace {

constexpr ActionCommand ActionCommands[] = {
    {ActionId::actNewBlank, KeyCommand::NewBlank},
    {ActionId::actNewHome, KeyCommand::NewHome},
    {ActionId::actNewPrivate, KeyCommand::NewPrivate},
    {ActionId::actOpen, KeyCommand::Open},
    {ActionId::actClose, KeyCommand::Close},
    {ActionId::actCloseAll, KeyCommand::CloseAll},
    {ActionId::actGoBack, KeyCommand::Back},
    {ActionId::actGoForward, KeyCommand::Forward},
    {ActionId::actTabHome, KeyCommand::TabHome},
    {ActionId::actViewStop, KeyCommand::Stop},
    {ActionId::actViewRefresh, KeyCommand::Refresh},
    {ActionId::actViewStopAll, KeyCommand::StopAll},
    {ActionId::actRefreshAll, KeyCommand::RefreshAll},
    {ActionId::actPreviousBrowserTab, KeyCommand::PreviousTab},
    {ActionId::actNextBrowserTab, KeyCommand::NextTab},
    {ActionId::actPrint, KeyCommand::Print},
    {ActionId::actSaveAs, KeyCommand::SaveAs},
    {ActionId::actCut, KeyCommand::Cut},
    {ActionId::actCopy, KeyCommand::Copy},
    {ActionId::actPaste, KeyCommand::Paste},
    {ActionId::actSelectAll, KeyCommand::SelectAll},
    {ActionId::actFind, KeyCommand::Find},
    {ActionId::actTabLocked, KeyCommand::ToggleLock},
    {ActionId::actStickyName, KeyCommand::StickyName},
    {ActionId::actFollowNextLink, KeyCommand::FollowNextLink},
    {ActionId::actForeground, KeyCommand::ToggleForeground},
    {ActionId::actSaveAsSorvelGroup, KeyCommand::SaveGroup},
    {ActionId::actAddToSorvelGroup, KeyCommand::AddToGroup},
    {ActionId::actAddToPopupSorvel, KeyCommand::AddToPopupList},
    {ActionId::actFullScreen, KeyCommand::FullScreen},
    {ActionId::actHelpTopics, KeyCommand::HelpTopics},
};

// The key clicks the menu item, which does the work (the item shows and keeps the state).
constexpr ActionCommand KeyActions[] = {
    {ActionId::actViewSorvelBar, KeyCommand::ToggleSideBar},
    {ActionId::actZoomIn, KeyCommand::ZoomIn},
    {ActionId::actZoomOut, KeyCommand::ZoomOut},
    {ActionId::actZoomReset, KeyCommand::ZoomReset},
    {ActionId::actDeveloperTools, KeyCommand::DeveloperTools},
};

constexpr MenuCommand MenuCommands[] = {
    {KeyCommand::FileMenu, MenuId::File},           {KeyCommand::EditMenu, MenuId::Edit},
    {KeyCommand::ViewMenu, MenuId::View},           {KeyCommand::GoMenu, MenuId::Go},
    {KeyCommand::FavoritesMenu, MenuId::Favorites}, {KeyCommand::GroupsMenu, MenuId::Groups},
    {KeyCommand::OptionsMenu, MenuId::Options},     {KeyCommand::ToolsMenu, MenuId::Tools},
    {KeyCommand::TabsMenu, MenuId::Tabs},           {KeyCommand::HelpMenu, MenuId::Help},
};

} // namespace

std::span<const ActionCommand> CommandBindings::actionCommands()
{
    return ActionCommands;
}

std::span<const ActionCommand> CommandBindings::keyActions()
{
    return KeyActions;
}

std::optional<ActionId> CommandBindings::actionFor(KeyCommand command)
{
    for (const auto rows : {actionCommands(), keyActions()}) {
        for (const ActionCommand& row : rows) {
            if (row.command == command)
                return row.action;
        }
    }
    return std::nullopt;
}

std::span<const MenuCommand> CommandBindings::menuCommands()
{
    return MenuCommands;
}
