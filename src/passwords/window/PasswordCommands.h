#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class MainActions;
class PasswordBar;
class PasswordManager;
class PasswordPage;
class PasswordStore;
class QAction;
class QMenu;
class QRect;
class QWidget;
class RegistryHive;
class TabSet;
class TBrowserTab;
class TTabMenu;

// The passwords in the main window: each tab gets the passwords' side of its page and a bar
// above the page; the tab strip's context menu offers the accounts kept for the tab's site;
// Tools > Saved Passwords opens the list. Without a store (tests, pictures) nothing is
// offered or filled and the command is off.
class PasswordCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PasswordCommands)

public:
    struct Setup
    {
        TabSet& tabs;
        const MainActions& actions;
        TTabMenu& tabMenu;
        RegistryHive& hive;
        PasswordStore* store = nullptr; // may be null
        bool offTheRecord = false;      // the engine keeps nothing: nothing is offered
        QWidget* window = nullptr;      // the dialog's parent
    };

    explicit PasswordCommands(Setup setup, QObject* parent = nullptr);

    PasswordManager* manager() const { return m_manager; }
    // The passwords' side of a tab and its bar (made the first time a tab is seen).
    PasswordPage* pageOf(TBrowserTab* tab);
    PasswordBar* barOf(TBrowserTab* tab);
    // The submenu the tab menu gets for a tab with kept accounts.
    QMenu* fillMenu() const { return m_fillMenu; }
    // The small list of accounts shown below a sign-in field the user went into.
    QMenu* accountList() const { return m_accountList; }

    void ShowSavedPasswords();

private:
    struct TabParts
    {
        PasswordPage* page = nullptr;
        PasswordBar* bar = nullptr;
    };
    TabParts& attach(TBrowserTab* tab);
    PasswordBar* barOfAsker(QObject* asker);
    void addFillItems();
    // Fills `menu` with the accounts of `page`, each filling its own in.
    void listAccounts(QMenu* menu, PasswordPage* page);
    void showAccountList(TBrowserTab* tab, const QRect& field);

    Setup m_setup;
    PasswordManager* m_manager = nullptr;
    QHash<TBrowserTab*, TabParts> m_parts;
    QMenu* m_fillMenu = nullptr;
    QMenu* m_accountList = nullptr;
    QAction* m_fillSeparator = nullptr;
};
