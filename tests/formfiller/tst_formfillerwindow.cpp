#include "formfiller/FormScripts.h"
#include "integration/ProfileCard.h"
#include "support/MainWindowFixture.h"
#include "support/TestHome.h"

#include <QMenu>
#include <QtTest>

// The window's form filler commands: the Tools menu offers them, and each fills the active
// tab's page with its own part of the card.
class TestFormFillerWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandsFillTheActiveTab()
    {
        ProfileCard card;
        card.setAttribute(u"vCard.Home.City", QStringLiteral("London"));
        card.setAttribute(u"vCard.Business.City", QStringLiteral("Cambridge"));
        QVERIFY(ProfileStore::save(ProfileStore::defaultPath(), card));

        MainWindowFixture w;
        const QList<QAction*> tools = w->menu(MenuId::Tools)->actions();
        for (ActionId id :
             {ActionId::mnuFormPersonal, ActionId::mnuFormBusiness, ActionId::actMyProfile})
            QVERIFY(tools.contains(w->action(id)));

        FakeWebBackend* page = w.activeFake();
        page->completeLoad(QStringLiteral("http://127.0.0.1:8080/form"), QStringLiteral("Form"));
        QStringList filled;
        page->setScriptHandler([&](const QString& script, const QVariantList& args) {
            if (script == FormScripts::collectFields())
                return QVariant(QVariantList{QVariant(QVariantList{"city", "", "text"})});
            filled << args.value(0).toList().value(0).toList().value(2).toString();
            return QVariant(1);
        });
        w.formQuestions.consent = FormFillerQuestions::Consent::AllowAlways;
        w.formQuestions.dontShowAgain = true;
        w->action(ActionId::mnuFormBusiness)->trigger();
        QTRY_COMPARE(filled, QStringList{"Cambridge"});
        w->action(ActionId::mnuFormPersonal)->trigger();
        QTRY_COMPARE(filled, (QStringList{"Cambridge", "London"}));
        QCOMPARE(w.formQuestions.asked,
                 (QStringList{"notice", "consent http://127.0.0.1:8080: City (business)"}));

        w->action(ActionId::actMyProfile)->trigger();
        QCOMPARE(w.formQuestions.asked.last(), QStringLiteral("profile"));
    }
};

PELVANE_TEST_MAIN(TestFormFillerWindow)
#include "tst_formfillerwindow.moc"
