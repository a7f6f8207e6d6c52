// Closing the tab set's tabs all at once, on a tab set of its own: Close All and the tabs it
// keeps, Close All -- Keep Current, the list to choose from, and their two boxes.
#include "browser/BrowserTab.h"
#include "browser/TabClosing.h"
#include "browser/dialogs/CloseAll.h"
#include "browser/dialogs/ConfirmCloseAll.h"
#include "settings/PVOptions.h"
#include "support/ScriptedWindowQuestions.h"
#include "support/TabSetFixture.h"
#include "support/TestHome.h"

#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

// The tab set and its closing, with scripted answers; Close All asks nothing until a test
// switches the question on.
struct Closing
{
    Closing() { options.SetConfirmCloseAll(false); }

    TabSetFixture set;
    TPVOptions options{set.hive};
    ScriptedWindowQuestions questions;
    TabClosing closing{set.tabs, options, questions, [] { return false; }};
};

void click(QWidget* box, const char* button)
{
    auto* found = box->findChild<QPushButton*>(QString::fromLatin1(button));
    QVERIFY2(found, button);
    found->click();
}

} // namespace

class TestTabClosing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void closeAllKeepsTheTabsHiddenFromIt()
    {
        Closing w;
        const auto tabs = w.set.withTabs(3); // A, B, C, D
        tabs.at(1)->setHideFromCloseAll(true);
        tabs.at(3)->setHideFromCloseAll(true);
        tabs.at(2)->SetLocked(true); // locked tabs close like any other
        w.closing.CloseAll();
        QCOMPARE(w.set->tabs(), (QList<TBrowserTab*>{tabs.at(1), tabs.at(3)}));
        QCOMPARE(w.set->GetActivePage(), tabs.at(1));
    }

    void closeAllWithoutKeptTabsLeavesTheFirstTabBlank()
    {
        Closing w;
        const auto tabs = w.set.withTabs(3);
        TBrowserTab* first = tabs.first();
        first->OpenAsHome(QStringLiteral("http://127.0.0.1/home"));
        first->SetStickyName(QStringLiteral("Mine"));
        first->SetLocked(true);
        first->setLockWhenLoaded(true);
        w.set->activate(tabs.at(2));
        w.closing.CloseAll();
        QCOMPARE(w.set->tabs(), QList<TBrowserTab*>{first});
        QCOMPARE(w.set->GetActivePage(), first);
        QCOMPARE(first->Caption(), QStringLiteral("Blank"));
        QCOMPARE(TabSetFixture::lastNavigation(first), QStringLiteral("about:blank"));
        QVERIFY(!first->Locked());
        QVERIFY(first->StickyName().isEmpty());
        QCOMPARE(first->HomeUrl(), QStringLiteral("http://127.0.0.1/home"));
        TabSetFixture::fakeOf(first)->completeLoad(QStringLiteral("http://127.0.0.1/next"), {});
        QVERIFY(!first->Locked());
    }

    void closeAllKeepCurrent()
    {
        Closing w;
        const auto tabs = w.set.withTabs(4);
        tabs.at(4)->setHideFromCloseAll(true);
        w.set->activate(tabs.at(2));
        w.closing.CloseAllKeepCurrent();
        QCOMPARE(w.set->tabs(), (QList<TBrowserTab*>{tabs.at(2), tabs.at(4)}));
        QCOMPARE(w.set->GetActivePage(), tabs.at(2));
        QVERIFY(!tabs.at(2)->HideFromCloseAll());
        QVERIFY(tabs.at(4)->HideFromCloseAll());
    }

    void closeAllAsksFirstUntilToldNotTo()
    {
        Closing w;
        w.options.SetConfirmCloseAll(true);
        w.set.withTabs(2);

        // No: nothing closes, and the question stays on.
        w.questions.closeAllAnswer = false;
        w.closing.CloseAll();
        QCOMPARE(w.questions.asked, QStringList{"closeAll"});
        QCOMPARE(w.set->tabs().size(), 3);

        // No with "Don't ask me again": nothing closes, and the question is off for good.
        w.questions.dontAskAgain = true;
        w.closing.CloseAll();
        QCOMPARE(w.set->tabs().size(), 3);
        QVERIFY(!w.options.GetConfirmCloseAll());
        w.closing.CloseAll();
        QCOMPARE(w.questions.asked.size(), 2);
        QCOMPARE(w.set->tabs().size(), 1);

        // Yes closes.
        w.options.SetConfirmCloseAll(true);
        w.questions.dontAskAgain = false;
        w.questions.closeAllAnswer = true;
        w.set->NewTab();
        w.closing.CloseAll();
        QCOMPARE(w.set->tabs().size(), 1);
    }

    void confirmCloseAllBoxWritesItsCheckWithEitherButton()
    {
        RegistryHive hive(QDir(qEnvironmentVariable("PELVANE_HOME")).filePath("confirm.db"));
        TPVOptions options(hive);
        const auto answer = [&options](bool tick, const char* button) {
            TfrmConfirmCloseAll box(options, nullptr);
            box.open();
            box.dontAskBox()->setChecked(tick);
            if (button)
                click(&box, button);
            else
                box.reject(); // Esc or the window's close button
            return box.result();
        };
        QCOMPARE(answer(true, nullptr), int(QDialog::Rejected));
        QVERIFY(options.GetConfirmCloseAll()); // closing any other way writes nothing
        QCOMPARE(answer(false, "cmdYes"), int(QDialog::Accepted));
        QVERIFY(options.GetConfirmCloseAll());
        QCOMPARE(answer(true, "cmdNo"), int(QDialog::Rejected));
        QVERIFY(!options.GetConfirmCloseAll());
        options.SetConfirmCloseAll(true);
        QCOMPARE(answer(true, "cmdYes"), int(QDialog::Accepted));
        QVERIFY(!options.GetConfirmCloseAll());
        TfrmConfirmCloseAll box(options, nullptr);
        QCOMPARE(box.windowTitle(), QStringLiteral("Close All"));
    }

    void showListClosesTheCheckedTabs()
    {
        Closing w;
        const auto tabs = w.set.withTabs(3);
        tabs.at(1)->SetStickyName(QStringLiteral("Two"));
        tabs.at(2)->SetTitle(QStringLiteral("Three"));
        tabs.at(3)->setHideFromCloseAll(true); // plays no part here
        w.options.SetConfirmCloseAll(true);  // neither does this

        // Every line cleared, or Cancel: nothing closes.
        w.questions.tabsToClose = QList<int>{};
        w.closing.CloseAllShowList();
        QCOMPARE(w.questions.asked, QStringList{"tabsToClose |Two|Three|"});
        QCOMPARE(w.set->tabs(), tabs);
        w.questions.tabsToClose.reset();
        w.closing.CloseAllShowList();
        QCOMPARE(w.set->tabs(), tabs);

        // Some lines; a tab that goes while the list is open is skipped, and no other tab
        // is closed in its place.
        w.questions.tabsToClose = QList<int>{1, 2};
        w.questions.whileAsking = [&] { w.set->closePage(tabs.at(1)); };
        w.closing.CloseAllShowList();
        QCOMPARE(w.set->tabs(), (QList<TBrowserTab*>{tabs.at(0), tabs.at(3)}));

        // Every line: one blank tab is left.
        w.questions.whileAsking = nullptr;
        w.questions.tabsToClose = QList<int>{0, 1};
        w.closing.CloseAllShowList();
        QCOMPARE(w.set->tabs().size(), 1);
        QCOMPARE(w.set->tabs().first()->Caption(), QStringLiteral("Blank"));
        QCOMPARE(w.set->GetActivePage(), w.set->tabs().first());
    }

    void showListDialogOffersEveryLineChecked()
    {
        TfrmCloseAll box({QStringLiteral("One"), QStringLiteral("Two")}, nullptr);
        box.open();
        QCOMPARE(box.windowTitle(), QStringLiteral("Select Browser Tabs to Close"));
        QCOMPARE(box.list()->count(), 2);
        QCOMPARE(box.list()->item(1)->text(), QStringLiteral("Two"));
        QCOMPARE(box.checkedLines(), (QList<int>{0, 1}));
        click(&box, "cmdDeselectAll");
        QVERIFY(box.checkedLines().isEmpty());
        click(&box, "cmdSelectAll");
        box.setLineChecked(0, false);
        QCOMPARE(box.checkedLines(), QList<int>{1});
        click(&box, "cmdOK");
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }
};

PELVANE_TEST_MAIN(TestTabClosing)
#include "tst_tabclosing.moc"
