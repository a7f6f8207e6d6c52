#include "bars/BandPanel.h"
#include "browser/strip/PVStatusBar.h"
#include "links/LinksBar.h"
#include "links/window/LinksCommands.h"
#include "platform/ShellFolders.h"
#include "settings/WindowSettings.h"
#include "support/BarsFixture.h"
#include "support/FakeDesktop.h"
#include "support/TabSetFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QAction>
#include <QDir>
#include <QToolButton>

using namespace TestFiles;

namespace {

// The links bar on bars and a tab set of their own. As in a first run of the window, the
// Favorites folder is named in the hive before the bar looks for it.
struct Links
{
    Links()
    {
        settings.newTabFlags.links = false;
        ShellFolders::seed(set.hive);
    }
    void make()
    {
        commands = std::make_unique<LinksCommands>(set.tabs, bars.control, status, settings,
                                                   set.hive, set.engine);
    }
    TLinksBar* bar() const { return commands->bar(); }
    QWidget* onTheBand() const { return bars.control.panel(BarsControl::Band::Links)->content(); }

    FakeDesktop desktop; // first: the desktop's programs are read as links open
    TabSetFixture set;
    BarsFixture bars;
    WindowSettings settings;
    TPVStatusBar status{&set.window};
    std::unique_ptr<LinksCommands> commands;
};

QString linksFolder()
{
    return home(QStringLiteral("Favorites/Links/"));
}

} // namespace

class TestLinksCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QDir(linksFolder()).removeRecursively(); }

    // The bar shows the folder on the "Links" band and follows it: another program adds a
    // shortcut (again, until the monitor, which starts on a thread of its own, is watching).
    void theBandShowsTheFolderAndFollowsIt()
    {
        writeFile(linksFolder() + "Site.url",
                  "[InternetShortcut]\r\nURL=http://127.0.0.1/site\r\n");
        writeFile(linksFolder() + "notes.txt", "text");
        Links l;
        l.make();
        QCOMPARE(l.bar()->LinksFolder(), linksFolder());
        QCOMPARE(l.bar()->buttons().size(), 2);
        QCOMPARE(l.onTheBand(), static_cast<QWidget*>(l.bar()));
        QVERIFY(l.bars.control.organizeLinksItem()->isEnabled());
        bool heard = false;
        for (int n = 0; n < 20 && !heard; ++n) {
            writeFile(linksFolder() + QStringLiteral("Added%1.url").arg(n),
                      "[InternetShortcut]\r\n");
            heard = QTest::qWaitFor([&] { return l.bar()->buttons().size() > 2; }, 700);
        }
        QVERIFY(heard);
        QCOMPARE(l.onTheBand(), static_cast<QWidget*>(l.bar()));
    }

    // A shortcut opens in the active tab ("LinksNewWin" off), with Shift in a new one; any
    // other file goes to the desktop's program for it, and without one the status bar says so.
    void linksOpenInTabsOrTheirOwnProgram()
    {
        writeFile(linksFolder() + "Site.url",
                  "[InternetShortcut]\r\nURL=http://127.0.0.1/site\r\n");
        const QString notes = writeFile(linksFolder() + "notes.txt", "text");
        const QString odd =
            writeFile(linksFolder() + "data.pelvaneodd", QByteArray("\x00\x01\x02\x03", 4));
        Links l;
        const QString viewer = l.desktop.client(
            QStringLiteral("viewer"), QStringLiteral("text/plain"), QStringLiteral(" %f"));
        l.make();
        l.set.activeFake()->completeLoad(QStringLiteral("about:blank"), {});
        for (QToolButton* button : l.bar()->buttons()) {
            if (button->text() == QLatin1String("Site"))
                button->click();
        }
        QCOMPARE(l.set->tabs().size(), 1);
        QCOMPARE(TabSetFixture::lastNavigation(l.set->GetActivePage()),
                 QStringLiteral("http://127.0.0.1/site"));
        l.set.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/site"), {});
        l.commands->OpenLink(QStringLiteral("http://127.0.0.1/other"), true);
        QCOMPARE(l.set->tabs().size(), 2);
        QCOMPARE(TabSetFixture::lastNavigation(l.set->tabs().last()),
                 QStringLiteral("http://127.0.0.1/other"));

        l.commands->OpenLink(notes, false);
        QTRY_COMPARE(FakeDesktop::received(viewer).mid(1), QStringList{notes});
        QCOMPARE(l.set->tabs().size(), 2);
        QVERIFY(l.status.text().isEmpty());
        l.commands->OpenLink(odd, false);
        QCOMPARE(l.status.text(),
                 QStringLiteral("No program is set up on this desktop to open data.pelvaneodd."));
        QCOMPARE(l.set->tabs().size(), 2);
    }

    // Without a Links folder the bar is empty and nothing watches; one made later is found
    // when the Favorites folder is heard to change.
    void aFolderMadeLaterIsFound()
    {
        QDir().mkpath(home(QStringLiteral("Favorites")));
        Links l;
        l.make();
        QVERIFY(l.bar()->buttons().isEmpty());
        writeFile(linksFolder() + "Later.url",
                  "[InternetShortcut]\r\nURL=http://127.0.0.1/later\r\n");
        l.commands->favoritesFolderChanged();
        QCOMPARE(l.bar()->buttons().size(), 1);
        QCOMPARE(l.onTheBand(), static_cast<QWidget*>(l.bar()));
        // From now on the monitor follows the folder.
        bool heard = false;
        for (int n = 0; n < 20 && !heard; ++n) {
            writeFile(linksFolder() + QStringLiteral("More%1.url").arg(n),
                      "[InternetShortcut]\r\n");
            heard = QTest::qWaitFor([&] { return l.bar()->buttons().size() > 1; }, 700);
        }
        QVERIFY(heard);
    }
};

PELVANE_TEST_MAIN(TestLinksCommands)
#include "tst_linkscommands.moc"
