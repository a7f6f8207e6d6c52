#include "passwords/window/PasswordCommands.h"

#include "browser/BrowserTab.h"
#include "browser/SorvelBrowser.h"
#include "browser/TabSet.h"
#include "browser/window/TabMenu.h"
#include "commands/MainActions.h"
#include "passwords/PasswordBar.h"
#include "passwords/PasswordManager.h"
#include "passwords/PasswordPage.h"
#include "passwords/dialogs/SavedPasswords.h"

#include <QAction>
#include <QBoxLayout>
#include <QFrame>
#include <QMenu>

PasswordCommands::PasswordCommands(Setup setup, QObject* parent)
    : QObject(parent)
    , m_setup(setup)
{
    QAction* saved = m_setup.actions.get(ActionId::actSavedPasswords);
    saved->setEnabled(m_setup.store != nullptr);
    if (!m_setup.store)
        return;
    m_manager = new PasswordManager({m_setup.store, &m_setup.hive, m_setup.offTheRecord}, this);
    connect(saved, &QAction::triggered, this, &PasswordCommands::ShowSavedPasswords);

    connect(m_manager, &PasswordManager::offer, this,
            [this](QObject* asker, const PasswordRules::Login& login, PasswordRules::Offer offer) {
                if (PasswordBar* bar = barOfAsker(asker))
                    bar->ask(login, offer);
            });
    connect(m_manager, &PasswordManager::tell, this, [this](QObject* asker, const QString& text) {
        if (PasswordBar* bar = barOfAsker(asker))
            bar->say(text);
    });

    // A tab is seen first when it comes to the front; the user types into no other.
    connect(&m_setup.tabs, &TabSet::activeTabChanged, this, [this](TBrowserTab* tab) {
        if (tab)
            attach(tab);
    });
    if (TBrowserTab* tab = m_setup.tabs.GetActivePage())
        attach(tab);

    m_fillMenu = new QMenu(QStringLiteral("Fill &Password"), &m_setup.tabMenu);
    m_fillMenu->setObjectName(QStringLiteral("mnuFillPassword"));
    m_accountList = new QMenu(m_setup.window);
    m_accountList->setObjectName(QStringLiteral("pmAccounts"));
    m_fillSeparator = new QAction(this);
    m_fillSeparator->setSeparator(true);
    // After the menu has put its own items in order for the tab.
    connect(&m_setup.tabMenu, &QMenu::aboutToShow, this, &PasswordCommands::addFillItems);
}

PasswordCommands::TabParts& PasswordCommands::attach(TBrowserTab* tab)
{
    auto found = m_parts.find(tab);
    if (found != m_parts.end())
        return *found;
    TabParts parts;
    if (tab->Browser()) {
        parts.page = new PasswordPage(tab->Browser(), m_manager, tab);
        parts.bar = new PasswordBar(tab->Frame());
        if (auto* layout = qobject_cast<QBoxLayout*>(tab->Frame()->layout()))
            layout->insertWidget(0, parts.bar);
        connect(parts.bar, &PasswordBar::keep, m_manager, &PasswordManager::keep);
        connect(parts.bar, &PasswordBar::never, m_manager, &PasswordManager::never);
        PasswordPage* page = parts.page;
        connect(tab, &TBrowserTab::addressShown, page, [page] { page->pageShown(); });
        connect(tab, &TBrowserTab::addressTyped, page, [page] { page->leaving(); });
        connect(page, &PasswordPage::accountsWanted, this,
                [this, tab](const QRect& field) { showAccountList(tab, field); });
        if (tab->Browser()->HasDocument())
            page->pageShown();
    }
    connect(tab, &QObject::destroyed, this, [this, tab] { m_parts.remove(tab); });
    return *m_parts.insert(tab, parts);
}

PasswordPage* PasswordCommands::pageOf(TBrowserTab* tab)
{
    return tab && m_manager ? attach(tab).page : nullptr;
}

PasswordBar* PasswordCommands::barOf(TBrowserTab* tab)
{
    return tab && m_manager ? attach(tab).bar : nullptr;
}

PasswordBar* PasswordCommands::barOfAsker(QObject* asker)
{
    for (auto it = m_parts.cbegin(); it != m_parts.cend(); ++it) {
        if (asker && it->page == asker)
            return it->bar;
    }
    // Said for no page in particular: on the tab in front.
    return asker ? nullptr : barOf(m_setup.tabs.GetActivePage());
}

void PasswordCommands::listAccounts(QMenu* menu, PasswordPage* page)
{
    menu->clear();
    for (const PasswordRules::Login& login : page->accounts()) {
        const QString name = login.username.isEmpty() ? QStringLiteral("(no user name)")
                                                      : login.username;
        QAction* item = menu->addAction(name);
        item->setEnabled(page->hasForm());
        const QPointer<PasswordPage> target(page);
        connect(item, &QAction::triggered, this, [target, login] {
            if (target)
                target->fill(login);
        });
    }
}

void PasswordCommands::addFillItems()
{
    m_fillMenu->clear();
    PasswordPage* page = pageOf(m_setup.tabMenu.tab());
    if (!page || page->accounts().isEmpty())
        return;
    listAccounts(m_fillMenu, page);
    m_setup.tabMenu.addAction(m_fillSeparator);
    m_setup.tabMenu.addMenu(m_fillMenu);
}

void PasswordCommands::showAccountList(TBrowserTab* tab, const QRect& field)
{
    PasswordPage* page = pageOf(tab);
    QWidget* view = tab->Browser() ? tab->Browser()->backend()->view() : nullptr;
    if (!page || !view || !tab->IsActive() || page->accounts().size() < 2)
        return;
    listAccounts(m_accountList, page);
    const QPoint below = field.bottomLeft() + QPoint(0, 1);
    m_accountList->setMinimumWidth(qMax(0, field.width()));
    m_accountList->popup(view->mapToGlobal(view->rect().contains(below) ? below
                                                                        : view->rect().topLeft()));
}

void PasswordCommands::ShowSavedPasswords()
{
    if (!m_setup.store)
        return;
    auto* dialog = new TfrmSavedPasswords(*m_setup.store, m_setup.window);
    connect(dialog, &TfrmSavedPasswords::removed, m_manager, &PasswordManager::noteRemoved);
    dialog->open();
}
