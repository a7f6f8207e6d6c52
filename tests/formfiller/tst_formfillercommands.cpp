#include "commands/MainActions.h"
#include "commands/MenuBuilder.h"
#include "formfiller/FormScripts.h"
#include "formfiller/window/FormFillerCommands.h"
#include "integration/ProfileCard.h"
#include "support/ScriptedFormFillerQuestions.h"
#include "support/TabSetFixture.h"
#include "support/TestHome.h"

#include <QMenu>
#include <QtTest>

// The form filler's commands on a tab set of their own: the Tools menu offers them, and each
// fills the active tab's page with its own part of the card.
class TestFormFillerCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandsFillTheActiveTab()
    {
        ProfileCard card;
        card.setAttribute(u"vCard.Home.City", QStringLiteral("London"));
        card.setAttribute(u"vCard.Business.City", QStringLiteral("Cambridge"));
        QVERIFY(ProfileStore::save(ProfileStore::defaultPath(), card));

        TabSetFixture set;
        MainActions actions(nullptr);
        MenuBuilder menus(actions, &set.window);
        ScriptedFormFillerQuestions questions;
        FormFillerCommands commands(set.tabs, actions, set.hive, &questions, &set.window);
        const QList<QAction*> tools = menus.menu(MenuId::Tools)->actions();
        for (ActionId id :
             {ActionId::mnuFormPersonal, ActionId::mnuFormBusiness, ActionId::actMyProfile})
            QVERIFY(tools.contains(actions[id]));

        // A second tab in front: the fill goes to it, not to the one behind.
        FakeWebBackend* behind = set.activeFake();
        behind->completeLoad(QStringLiteral("http://127.0.0.1:8080/behind"), QStringLiteral("Behind"));
        QStringList askedBehind;
        behind->setScriptHandler([&](const QString& script, const QVariantList&) {
            askedBehind << script;
            return QVariant();
        });
        set->NewTab();
        FakeWebBackend* page = set.activeFake();
        QVERIFY(page != behind);
        page->completeLoad(QStringLiteral("http://127.0.0.1:8080/form"), QStringLiteral("Form"));
        QStringList filled;
        page->setScriptHandler([&](const QString& script, const QVariantList& args) {
            if (script == FormScripts::collectFields())
                return QVariant(QVariantList{QVariant(QVariantList{"city", "", "text"})});
            filled << args.value(0).toList().value(0).toList().value(2).toString();
            return QVariant(1);
        });
        questions.consent = FormFillerQuestions::Consent::AllowAlways;
        questions.dontShowAgain = true;
        actions[ActionId::mnuFormBusiness]->trigger();
        QTRY_COMPARE(filled, QStringList{"Cambridge"});
        actions[ActionId::mnuFormPersonal]->trigger();
        QTRY_COMPARE(filled, (QStringList{"Cambridge", "London"}));
        QCOMPARE(questions.asked,
                 (QStringList{"notice", "consent http://127.0.0.1:8080: City (business)"}));
        QCOMPARE(askedBehind, QStringList());

        actions[ActionId::actMyProfile]->trigger();
        QCOMPARE(questions.asked.last(), QStringLiteral("profile"));
    }
};

PELVANE_TEST_MAIN(TestFormFillerCommands)
#include "tst_formfillercommands.moc"
