#include "settings/WindowSettings.h"

#include "platform/Registry.h"
#include "settings/PVOptions.h"

#include <QtGlobal>

WindowSettings WindowSettings::read(const TPVOptions& options)
{
    WindowSettings s;
    s.showGo = options.GetShowGo();
    s.disableAltShortcuts = options.GetDisableALTShortcuts();
    s.autoCompleteStyle = options.GetAutoCompleteStyle();
    s.addressNewWin = options.GetAddressNewWin();
    s.openNewAtEnd = options.GetOpenNewAtEnd();
    s.sgCloseFirst = options.GetSGCloseFirst();
    s.searchBar = options.GetSearchBar();
    if (s.searchBar.isEmpty())
        s.searchBar = TPVOptions::DefaultSearchBar();
    s.minToTray = options.GetMinToTray();
    s.sorvelBarWidth = options.GetSorvelBarWidth();
    s.usePopupSorvel = options.GetUsePopupSorvel();
    s.limitTitleLength = options.GetLimitTitleLength();
    s.multipleLines = options.GetMultipleLines();
    s.searchFromAddressBar = options.GetSearchFromAddressBar();
    s.startupMode = options.GetStartupMode();
    s.startupSorvelGroup = options.GetStartupSorvelGroup();
    s.newTabFlags = {options.GetFavoritesNewWin(), options.GetHistoryNewWin(),
                     options.GetSearchNewWin(), options.GetLinksNewWin()};
    s.newAction = qBound(0, options.GetNewAction(), 2);
    s.sbAutoExpand = options.GetSBAutoExpand();
    s.openNewInForeground = options.GetOpenNewInForeground();
    s.maximized = options.GetMaximized();
    s.frame = QRect(options.GetLeft(), options.GetTop(), options.GetWidth(), options.GetHeight());
    {
        TRegistry reg(options.hive());
        s.placementStored = reg.openKeyReadOnly(TPVOptions::CurrentVersionKey()) &&
                            reg.valueExists(QStringLiteral("Width"));
    }
    s.fullScreen = options.GetFullScreen();
    s.viewSorvelBar = options.GetViewSorvelBar();
    s.viewToolbar = options.GetViewToolbar();
    s.viewAddressBar = options.GetViewAddressBar();
    s.viewLinksBar = options.GetViewLinksBar();
    s.viewStatusBar = options.GetViewStatusBar();
    return s;
}

void WindowSettings::write(TPVOptions& options, const std::function<void()>& between) const
{
    options.SetDisableALTShortcuts(disableAltShortcuts);
    options.SetOpenNewInForeground(openNewInForeground);
    options.SetAddressNewWin(addressNewWin);
    options.SetAutoCompleteStyle(autoCompleteStyle);
    options.SetMinToTray(minToTray);
    options.SetShowGo(showGo);
    options.SetSBAutoExpand(sbAutoExpand);
    if (!maximized) {
        options.SetTop(qMax(0, frame.top()));
        options.SetHeight(qMax(0, frame.height()));
        options.SetLeft(qMax(0, frame.left()));
        options.SetWidth(qMax(0, frame.width()));
    }
    options.SetMaximized(maximized);
    options.SetOpenNewAtEnd(openNewAtEnd);
    options.SetSorvelBarWidth(sorvelBarWidth);
    options.SetLimitTitleLength(limitTitleLength);
    options.SetSearchBar(searchBar);
    options.SetFullScreen(fullScreen);
    options.SetUsePopupSorvel(usePopupSorvel);
    if (between)
        between();
    options.SetViewSorvelBar(viewSorvelBar);
    options.SetViewToolbar(viewToolbar);
    options.SetViewAddressBar(viewAddressBar);
    options.SetViewLinksBar(viewLinksBar);
    options.SetViewStatusBar(viewStatusBar);
    options.SetSGCloseFirst(sgCloseFirst);
}

QRect WindowSettings::firstPlacement(const QRect& available)
{
    QRect frame(QPoint(), available.size() * 0.8);
    frame.moveCenter(available.center());
    return frame;
}
