#include "app/MainActions.h"

#include <QAction>

namespace {

struct ActionRow
{
    const char* name;
    const char* caption;
    const char* shortcut; // as QKeySequence reads it; empty for none
    const char* hint;
    bool checkable = false;
};

// Captions, shortcuts and hints as the window shows them.
constexpr ActionRow Rows[] = {
    {"actNewBlank", "&Blank", "Ctrl+N", "New|Opens a new browser tab"},
    {"pmFileNewBlank", "&Blank", "", "New|Opens a new browser tab"},
    {"actNewHome", "&Home", "Ctrl+H", "New Home|Opens a new browser tab at your home page"},
    {"actNewSearch", "&Search", "Ctrl+S", "Search|Opens a new browser tab at the search page"},
    {"actNewCurrent", "&Current", "", "New Current|Open a new browser tab at the current location"},
    {"actOpen", "&Open", "Ctrl+O", "Open|Opens a new browser tab"},
    {"actClose", "&Close", "Ctrl+W", "Close|Closes the current browser tab"},
    {"actCloseAll", "Close &All", "Ctrl+Shift+W", "Close All|Closes all browser tabs"},
    {"actCloseAllKeepCurrent", "Close All -- Keep Current", "",
     "Close All -- Keep Current|Closes all browser tabs but the currently selected tab"},
    {"actCloseAllShowList", "Close All -- Show List", "",
     "Close All -- Show List|Lets you choose the browser tabs to close"},
    {"actGoBack", "&Back", "Alt+Left", "Back|Goes back"},
    {"actGoForward", "&Forward", "Alt+Right", "Forward|Goes forward"},
    {"actGoHome", "&Home", "", "Home|Goes to your home page"},
    {"actGoSearch", "&Search", "", "Search|Goes to the search page"},
    {"actViewStop", "&Stop", "Esc", "Stop|Stops loading the current document"},
    {"actViewRefresh", "&Refresh", "F5", "Refresh|Reloads the current document"},
    {"actViewStopAll", "Stop All", "Shift+Esc", "Stop All|Stops all browser tabs"},
    {"actRefreshAll", "Refresh All", "Shift+F5", "Refresh All|Refreshes all browser tabs"},
    {"actPreviousBrowserTab", "&Previous Browser Tab", "F2",
     "Previous|Goes to the previous browser tab"},
    {"actNextBrowserTab", "&Next Browser Tab", "F3", "Next|Goes to the next browser tab"},
    {"actPrint", "&Print", "Ctrl+P", "Print|Prints the current document"},
    {"actPageSetup", "Page Set&up...", "", "Page Setup|Changes printer page settings"},
    {"actSaveAs", "&Save As...", "Ctrl+Shift+S", "Save As|Saves the current document"},
    {"actViewSource", "Sour&ce", "", "View Source|Views the source of the current document"},
    {"actProperties", "P&roperties", "",
     "Properties|Displays the properties of the active browser"},
    {"actCut", "C&ut", "Ctrl+X", "Cut|Cuts the selection to the clipboard"},
    {"actCopy", "&Copy", "Ctrl+C", "Copy|Copies the selection to the clipboard"},
    {"actPaste", "&Paste", "Ctrl+V", "Paste|Pastes the selection from the clipboard"},
    {"actSelectAll", "&Select All...", "Ctrl+A", "Select All|Selects the whole document"},
    {"actFind", "&Find on this page...", "Ctrl+F", "Find|Displays the find dialog"},
    {"actSetMediumFont", "&Medium", "", "Medium|Changes this document to a medium sized font"},
    {"actInternetOptions", "&Internet Options...", "",
     "Internet Options|Changes your internet options"},
    {"mnuClearAddresses", "Clear &Addresses", "", "Clear Addresses|Clears the address bar"},
    {"actAddToFavorites", "&Add to Favorites", "",
     "Add to Favorites|Adds the current document to your favorites"},
    {"actOrganizeFavorites", "&Organize Favorites...", "",
     "Organize Favorites|Organizes your favorites folder"},
    {"actSynchSubscriptions", "&Synchronize Subscriptions...", "",
     "Synchronize Subscriptions|Synchronizes your offline subscriptions"},
    {"actReadMail", "&Read Mail...", "", "Read Mail|Read your e-mail"},
    {"actSaveAsSorvelGroup", "S&ave as SorvelGroup...", "F7", "Save as SorvelGroup"},
    {"actAddToSorvelGroup", "&Add to SorvelGroup...", "F6", "Add|Add to SorvelGroup"},
    {"actOrganizeSorvelGroups", "&Organize SorvelGroups", "", "Organize SorvelGroups"},
    {"actExit", "E&xit", "", "Exit|Exits this application"},
    {"actWorkOffline", "&Work Offline", "",
     "Work Offline|Shows web pages without downloading them.", true},
    {"actFullScreen", "&Fullscreen", "F11", "Fullscreen|Toggles fullscreen mode", true},
    {"actViewSorvelBar", "&SorvelBar", "F4", "SorvelBar|Shows or hides the SorvelBar", true},
    {"actViewStatusBar", "&Status Bar", "", "Status Bar|Hides or shows the status bar", true},
    {"actViewAddressBar", "&Address Bar", "", "Address Bar|Hides or shows the address bar", true},
    {"actViewToolbar", "&Toolbar", "", "Toolbar|Hides or shows the toolbar", true},
    {"actViewMenuBar", "&Menu Bar", "", "Menu Bar|Hides or shows the menu bar", true},
    {"actViewLinksBar", "&Links Bar", "", "View Links Bar|Toggles the visibility of the links bar",
     true},
    {"actTabLocked", "Tab &Locked", "F12", "Tab Locked|Locks the current browser tab", true},
    {"actStickyName", "Stic&ky Name...", "F9",
     "Sticky Name|Sets or clears the sticky name of the current browser tab"},
    {"actAddToPopupSorvel", "&Add to PopupSorvel", "F8",
     "Add to PopupSorvel|Closes windows from this address from now on"},
    {"actTabHome", "&Tab Home", "Alt+Home",
     "Tab Home|Goes to the home page of the current browser tab"},
    {"actForeground", "Open New Tabs in &Foreground", "Ctrl+F12",
     "Foreground|Opens new browser tabs in the foreground", true},
    {"actFollowNextLink", "Follow &Next Link", "Ctrl+Q",
     "Next Link|Follows the link labelled Next"},
    {"actFontLargest", "Lar&gest", "", "Largest|Change to the largest font", true},
    {"actFontLarge", "&Large", "", "Large|Change to a large font", true},
    {"actFontMedium", "&Medium", "", "Medium|Change to a medium font", true},
    {"actFontSmaller", "&Smaller", "", "Smaller|Change to a smaller font", true},
    {"actFontSmallest", "Sm&allest", "", "Smallest|Change to the smallest font", true},
    {"actHelpTopics", "&Help Topics", "F1", "Help Topics|Displays help topics"},
    {"actSupport", "&Pelvane Support", "", "Support|Goes to the Pelvane Support Center"},
    {"actAbout", "&About...", "", "About|Displays information about this application"},
    {"pmOptionsLoadImages", "&Load Images", "", "Load Images|Toggles whether images are loaded",
     true},
    {"tbLoadImages", "Images", "", "Load Images|Toggles whether images are loaded", true},
    {"pmOptionsLoadVideos", "Load &Videos", "", "Load Videos|Toggles whether videos are loaded",
     true},
    {"pmOptionsLoadSounds", "Load &Sounds", "", "Load Sounds|Toggles whether sounds are loaded",
     true},
    {"pmOptionsLoadAnimations", "Load &Animations", "",
     "Load Animations|Toggles whether animations are loaded", true},
    {"actOptions", "&Pelvane Options...", "", "Options|Changes Pelvane options"},
};

} // namespace

MainActions::MainActions(QObject* parent)
    : QObject(parent)
{
    for (const ActionRow& row : Rows) {
        auto* action = new QAction(QString::fromUtf8(row.caption), this);
        action->setObjectName(QString::fromLatin1(row.name));
        if (*row.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
        // The keyboard table runs these keys; the shortcut is shown in the menus.
        action->setShortcutContext(Qt::WindowShortcut);
        action->setCheckable(row.checkable);
        setHint(action, QString::fromUtf8(row.hint));
        m_actions.insert(row.name, action);
    }
}

QAction* MainActions::get(const char* name) const
{
    QAction* action = m_actions.value(name);
    Q_ASSERT_X(action, "MainActions::get", name);
    return action;
}

QList<QAction*> MainActions::all() const
{
    return m_actions.values();
}

QString MainActions::shortHint(const QString& hint)
{
    return hint.section(QLatin1Char('|'), 0, 0);
}

QString MainActions::longHint(const QString& hint)
{
    const int bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void MainActions::setHint(QAction* action, const QString& hint)
{
    action->setToolTip(shortHint(hint));
    action->setStatusTip(longHint(hint));
    action->setProperty("hint", hint);
}
