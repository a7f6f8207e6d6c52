#include "address/AddressBand.h"
#include "address/PVComboBox.h"
#include "support/MainWindowFixture.h"
#include "support/TestHome.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>

namespace {

const QString Engine = QStringLiteral("http://127.0.0.1:9/find?q=%s&from=box");

// Types `text` into the address box and presses Enter.
void enter(MainWindowFixture& window, const QString& text)
{
    window->addressBand()->box()->setEditText(text);
    window->addressBand()->AddressEntered(Qt::NoModifier);
}

} // namespace

class TestSearchWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Words typed in the address box go to the first engine and are no typed address; the
    // option on the Address Bar page turns it off.
    void searchFromTheAddressBox()
    {
        MainWindowFixture window({.before = [](TPVOptions& o) {
            o.SetSearchEngines({"Local=" + Engine, "Other=http://127.0.0.1:9/other?q=%s"});
        }});
        enter(window, "what is 2+2");
        QCOMPARE(window.lastNavigation(window->GetActivePage()),
                 "http://127.0.0.1:9/find?q=what%20is%202%2B2&from=box");
        window.activeFake()->startLoad("http://127.0.0.1:9/find?q=what%20is%202%2B2&from=box");
        QVERIFY(window->addressBand()->box()->items().isEmpty()); // not a typed address
        enter(window, "localhost:8080");
        QCOMPARE(window.lastNavigation(window->GetActivePage()), "localhost:8080");

        // The option on the Address Bar page, on by default.
        window.questions.onDialog = [](QDialog& dialog) {
            auto* box = dialog.findChild<QCheckBox*>("chkSearchFromAddressBar");
            QVERIFY(box && box->isChecked());
            box->setChecked(false);
            if (qEnvironmentVariableIsSet("PELVANE_SCREENSHOTS")) {
                auto* pages = dialog.findChild<QTabWidget*>();
                pages->setCurrentWidget(box->parentWidget());
                dialog.show();
                dialog.grab().save(qEnvironmentVariable("PELVANE_SCREENSHOTS") + "/options.png");
            }
            dialog.findChild<QPushButton*>("cmdOK")->click();
        };
        window->action(ActionId::actOptions)->trigger();
        QVERIFY(!window.options().GetSearchFromAddressBar());
        enter(window, "two words");
        QCOMPARE(window.lastNavigation(window->GetActivePage()), "two words");
    }
};

PELVANE_TEST_MAIN(TestSearchWindow)
#include "tst_searchwindow.moc"
