#include "support/Pictures.h"
#include "browser/window/TabMenu.h"
#include "commands/MainActions.h"
#include "commands/MenuBuilder.h"
#include "passwords/MemoryPasswordStore.h"
#include "passwords/PasswordBar.h"
#include "passwords/PasswordManager.h"
#include "passwords/PasswordPage.h"
#include "passwords/PasswordScripts.h"
#include "passwords/dialogs/SavedPasswords.h"
#include "passwords/window/PasswordCommands.h"

#include "support/TabSetFixture.h"
#include "support/TestHome.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtTest>

using PasswordRules::Login;

namespace {

QVariant form(const QString& url, const QString& user, const QString& pass)
{
    return QVariantMap{{"url", url},
                       {"fields", QVariantList{QVariantList{"user", "", "text", "", user},
                                               QVariantList{"pass", "", "password", "", pass}}}};
}

// A page that has a sign-in form, and answers `sent` (once) as the sign-ins it noted.
void scriptPage(FakeWebBackend* fake, const QString& url, QVariantList* sent, QStringList* filled)
{
    fake->setScriptHandler([=](const QString& script, const QVariantList& args) {
        if (script == PasswordScripts::passwordFieldSeen())
            return QVariant(true);
        if (script == PasswordScripts::fill()) {
            *filled << args.value(3).toString();
            return QVariant(2);
        }
        QVariantMap result{{"forms", QVariantList{form(url, {}, {})}},
                           {"submitted", *sent}, {"filled", !filled->isEmpty()}};
        sent->clear();
        return QVariant(result);
    });
}

} // namespace

// The passwords in a window of their own tab set: the bar in the tab that sent a sign-in, the
// tab menu's accounts, and Tools > Saved Passwords.
class TestPasswordCommands final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void barInTheTabThatSent()
    {
        TabSetFixture set;
        MainActions actions(nullptr);
        MenuBuilder menus(actions, &set.window);
        TTabMenu tabMenu(set.tabs, actions, {}, &set.window);
        MemoryPasswordStore store;
        PasswordCommands commands({set.tabs, actions, tabMenu, set.hive, &store, false, &set.window});
        QVERIFY(menus.menu(MenuId::Tools)->actions().contains(actions[ActionId::actSavedPasswords]));
        QVERIFY(actions[ActionId::actSavedPasswords]->isEnabled());

        const QString url = QStringLiteral("http://127.0.0.1:8080/login");
        QVariantList sent;
        QStringList filled;
        TBrowserTab* tab = set->GetActivePage();
        scriptPage(set.activeFake(), url, &sent, &filled);
        set.activeFake()->completeLoad(url, "Sign in");
        TBrowserTab* other = set->NewTab();
        QVERIFY(other != tab);
        set->activate(tab);

        // The sign-in is taken when the page is left; the bar is the sending tab's.
        sent = {form(url, "ann", "pw1")};
        QVERIFY(!set.activeFake()->beforeNavigate("http://127.0.0.1:8080/welcome"));
        PasswordBar* bar = commands.barOf(tab);
        QTRY_VERIFY(bar->isVisibleTo(&set.window));
        QCOMPARE(bar->text(), QStringLiteral("Save password for 127.0.0.1:8080?"));
        QCOMPARE(tab->Frame()->layout()->indexOf(bar), 0); // above the page
        QVERIFY(!commands.barOf(other)->isVisibleTo(&set.window));
        set.window.resize(700, 300);
        set.strip.resize(700, 300);
        picture(set.window, "password-bar");
        bar->keepButton()->click();
        QTRY_COMPARE(store.logins().size(), 1);
        QVERIFY(!bar->isVisibleTo(&set.window));

        // Back on the sign-in page, the one account is filled; the tab menu lists it too.
        set.activeFake()->completeLoad(url, "Sign in");
        QTRY_COMPARE(filled, QStringList{"ann"});
        commands.manager()->keep({"http://127.0.0.1:8080", "bob", "user", "pass", "pw2"});
        QTRY_COMPARE(commands.pageOf(tab)->accounts().size(), 2);
        tabMenu.popupFor(set.strip.activeTabIndex(), QPoint(10, 10));
        QTRY_VERIFY(tabMenu.isVisible());
        QVERIFY(tabMenu.actions().contains(commands.fillMenu()->menuAction()));
        const QList<QAction*> accounts = commands.fillMenu()->actions();
        QCOMPARE(accounts.size(), 2);
        QCOMPARE(accounts[1]->text(), QStringLiteral("bob"));
        tabMenu.hide();
        accounts[1]->trigger();
        QTRY_COMPARE(filled, (QStringList{"ann", "bob"}));
    }

    void accountListBelowTheField()
    {
        TabSetFixture set;
        MainActions actions(nullptr);
        TTabMenu tabMenu(set.tabs, actions, {}, &set.window);
        MemoryPasswordStore store;
        for (const char* user : {"ann", "bob"})
            store.save({"http://127.0.0.1:8080", user, "user", "pass", "pw"}, {});
        PasswordCommands commands({set.tabs, actions, tabMenu, set.hive, &store, false, &set.window});
        set.window.resize(700, 300);
        set.strip.resize(700, 300);
        set.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&set.window));

        const QString url = QStringLiteral("http://127.0.0.1:8080/login");
        QVariantMap focus; // where the page says the user went in
        QStringList filled;
        set.activeFake()->setScriptHandler([&](const QString& script, const QVariantList& args) {
            if (script == PasswordScripts::passwordFieldSeen())
                return QVariant(true);
            if (script == PasswordScripts::fill()) {
                filled << args.value(3).toString();
                return QVariant(2);
            }
            return QVariant(QVariantMap{{"forms", QVariantList{form(url, {}, {})}},
                                        {"submitted", QVariantList{}}, {"filled", false},
                                        {"focus", focus.isEmpty() ? QVariant() : QVariant(focus)}});
        });
        TBrowserTab* tab = set->GetActivePage();
        set.activeFake()->completeLoad(url, "Sign in");
        PasswordPage* page = commands.pageOf(tab);
        QTRY_COMPARE(page->accounts().size(), 2);
        QVERIFY(!commands.accountList()->isVisible()); // not before the user goes in
        QVERIFY(filled.isEmpty());                     // nor filled unasked

        focus = {{"x", 10}, {"y", 20}, {"width", 160}, {"height", 20}, {"seq", 1}, {"page", "a"}};
        QTRY_VERIFY_WITH_TIMEOUT(commands.accountList()->isVisible(), 3000);
        const QList<QAction*> items = commands.accountList()->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->text(), QStringLiteral("ann"));
        QWidget* view = tab->Browser()->backend()->view();
        const QPoint below = view->mapToGlobal(QPoint(10, 40)); // just under the field
        QCOMPARE(commands.accountList()->geometry().topLeft(), below);
        picture(*commands.accountList(), "password-accounts");
        items[1]->trigger();
        commands.accountList()->hide();
        QTRY_COMPARE(filled, QStringList{"bob"});
        // The same going-in is not offered twice: the page is asked again twice meanwhile.
        const int asked = set.activeFake()->count("runJavaScript");
        QTRY_VERIFY_WITH_TIMEOUT(set.activeFake()->count("runJavaScript") >= asked + 2, 5000);
        QCoreApplication::processEvents();
        QVERIFY(!commands.accountList()->isVisible());
    }

    void withoutStoreNothing()
    {
        TabSetFixture set;
        MainActions actions(nullptr);
        TTabMenu tabMenu(set.tabs, actions, {}, &set.window);
        PasswordCommands commands({set.tabs, actions, tabMenu, set.hive, nullptr, false, &set.window});
        QVERIFY(!actions[ActionId::actSavedPasswords]->isEnabled());
        QVERIFY(!commands.barOf(set->GetActivePage()));
        QVERIFY(!set->GetActivePage()->findChild<PasswordBar*>());
    }

    void savedPasswordsDialog()
    {
        MemoryPasswordStore store;
        store.save({"https://mail.example", "ann", "user", "pass", "secret-a"}, {});
        store.save({"https://mail.example", "bob", "user", "pass", "secret-b"}, {});
        store.save({"http://127.0.0.1:8080", "carol", "login", "pw", "secret-c"}, {});
        auto* dialog = new TfrmSavedPasswords(store, nullptr);
        QSignalSpy loaded(dialog, &TfrmSavedPasswords::loaded);
        QVERIFY(loaded.wait());
        QTreeWidget* list = dialog->list();
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("http://127.0.0.1:8080"));
        QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("ann"));
        // No password is shown, or even read, before the user asks.
        for (int i = 0; i < 3; ++i)
            QVERIFY(!list->topLevelItem(i)->text(2).contains("secret"));

        list->setCurrentItem(list->topLevelItem(2)); // bob
        QSignalSpy shown(dialog, &TfrmSavedPasswords::passwordShown);
        dialog->showButton()->click();
        QVERIFY(shown.wait());
        QCOMPARE(list->topLevelItem(2)->text(2), QStringLiteral("secret-b"));
        QVERIFY(!list->topLevelItem(1)->text(2).contains("secret")); // ann's stays hidden
        dialog->resize(600, 320);
        picture(*dialog, "saved-passwords");

        dialog->removeButton()->click();
        QVERIFY(loaded.wait());
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(store.logins().size(), 2);
        QVERIFY(store.logins()[1].username == "ann");
        delete dialog;
    }

    void dialogWithoutKeyring()
    {
        MemoryPasswordStore store;
        store.setUnavailable(true);
        TfrmSavedPasswords dialog(store, nullptr);
        QSignalSpy loaded(&dialog, &TfrmSavedPasswords::loaded);
        QVERIFY(loaded.wait());
        QCOMPARE(dialog.list()->topLevelItemCount(), 0);
        QCOMPARE(dialog.statusLabel()->text(), PasswordStore::unavailableText());
        QVERIFY(!dialog.showButton()->isEnabled());
    }
};

PELVANE_TEST_MAIN(TestPasswordCommands)
#include "tst_passwordcommands.moc"
