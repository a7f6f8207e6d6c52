#include "address/AddressBand.h"
#include "address/AddressQuestions.h"
#include "address/PVComboBox.h"
#include "address/TypedAddresses.h"
#include "address/window/AddressCommands.h"
#include "settings/PVOptions.h"
#include "settings/WindowSettings.h"
#include "support/TabSetFixture.h"
#include "support/TestHome.h"

namespace {

QStringList storedTypedAddresses(RegistryHive& hive)
{
    QStringList list;
    TypedAddresses::LoadTypedAddresses(list, 100, hive);
    return list;
}

struct Answers final : AddressQuestions
{
    bool confirmClearAddresses() override
    {
        ++asked;
        return clear;
    }
    bool clear = true;
    int asked = 0;
};

// The address band's commands on a tab set of their own, the band wired to the set as the
// window wires it.
struct Commands
{
    Commands()
    {
        QObject::connect(&set.tabs, &TabSet::addressTyped, &band, &AddressBand::RememberTypedAddress);
        QObject::connect(&set.tabs, &TabSet::addressShown, &band, &AddressBand::ShowAddress);
        set.activeFake()->completeLoad(QStringLiteral("about:blank"), {});
    }
    void type(const QString& text)
    {
        band.box()->setEditText(text);
        QTest::keyClick(band.box(), Qt::Key_Return);
    }

    TabSetFixture set;
    TPVOptions options{set.hive};
    WindowSettings settings;
    Answers answers;
    AddressBand band{set.hive, set.engine.historyFile(), &set.window};
    AddressCommands commands{{band, set.tabs, settings, options, answers, {}, false}};
};

} // namespace

class TestAddressCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anAddressTypedOverALockedTabOpensBesideIt()
    {
        Commands c;
        TBrowserTab* locked = c.set->GetActivePage();
        locked->SetLocked(true);
        const QString before = TabSetFixture::lastNavigation(locked);
        c.type(QStringLiteral("http://127.0.0.1/typed"));
        QCOMPARE(c.set->tabs().size(), 2);
        QVERIFY(c.set->GetActivePage() != locked);
        QCOMPARE(TabSetFixture::lastNavigation(locked), before); // it keeps its page
        c.set.activeFake()->beforeNavigate(QStringLiteral("http://127.0.0.1/typed"));
        QCOMPARE(c.band.box()->items(), QStringList{"http://127.0.0.1/typed"});
        QVERIFY(!c.band.AddressTyped());
    }

    void addressNewWinOpensANewTabAfterTheActiveOne()
    {
        Commands c;
        c.settings.addressNewWin = true;
        c.set.withTabs(1);
        c.type(QStringLiteral("http://127.0.0.1/new"));
        QCOMPARE(c.set->tabs().size(), 3);
        QCOMPARE(c.set.strip.activePageIndex(), 1);
        QCOMPARE(c.set->GetActivePage()->HomeUrl(), QStringLiteral("http://127.0.0.1/new"));
        // The address is remembered as typed when the new tab starts to load it.
        c.set.activeFake()->beforeNavigate(QStringLiteral("http://127.0.0.1/new"));
        QCOMPARE(c.band.box()->items(), QStringList{"http://127.0.0.1/new"});

        // Without the setting the active tab goes there, and the focus waits for the page.
        c.settings.addressNewWin = false;
        c.type(QStringLiteral("http://127.0.0.1/here"));
        QCOMPARE(c.set->tabs().size(), 3);
        QCOMPARE(TabSetFixture::lastNavigation(c.set->GetActivePage()),
                 QStringLiteral("http://127.0.0.1/here"));
        QVERIFY(c.set->GetActivePage()->FocusOnLoad());
    }

    void clearingAddressesAsksFirst()
    {
        Commands c;
        const QStringList two{"http://127.0.0.1/a", "http://127.0.0.1/b"};
        TypedAddresses::SaveTypedAddresses(two, c.set.hive);
        c.band.loadTypedAddresses();
        c.set.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/page"),
                                         QStringLiteral("P"));
        c.band.box()->setEditText(QStringLiteral("something typed"));
        c.answers.clear = false;
        c.commands.ClearAddresses();
        QCOMPARE(c.answers.asked, 1);
        QCOMPARE(c.band.box()->items(), two);
        QCOMPARE(storedTypedAddresses(c.set.hive), two);

        c.answers.clear = true;
        c.commands.ClearAddresses();
        QVERIFY(c.band.box()->items().isEmpty());
        QVERIFY(storedTypedAddresses(c.set.hive).isEmpty()); // at once, not at exit
        QCOMPARE(c.band.box()->currentText(), QStringLiteral("http://127.0.0.1/page"));
    }
};

PELVANE_TEST_MAIN(TestAddressCommands)
#include "tst_addresscommands.moc"
