#include "browser/TabListing.h"

#include "browser/BrowserTab.h"
#include "platform/FolderMenu.h"

#include <QAction>
#include <QJsonObject>
#include <QMenu>
#include <QPointer>

namespace TabListing {

namespace {
// The tab itself, not its place: a tab let through while the menu is open shifts the places.
constexpr const char* TabProperty = "tab";

PageLifecycle lifecycleOf(const TBrowserTab& tab)
{
    const TSorvelBrowser* browser = tab.Browser();
    return browser ? browser->backend()->lifecycle() : PageLifecycle::Active;
}
} // namespace

QString lifecycleName(const TBrowserTab& tab)
{
    // A waiting tab never had a page: it is neither frozen nor unloaded.
    if (tab.Waiting())
        return QStringLiteral("waiting");
    switch (lifecycleOf(tab)) {
    case PageLifecycle::Frozen:
        return QStringLiteral("frozen");
    case PageLifecycle::Discarded:
        return QStringLiteral("unloaded");
    default:
        return QStringLiteral("active");
    }
}

QString tabsMenuCaption(int n, const QString& text)
{
    // A page's "&" is a letter of its title, not the item's accelerator.
    const QString shown = folderMenuCaption(text);
    if (n <= 9)
        return QStringLiteral("&%1    %2").arg(n).arg(shown);
    return QStringLiteral("%1      %2").arg(n).arg(shown);
}

void fillTabsMenu(QMenu* menu, const QList<TBrowserTab*>& tabs, const QList<QPixmap>& images,
                  const std::function<void(QAction* item)>& chosen)
{
    menu->clear();
    for (int i = 0; i < tabs.size(); ++i) {
        const TBrowserTab* tab = tabs.at(i);
        const QString text = tab->StickyName().isEmpty() ? tab->Caption() : tab->StickyName();
        QAction* item = menu->addAction(tabsMenuCaption(i + 1, text));
        item->setProperty(TabProperty, QVariant::fromValue(QPointer<QObject>(tabs.at(i))));
        item->setStatusTip(tab->GetAddress());
        if (tab->ImageIndex() >= 0 && tab->ImageIndex() < images.size())
            item->setIcon(QIcon(images.at(tab->ImageIndex())));
        QObject::connect(item, &QAction::triggered, menu, [item, chosen] { chosen(item); });
    }
}

TBrowserTab* tabOf(const QObject* item)
{
    const QVariant tab = item ? item->property(TabProperty) : QVariant();
    return qobject_cast<TBrowserTab*>(tab.value<QPointer<QObject>>().data());
}

QJsonArray describeTabs(const QList<TBrowserTab*>& tabs, const TBrowserTab* active)
{
    QJsonArray result;
    for (int i = 0; i < tabs.size(); ++i) {
        const TBrowserTab* tab = tabs.at(i);
        const QString lifecycle = lifecycleName(*tab);
        result.append(QJsonObject{
            {QStringLiteral("index"), i},
            {QStringLiteral("visible"), tab->TabVisible()},
            {QStringLiteral("active"), tab == active},
            {QStringLiteral("caption"), tab->Caption()},
            {QStringLiteral("hint"), tab->Hint()},
            {QStringLiteral("address"), tab->GetAddress()},
            {QStringLiteral("homeUrl"), tab->HomeUrl()},
            {QStringLiteral("stickyName"), tab->StickyName()},
            {QStringLiteral("locked"), tab->Locked()},
            {QStringLiteral("hideFromCloseAll"), tab->HideFromCloseAll()},
            {QStringLiteral("busy"), tab->Busy()},
            {QStringLiteral("waiting"), tab->Waiting()},
            {QStringLiteral("frozen"), lifecycle == QLatin1String("frozen")},
            {QStringLiteral("unloaded"), lifecycle == QLatin1String("unloaded")},
            {QStringLiteral("lifecycle"), lifecycle},
            {QStringLiteral("secure"), tab->Secure()},
            {QStringLiteral("stateIcon"), tab->ImageIndex()},
            {QStringLiteral("pendingPopup"), tab->PendingPopup()},
            {QStringLiteral("popupBlocked"), tab->PopupBlocked()},
        });
    }
    return result;
}

} // namespace TabListing
