#include "browser/strip/PVStatusBar.h"
#include "commands/MainActions.h"
#include "mail/MailNews.h"
#include "mail/window/MailCommands.h"
#include "support/FakeDesktop.h"
#include "support/TabSetFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QAction>
#include <QMenu>

namespace {

// The Mail menu's commands on a tab set of their own, on the desktop of the test.
struct Mail
{
    FakeDesktop desktop; // first: the commands read the desktop as they are made
    TabSetFixture set;
    MainActions actions{nullptr};
    QMenu menu;
    QAction* fixed = menu.addAction(QStringLiteral("New Message"));
    TPVStatusBar status{&set.window};
    MailCommands commands{set.tabs, actions, menu, status};
};

} // namespace

class TestMailCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandsReachTheDesktopsMailProgram()
    {
        Mail m;
        m.actions[ActionId::mnuGoMail]->trigger();
        QCOMPARE(m.status.text(), MailNews::NoMailProgram);

        // The installed programs follow the fixed items, listed once.
        const QString kmail = m.desktop.client(QStringLiteral("kmail"));
        Q_EMIT m.menu.aboutToShow();
        Q_EMIT m.menu.aboutToShow();
        QCOMPARE(m.menu.actions().size(), 2);
        QCOMPARE(m.menu.actions().first(), m.fixed);
        QCOMPARE(m.menu.actions().last()->text(), QStringLiteral("kmail"));

        const QString temp = m.desktop.path(QStringLiteral("temp"));
        QDir().mkpath(temp);
        m.set->GetActivePage()->Browser()->setTempFolder(temp);
        m.set.activeFake()->completeLoad(QStringLiteral("http://127.0.0.1/dir/p?q=1"),
                                         QStringLiteral("Q&A #2"));
        m.set.activeFake()->setDocumentHtml(QStringLiteral("<html><body>page</body></html>"));
        m.actions[ActionId::mnuFileSendLink]->trigger();
        QTRY_COMPARE(FakeDesktop::received(kmail).mid(1),
                     QStringList{"mailto:?subject=Q%26A%20%232%20%28http%3A%2F%2F127.0.0.1%2Fdir%2F"
                                 "p%3Fq%3D1%29&body=http%3A%2F%2F127.0.0.1%2Fdir%2Fp%3Fq%3D1"});

        // The page goes as an attachment, saved with its base address.
        m.actions[ActionId::pmMailSendFile]->trigger();
        QTRY_COMPARE(FakeDesktop::received(kmail).value(1), QStringLiteral("--attach"));
        const QString file = FakeDesktop::received(kmail).value(2);
        QVERIFY2(file.startsWith(temp) && file.endsWith(QLatin1String("Q A  2.htm")),
                 qPrintable(file));
        QVERIFY(TestFiles::readFile(file).startsWith(
            "\xEF\xBB\xBF<BASE HREF=\"http://127.0.0.1/dir/\">\n<html>"));
    }

    // A page that cannot be saved is said in the status bar, and no message is started.
    void aPageNotSavedIsSaid()
    {
        Mail m;
        const QString kmail = m.desktop.client(QStringLiteral("kmail"));
        m.actions[ActionId::mnuFileSendPage]->trigger(); // a blank tab: nothing to save
        QTRY_VERIFY(m.status.text().startsWith(
            QLatin1String("The page could not be saved for the mail: ")));
        QVERIFY2(m.status.text().endsWith(QLatin1String("There is no page to save.")),
                 qPrintable(m.status.text()));
        QVERIFY(FakeDesktop::received(kmail).isEmpty());
    }
};

PELVANE_TEST_MAIN(TestMailCommands)
#include "tst_mailcommands.moc"
