#include "address/dialogs/OpenDialog.h"
#include "links/LinksBar.h"
#include "support/MainWindowFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>

using namespace TestFiles;

// What the main window opens from outside its tabs: a Links folder made while it runs, and
// the Open box.
class TestExternal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- Links bar ----------------------------------------------------------------------

    void aLinksFolderMadeLaterIsFound()
    {
        QDir().mkpath(home(QStringLiteral("Favorites")));
        const QString links = home(QStringLiteral("Favorites/Links/"));
        bool found = false;
        {
            MainWindowFixture w;
            const TLinksBar* bar = w->findChild<TLinksBar*>();
            QVERIFY(bar && bar->buttons().isEmpty());
            Q_EMIT w->menu(MenuId::Favorites)->aboutToShow(); // the monitor starts
            for (int n = 0; n < 20 && !found; ++n) {
                writeFile(links + QStringLiteral("Site%1.url").arg(n), "[InternetShortcut]\r\n");
                found = QTest::qWaitFor([&] { return !bar->buttons().isEmpty(); }, 700);
            }
        }
        QDir(links).removeRecursively();
        QVERIFY(found);
    }

    void openDialog()
    {
        TfrmOpen dialog({QStringLiteral("http://127.0.0.1/typed")});
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Open"));
        QCOMPARE(dialog.addressBox()->count(), 1);
        QVERIFY(dialog.addressBox()->currentText().isEmpty());
        QVERIFY(!dialog.okButton()->isEnabled());
        QVERIFY(dialog.newTabBox()->isChecked());

        dialog.setFileChooser([](QWidget*) { return QString(); });
        dialog.browseButton()->click();
        QVERIFY(!dialog.okButton()->isEnabled());
        dialog.setFileChooser([](QWidget*) { return QStringLiteral("/tmp/page.html"); });
        dialog.browseButton()->click();
        QCOMPARE(dialog.addressBox()->currentText(), QStringLiteral("/tmp/page.html"));
        QVERIFY(dialog.okButton()->isEnabled());
        dialog.addressBox()->setEditText(QString());
        QVERIFY(!dialog.okButton()->isEnabled());

        dialog.show();
        QTest::keyClicks(dialog.addressBox(), QStringLiteral("http://127.0.0.1/x"));
        QVERIFY(dialog.okButton()->isEnabled());
        dialog.newTabBox()->setChecked(false);
        QTest::keyClick(dialog.addressBox(), Qt::Key_Return); // the default button acts
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.address(), QStringLiteral("http://127.0.0.1/x"));
        QVERIFY(!dialog.openInNewTab());

        TfrmOpen hidden({});
        hidden.setNewTabOptionVisible(false);
        QVERIFY(!hidden.newTabBox()->isVisibleTo(&hidden));
        hidden.show();
        QTest::keyClick(hidden.addressBox(), Qt::Key_Return); // empty: stays open
        QVERIFY(hidden.isVisible());
    }
};

PELVANE_TEST_MAIN(TestExternal)
#include "tst_external.moc"
