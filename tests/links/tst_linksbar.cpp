#include "links/LinksBar.h"
#include "links/LinksFolder.h"
#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "platform/ShellFolders.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QMenu>
#include <QPixmap>
#include <QSignalSpy>
#include <QToolButton>

using namespace TestFiles;

namespace {

QString shortcut(const QString& path, const QByteArray& url)
{
    return writeFile(path, "[InternetShortcut]\r\nURL=" + url + "\r\n");
}

QStringList captions(const QList<FolderMenuEntry>& entries)
{
    QStringList result;
    for (const FolderMenuEntry& entry : entries)
        result << entry.caption;
    return result;
}

} // namespace

class TestLinksBar : public QObject
{
    Q_OBJECT

private:
    // Links/: "b Sub" (two shortcuts), "A empty", ".hidden", "Q&A.url", "notes.txt",
    // "nourl.url", "c.folder" (a folder whose name has a dot).
    QString makeLinks()
    {
        const QString links = home(QStringLiteral("Favorites/Links/"));
        shortcut(links + "b Sub/One.url", "http://127.0.0.1/1");
        shortcut(links + "b Sub/Two.URL", "http://127.0.0.1/2");
        QDir().mkpath(links + "A empty");
        QDir().mkpath(links + "c.folder");
        shortcut(links + ".hidden.url", "http://127.0.0.1/hidden");
        shortcut(links + "Q&A.url", "http://127.0.0.1/qa");
        writeFile(links + "notes.txt", "text");
        writeFile(links + "nourl.url", "[InternetShortcut]\r\n");
        return links;
    }

private Q_SLOTS:
    void theFolderAsTheBarReadsIt()
    {
        const QString links = makeLinks();
        const QList<FolderMenuEntry> entries = LinksFolder::read(links);
        QCOMPARE(captions(entries).mid(0, 3), (QStringList{"A empty", "b Sub", "c.folder"}));
        QHash<QString, QString> files; // in the file system's order: compared as a set
        for (const FolderMenuEntry& entry : entries.mid(3))
            files.insert(entry.caption, entry.path);
        QCOMPARE(files, (QHash<QString, QString>{{"Q&&A", "http://127.0.0.1/qa"},
                                                 {"notes", links + "notes.txt"},
                                                 {"nourl", ""}})); // a shortcut without address
        QCOMPARE(LinksFolder::read(links, 2).size(), 2);
        QVERIFY(LinksFolder::isExistingFile(links + "notes.txt"));
        QVERIFY(!LinksFolder::isExistingFile(links + "A empty"));
        QVERIFY(!LinksFolder::isExistingFile(QStringLiteral("http://127.0.0.1/")));

        // The folder's name comes from the system browser's settings.
        RegistryHive hive(home(QStringLiteral("registry.db")));
        QCOMPARE(LinksFolder::path(hive), QString()); // no Favorites folder
        TRegistry reg(hive);
        reg.openKey(ShellFolders::keyPath(), true);
        reg.writeString(QStringLiteral("Favorites"), home(QStringLiteral("Favorites")));
        QCOMPARE(LinksFolder::path(hive), links);
        reg.openKey(QStringLiteral("\\Software\\Microsoft\\Internet Explorer\\Toolbar"), true);
        reg.writeString(QStringLiteral("LinksFolderName"), QStringLiteral("Verknüpfungen"));
        QCOMPARE(LinksFolder::path(hive), home(QStringLiteral("Favorites/Verknüpfungen/")));
    }

    void buttonsMenuAndRefresh()
    {
        const QString links = makeLinks();
        TLinksBar bar(links);
        QSignalSpy clicks(&bar, &TLinksBar::OnLinkClick);
        QSignalSpy customize(&bar, &TLinksBar::OnCustomize);
        const QList<QToolButton*> buttons = bar.buttons();
        QCOMPARE(buttons.size(), 6);
        // A folder with entries drops them down; an empty one is a link to its path.
        QToolButton* sub = buttons.at(1);
        QCOMPARE(sub->text(), QStringLiteral("b Sub"));
        QVERIFY(sub->menu());
        Q_EMIT sub->menu()->aboutToShow();
        QCOMPARE(sub->menu()->actions().size(), 2);
        sub->menu()->actions().at(1)->trigger();
        QVERIFY(!buttons.at(0)->menu());
        buttons.at(0)->click();
        for (QToolButton* button : buttons) {
            if (button->text() == QLatin1String("notes"))
                button->click();
        }
        QCOMPARE(clicks.size(), 3);
        QCOMPARE(clicks.at(0).first().toString(), QStringLiteral("http://127.0.0.1/2"));
        QCOMPARE(clicks.at(1).first().toString(), links + "A empty");
        QCOMPARE(clicks.at(2).first().toString(), links + "notes.txt");

        // The menu: the same tree, then "Customize...".
        QMenu* menu = bar.LinksMenu();
        QCOMPARE(menu->actions().size(), 8);
        menu->actions().last()->trigger();
        QCOMPARE(customize.size(), 1);

        // A renamed shortcut is shown by its new name once the bar is refreshed.
        QVERIFY(QFile::rename(links + "Q&A.url", links + "Questions.url"));
        bar.Refresh();
        QStringList texts;
        for (QToolButton* button : bar.buttons())
            texts << button->text();
        QVERIFY(texts.contains(QStringLiteral("Questions")));
        QVERIFY(!texts.contains(QStringLiteral("Q&&A")));

        // A shortcut shows its site's icon where the engine has one; files keep theirs.
        QPixmap red(16, 16);
        red.fill(Qt::red);
        const QIcon site(red);
        QStringList asked;
        bar.setIconLookup([&](const QString& address) {
            asked << address;
            return address == QLatin1String("http://127.0.0.1/qa") ? site : QIcon();
        });
        QVERIFY(asked.contains(QStringLiteral("http://127.0.0.1/qa")));
        QVERIFY(!asked.contains(links + "notes.txt"));
        for (QToolButton* button : bar.buttons()) {
            if (button->text() == QLatin1String("Questions"))
                QCOMPARE(button->icon().cacheKey(), site.cacheKey());
            else
                QVERIFY(button->icon().cacheKey() != site.cacheKey());
        }

        // What does not fit goes behind the chevron, which drops the whole menu.
        bar.show();
        bar.resize(bar.buttons().first()->sizeHint().width() + 40, 30);
        QVERIFY(bar.overflowing());
        QVERIFY(!bar.buttons().last()->isVisibleTo(&bar));
        QCOMPARE(bar.chevronMenu(), bar.LinksMenu());
        // On a band, the band cuts the row and has the chevron.
        bar.setOwnChevron(false);
        QVERIFY(bar.buttons().last()->isVisibleTo(&bar));
        QVERIFY(!bar.findChild<QToolButton*>(QStringLiteral("tbxLinks"))->isVisibleTo(&bar));
    }

    void missingFolderAndManyLinks()
    {
        TLinksBar missing(home(QStringLiteral("nowhere/")));
        QVERIFY(missing.buttons().isEmpty());
        QVERIFY(!missing.chevronMenu());

        const QString many = home(QStringLiteral("many/"));
        for (int i = 0; i < 500; ++i)
            shortcut(many + QStringLiteral("Link %1.url").arg(i), "http://127.0.0.1/");
        writeFile(many + QString(300, QLatin1Char('x')).left(200) + ".url", "");
        TLinksBar bar(many);
        QCOMPARE(bar.buttons().size(), 501);
        bar.show();
        bar.resize(800, 30);
        QVERIFY(bar.overflowing());
        for (QToolButton* button : bar.buttons())
            QVERIFY(button->sizeHint().width() < TLinksBar::MaxButtonWidth + 60);
    }
};

PELVANE_TEST_MAIN(TestLinksBar)
#include "tst_linksbar.moc"
