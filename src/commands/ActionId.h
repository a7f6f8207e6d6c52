#pragma once

// The main window's commands: every action with its caption, shortcut and hint, shared by
// menu items, tool buttons and the keyboard. Hints are "short|long": the short part is the
// tool tip, the long part goes to the status bar. An action is named by ActionId, so a name
// that does not exist fails to compile rather than at run time.
//
// X(id, caption, shortcut as QKeySequence reads it, hint, Plain or Check)
// clang-format off
#define PELVANE_ACTIONS(X) \
    X(actNewBlank, "&Blank", "Ctrl+N", "New|Opens a new browser tab", Plain) \
    X(pmFileNewBlank, "&Blank", "", "New|Opens a new browser tab", Plain) \
    X(actNewHome, "&Home", "Ctrl+H", "New Home|Opens a new browser tab at your home page", Plain) \
    X(actNewSearch, "&Search", "Ctrl+S", "Search|Opens a new browser tab at the search page", Plain) \
    X(actNewCurrent, "&Current", "", "New Current|Open a new browser tab at the current location", Plain) \
    X(actNewPrivate, "New &Private Window", "Ctrl+Shift+P", "New Private Window|Opens a window that keeps nothing of what you do in it", Plain) \
    X(actOpen, "&Open", "Ctrl+O", "Open|Opens a new browser tab", Plain) \
    X(actClose, "&Close", "Ctrl+W", "Close|Closes the current browser tab", Plain) \
    X(actCloseAll, "Close &All", "Ctrl+Shift+W", "Close All|Closes all browser tabs", Plain) \
    X(actCloseAllKeepCurrent, "Close All -- Keep Current", "", "Close All -- Keep Current|Closes all browser tabs but the currently selected tab", Plain) \
    X(actCloseAllShowList, "Close All -- Show List", "", "Close All -- Show List|Lets you choose the browser tabs to close", Plain) \
    X(actGoBack, "&Back", "Alt+Left", "Back|Goes back", Plain) \
    X(actGoForward, "&Forward", "Alt+Right", "Forward|Goes forward", Plain) \
    X(actGoHome, "&Home", "", "Home|Goes to your home page", Plain) \
    X(actGoSearch, "&Search", "", "Search|Goes to the search page", Plain) \
    X(actViewStop, "&Stop", "Esc", "Stop|Stops loading the current document", Plain) \
    X(actViewRefresh, "&Refresh", "F5", "Refresh|Reloads the current document", Plain) \
    X(actViewStopAll, "Stop All", "Shift+Esc", "Stop All|Stops all browser tabs", Plain) \
    X(actRefreshAll, "Refresh All", "Shift+F5", "Refresh All|Refreshes all browser tabs", Plain) \
    X(actPreviousBrowserTab, "&Previous Browser Tab", "F2", "Previous|Goes to the previous browser tab", Plain) \
    X(actNextBrowserTab, "&Next Browser Tab", "F3", "Next|Goes to the next browser tab", Plain) \
    X(actPrint, "&Print", "Ctrl+P", "Print|Prints the current document", Plain) \
    X(actPageSetup, "Page Set&up...", "", "Page Setup|Changes printer page settings", Plain) \
    X(actSaveAs, "&Save As...", "Ctrl+Shift+S", "Save As|Saves the current document", Plain) \
    X(actViewSource, "Sour&ce", "", "View Source|Views the source of the current document", Plain) \
    X(actProperties, "P&roperties", "", "Properties|Displays the properties of the active browser", Plain) \
    X(actCut, "C&ut", "Ctrl+X", "Cut|Cuts the selection to the clipboard", Plain) \
    X(actCopy, "&Copy", "Ctrl+C", "Copy|Copies the selection to the clipboard", Plain) \
    X(actPaste, "&Paste", "Ctrl+V", "Paste|Pastes the selection from the clipboard", Plain) \
    X(actSelectAll, "&Select All...", "Ctrl+A", "Select All|Selects the whole document", Plain) \
    X(actFind, "&Find on this page...", "Ctrl+F", "Find|Displays the find dialog", Plain) \
    X(actSetMediumFont, "&Medium", "", "Medium|Changes this document to a medium sized font", Plain) \
    X(actInternetOptions, "&Internet Options...", "", "Internet Options|Changes your internet options", Plain) \
    X(actDeveloperTools, "&Developer Tools", "Ctrl+Shift+I", "Developer Tools|Shows the developer tools for the current document", Plain) \
    X(actBlockedContent, "&Blocked Content...", "", "Blocked Content|Lists what content blocking kept from the current page", Plain) \
    X(mnuClearAddresses, "Clear &Addresses", "", "Clear Addresses|Clears the address bar", Plain) \
    X(actAddToFavorites, "&Add to Favorites", "", "Add to Favorites|Adds the current document to your favorites", Plain) \
    X(mnuOrganizeSearchEngines, "&Organize Search Engines...", "", "Organize Search Engines|Edits the list of search engines", Plain) \
    X(actOrganizeFavorites, "&Organize Favorites...", "", "Organize Favorites|Organizes your favorites folder", Plain) \
    X(actSynchSubscriptions, "&Synchronize Subscriptions...", "", "Synchronize Subscriptions|Synchronizes your offline subscriptions", Plain) \
    X(actImportBookmarks, "&Import Bookmarks...", "", "Import Bookmarks|Imports bookmarks from another browser into your favorites", Plain) \
    X(actExportFavorites, "&Export Favorites...", "", "Export Favorites|Saves your favorites as a bookmark file that other browsers import", Plain) \
    X(actReadMail, "&Read Mail...", "", "Read Mail|Read your e-mail", Plain) \
    X(pmMailNewMessage, "Ne&w Message...", "", "New Message|Creates a new e-mail message", Plain) \
    X(pmMailSendLink, "Send &Link by Email...", "", "Send a Link|Sends a link via e-mail", Plain) \
    X(pmMailSendFile, "Send &Page by Email...", "", "Send File", Plain) \
    X(pmMailReadNews, "Read &News", "", "Read News|Opens your news reader", Plain) \
    X(mnuGoMail, "&Mail", "", "Read Mail|Read your e-mail", Plain) \
    X(mnuGoNews, "&News", "", "Read News|Opens your news reader", Plain) \
    X(mnuFileSendLink, "Send &Link by Email...", "", "Send Link|Sends a link via email", Plain) \
    X(mnuFileSendPage, "Send &Page by Email...", "", "Send File", Plain) \
    X(actSaveAsSorvelGroup, "S&ave as SorvelGroup...", "F7", "Save as SorvelGroup", Plain) \
    X(actAddToSorvelGroup, "&Add to SorvelGroup...", "F6", "Add|Add to SorvelGroup", Plain) \
    X(actOrganizeSorvelGroups, "&Organize SorvelGroups", "", "Organize SorvelGroups", Plain) \
    X(actExit, "E&xit", "", "Exit|Exits this application", Plain) \
    X(actWorkOffline, "&Work Offline", "", "Work Offline|Shows web pages without downloading them.", Check) \
    X(actFullScreen, "&Fullscreen", "F11", "Fullscreen|Toggles fullscreen mode", Check) \
    X(actViewSorvelBar, "&SorvelBar", "F4", "SorvelBar|Shows or hides the SorvelBar", Check) \
    X(actViewStatusBar, "&Status Bar", "", "Status Bar|Hides or shows the status bar", Check) \
    X(actViewAddressBar, "&Address Bar", "", "Address Bar|Hides or shows the address bar", Check) \
    X(actViewToolbar, "&Toolbar", "", "Toolbar|Hides or shows the toolbar", Check) \
    X(actViewMenuBar, "&Menu Bar", "", "Menu Bar|Hides or shows the menu bar", Check) \
    X(actViewLinksBar, "&Links Bar", "", "View Links Bar|Toggles the visibility of the links bar", Check) \
    X(actCustomizeToolbar, "&Customize...", "", "Customize Toolbar|Chooses and orders the buttons of the toolbar", Plain) \
    X(actTabLocked, "Tab &Locked", "F12", "Tab Locked|Locks the current browser tab", Check) \
    X(actStickyName, "Stic&ky Name...", "F9", "Sticky Name|Sets or clears the sticky name of the current browser tab", Plain) \
    X(actAddToPopupSorvel, "&Add to PopupSorvel", "F8", "Add to PopupSorvel|Closes windows from this address from now on", Plain) \
    X(actTabHome, "&Tab Home", "Alt+Home", "Tab Home|Goes to the home page of the current browser tab", Plain) \
    X(actForeground, "Open New Tabs in &Foreground", "Ctrl+F12", "Foreground|Opens new browser tabs in the foreground", Check) \
    X(actFollowNextLink, "Follow &Next Link", "Ctrl+Q", "Next Link|Follows the link labelled Next", Plain) \
    X(actFontLargest, "Lar&gest", "", "Largest|Change to the largest font", Check) \
    X(actFontLarge, "&Large", "", "Large|Change to a large font", Check) \
    X(actFontMedium, "&Medium", "", "Medium|Change to a medium font", Check) \
    X(actFontSmaller, "&Smaller", "", "Smaller|Change to a smaller font", Check) \
    X(actFontSmallest, "Sm&allest", "", "Smallest|Change to the smallest font", Check) \
    X(actZoomIn, "Zoom &In", "Ctrl++", "Zoom In|Shows the page larger, on this site from now on", Plain) \
    X(actZoomOut, "Zoom &Out", "Ctrl+-", "Zoom Out|Shows the page smaller, on this site from now on", Plain) \
    X(actZoomReset, "Actual Si&ze", "Ctrl+0", "Actual Size|Shows the page at its own size", Plain) \
    X(actHelpTopics, "&Help Topics", "F1", "Help Topics|Displays help topics", Plain) \
    X(actSupport, "&Pelvane Support", "", "Support|Goes to the Pelvane Support Center", Plain) \
    X(actAbout, "&About...", "", "About|Displays information about this application", Plain) \
    X(pmOptionsLoadImages, "&Load Images", "", "Load Images|Toggles whether images are loaded", Check) \
    X(tbLoadImages, "Images", "", "Load Images|Toggles whether images are loaded", Check) \
    X(pmOptionsLoadVideos, "Load &Videos", "", "Load Videos|Toggles whether videos are loaded", Check) \
    X(pmOptionsLoadSounds, "Load &Sounds", "", "Load Sounds|Toggles whether sounds are loaded", Check) \
    X(pmOptionsLoadAnimations, "Load &Animations", "", "Load Animations|Toggles whether animations are loaded", Check) \
    X(actOptions, "&Pelvane Options...", "", "Options|Changes Pelvane options", Plain) \
    X(tbFavorites, "Favorites", "", "Favorites|Displays the favorites menu", Plain) \
    X(tbVarloBar, "SorvelBar", "", "Show SorvelBar|Shows or hides the SorvelBar", Check) \
    X(tbFont, "Font", "", "Font Size|Changes font size", Plain) \
    X(mnuFormPersonal, "FormFiller - Personal", "", "FormFiller|Fills form with your personal profile", Plain) \
    X(mnuFormBusiness, "FormFiller - Business", "", "FormFiller|Fills form with your business profile", Plain) \
    X(actMyProfile, "My Pro&file...", "", "My Profile|Changes the personal and business data that FormFiller fills in", Plain) \
    X(actSavedPasswords, "Saved &Passwords...", "", "Saved Passwords|Lists the passwords kept for sites, shows and removes them", Plain)
// clang-format on

enum class ActionId
{
#define PELVANE_ACTION_ID(id, caption, shortcut, hint, kind) id,
    PELVANE_ACTIONS(PELVANE_ACTION_ID)
#undef PELVANE_ACTION_ID
};

enum class ActionKind
{
    Plain,
    Check // a check item or toggle button
};

struct ActionRow
{
    ActionId id;
    const char* name; // the object name, as the program's forms name it
    const char* caption;
    const char* shortcut;
    const char* hint;
    bool checkable;
};

namespace ActionTable {
// Every action, in the order of ActionId.
const ActionRow* begin();
const ActionRow* end();
const ActionRow& row(ActionId id);
inline constexpr int count()
{
    int n = 0;
#define PELVANE_ACTION_COUNT(id, caption, shortcut, hint, kind) ++n;
    PELVANE_ACTIONS(PELVANE_ACTION_COUNT)
#undef PELVANE_ACTION_COUNT
    return n;
}
} // namespace ActionTable
