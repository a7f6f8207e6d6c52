#pragma once

#include <QJsonArray>
#include <QList>
#include <QPixmap>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QObject;
class TBrowserTab;

// The tab set as lists: the Tabs menu and the description the command-line tool prints.
namespace TabListing {

// The caption of the Tabs menu item for tab number n (from 1): "&1" to "&9", then none; the
// text's own "&" doubled.
QString tabsMenuCaption(int n, const QString& text);

// Fills `menu` anew with one item per tab in strip order (sticky name or caption, the
// address as hint, the state picture); choosing an item calls `chosen` with it.
void fillTabsMenu(QMenu* menu, const QList<TBrowserTab*>& tabs, const QList<QPixmap>& images,
                  const std::function<void(QAction* item)>& chosen);
// The tab an item of that menu stands for, while it exists; null for anything else.
TBrowserTab* tabOf(const QObject* item);

// What a tab's page is now: "waiting" (brought back, not loaded until shown), "frozen"
// (kept, its scripts stopped), "unloaded" (dropped, loaded again when shown) or "active".
QString lifecycleName(const TBrowserTab& tab);

// One object per tab in strip order, with the fields the command-line tool prints: besides
// "waiting", "frozen" and "unloaded" (at most one of them true) and "lifecycle" naming the
// one that holds.
QJsonArray describeTabs(const QList<TBrowserTab*>& tabs, const TBrowserTab* active);

} // namespace TabListing
