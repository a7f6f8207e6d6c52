#include "app/OpenDialog.h"
#include "bars/BarsControl.h"
#include "favorites/FavoritesMenu.h"
#include "links/LinksBar.h"
#include "support/FakeDesktop.h"
#include "support/MainWindowFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

using namespace TestFiles;

// What the main window opens from outside its tabs: the links bar and the Open box.
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
            QVERIFY(w->linksBar()->buttons().isEmpty());
            w->favoritesMenu()->startWatching();
            for (int n = 0; n < 20 && !found; ++n) {
                writeFile(links + QStringLiteral("Site%1.url").arg(n), "[InternetShortcut]\r\n");
                found = QTest::qWaitFor([&] { return !w->linksBar()->buttons().isEmpty(); }, 700);
            }
        }
        QDir(links).removeRecursively();
        QVERIFY(found);
    }

    void linksOpenInTabsOrTheirOwnProgram()
    {
        FakeDesktop desktop;
        const QString viewer = desktop.client(QStringLiteral("viewer"),
                                              QStringLiteral("text/plain"), QStringLiteral(" %f"));
        const QString links = home(QStringLiteral("Favorites/Links/"));
        writeFile(links + "Site.url", "[InternetShortcut]\r\nURL=http://127.0.0.1/site\r\n");
        const QString notes = writeFile(links + "notes.txt", "text");
        // A first run: the window names the Favorites folder before the bar looks for it.
        MainWindowFixture w({.before = [](TPVOptions& o) { o.SetLinksNewWin(false); }});
        QCOMPARE(w->linksBar()->LinksFolder(), links);
        QCOMPARE(w->linksBar()->buttons().size(), 2);
        QVERIFY(w->bars()->organizeLinksItem()->isEnabled());
        // The bar follows its folder: another program adds a shortcut (again, until the
        // monitor, which starts on a thread of its own, is watching).
        bool heard = false;
        for (int n = 0; n < 20 && !heard; ++n) {
            writeFile(links + QStringLiteral("Added%1.url").arg(n), "[InternetShortcut]\r\n");
            heard = QTest::qWaitFor([&] { return w->linksBar()->buttons().size() > 2; }, 700);
        }
        QVERIFY(heard);
        w.settleBlank();

        // A shortcut opens in the active tab; with Shift, in a new one.
        for (QToolButton* button : w->linksBar()->buttons()) {
            if (button->text() == QLatin1String("Site"))
                button->click();
        }
        QCOMPARE(w.lastNavigation(w->GetActivePage()), QStringLiteral("http://127.0.0.1/site"));
        w.load(0, QStringLiteral("http://127.0.0.1/site"));
        w->OpenLink(QStringLiteral("http://127.0.0.1/other"), true);
        QCOMPARE(w->tabs().size(), 2);

        // Any other file goes to the desktop's program for it.
        w->OpenLink(notes, false);
        QTRY_COMPARE(FakeDesktop::received(viewer).mid(1), QStringList{notes});
        QCOMPARE(w->tabs().size(), 2);
    }

    // --- The Open box -------------------------------------------------------------------

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
