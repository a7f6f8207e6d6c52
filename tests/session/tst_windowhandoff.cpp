// What other copies hand to this one, on a tab set of its own: an argument to open (over the
// bus, or left in the hive), and the command-line tool's question which tabs are open.
#include "browser/BrowserTab.h"
#include "platform/MessageBus.h"
#include "platform/Registry.h"
#include "session/HandOff.h"
#include "session/window/WindowHandOff.h"
#include "support/HiveFiles.h"
#include "support/TabSetFixture.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <future>

namespace {

// The part with a window to bring forward; the group files it opens are listed.
struct Copy
{
    explicit Copy(MessageBus* bus = nullptr, bool privateWindow = false)
        : handOff({set.window, set.tabs, [this](const QString& file) { groups << file; }, set.hive,
                   bus, privateWindow})
    {}

    TabSetFixture set;
    QStringList groups;
    WindowHandOff handOff;
};

void leaveInHive(RegistryHive& hive, const QString& id)
{
    TRegistry reg(hive);
    reg.openKey(QStringLiteral("\\Software\\Brenmoor\\Pelvane\\CurrentVersion"), true);
    reg.writeString(QStringLiteral("CommandLine"), QStringLiteral("http://127.0.0.1/once"));
    reg.writeString(QStringLiteral("CommandLineId"), id);
}

// What a second copy is told; it waits for its answer, so it runs on a thread.
HandOff::Delivery deliverFromAnotherCopy(const QString& folder, RegistryHive& hive,
                                         const QString& argument)
{
    auto answer = std::async(std::launch::async, [&folder, &hive, &argument] {
        const MessageBus sender(folder);
        return HandOff::deliver(sender, hive, argument, 0);
    });
    // The sender gives up after its own timeout, so this loop ends.
    while (answer.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return answer.get();
}

} // namespace

class TestWindowHandOff : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aHandOffOpensANewTabOrAGroup()
    {
        Copy c;
        c.handOff.open(QStringLiteral("http://127.0.0.1/handed"));
        QCOMPARE(c.set->tabs().size(), 2);
        QCOMPARE(c.set->GetActivePage()->HomeUrl(), QStringLiteral("http://127.0.0.1/handed"));
        QCOMPARE(TabSetFixture::lastNavigation(c.set->GetActivePage()),
                 QStringLiteral("http://127.0.0.1/handed"));

        // Only ".sgp" in small letters is a group here; ".SGP" opens as an address.
        const QString upper =
            TestFiles::writeFile(TestFiles::home(QStringLiteral("h.SGP")),
                                 "[SorvelGroup]\r\nblank1=http://127.0.0.1/x\r\n");
        c.handOff.open(upper);
        QCOMPARE(c.set->tabs().size(), 3);
        QCOMPARE(TabSetFixture::lastNavigation(c.set->GetActivePage()), upper);
        const QString lower =
            TestFiles::writeFile(TestFiles::home(QStringLiteral("h.sgp")),
                                 "[SorvelGroup]\r\nblank1=http://127.0.0.1/x\r\n");
        c.handOff.open(lower);
        QCOMPARE(c.groups, QStringList{lower});
        QCOMPARE(c.set->tabs().size(), 3);

        // Only comes to the front; a script never opens.
        c.handOff.open(QString());
        c.handOff.open(QStringLiteral("javascript:alert(1)"));
        QCOMPARE(c.set->tabs().size(), 3);
        QVERIFY(c.set.window.isVisible());
    }

    void aHandOffBringsTheWindowBackAsItWas()
    {
        Copy c;
        c.set.window.show();
        c.set.window.setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);
        c.handOff.open(QString());
        QCOMPARE(c.set.window.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized),
                 Qt::WindowStates(Qt::WindowMaximized));

        c.set.window.setWindowState(Qt::WindowFullScreen | Qt::WindowMinimized);
        c.handOff.open(QString());
        QVERIFY(c.set.window.windowState().testFlag(Qt::WindowFullScreen));
        QVERIFY(!c.set.window.windowState().testFlag(Qt::WindowMinimized));
    }

    void aHandOffSentAgainOpensOnce()
    {
        Copy c;
        const HandOff::Parcel parcel{QStringLiteral("id-1"),
                                     QStringLiteral("http://127.0.0.1/once")};
        // Sent again while the copy was busy starting, and also left in the hive.
        const HandOff::Parcel again = HandOff::decode(HandOff::encode(parcel));
        QCOMPARE(again.id, parcel.id);
        QCOMPARE(again.argument, parcel.argument);
        leaveInHive(c.set.hive, parcel.id);
        c.handOff.accept(parcel);
        c.handOff.accept(again);
        c.handOff.accept(again);
        QCOMPARE(c.set->tabs().size(), 2);
        // The slot no longer holds it, so the next start does not open it again; another
        // sender's parcel there stays for the running copy.
        QCOMPARE(HandOff::takeStoredCommandLine(c.set.hive).argument, QString());
        leaveInHive(c.set.hive, QStringLiteral("id-2"));
        c.handOff.accept(parcel);
        QCOMPARE(HandOff::takeStoredCommandLine(c.set.hive).id, QStringLiteral("id-2"));
        // Without an identity (an older copy) every one opens, as before.
        c.handOff.accept(HandOff::decode(QJsonValue(QStringLiteral("http://127.0.0.1/old"))));
        c.handOff.accept(HandOff::decode(QJsonValue(QStringLiteral("http://127.0.0.1/old"))));
        QCOMPARE(c.set->tabs().size(), 4);
    }

    // Over the bus: the argument is taken and opens, the tool hears the tabs, and once this
    // copy stops answering nothing more is taken.
    void theBusIsAnsweredUntilTheCopyStops()
    {
        QTemporaryDir folder;
        MessageBus bus(folder.path());
        QVERIFY(bus.listen());
        Copy c(&bus);
        QVERIFY(deliverFromAnotherCopy(folder.path(), c.set.hive,
                                       QStringLiteral("http://127.0.0.1/sent")) ==
                HandOff::Delivery::Taken);
        QTRY_COMPARE(c.set->tabs().size(), 2);
        QCOMPARE(c.set->GetActivePage()->HomeUrl(), QStringLiteral("http://127.0.0.1/sent"));

        auto listed = std::async(std::launch::async, [&folder] {
            const MessageBus tool(folder.path());
            return tool.broadcast(QLatin1String(HandOff::ListTabsMessage), {}, 3000);
        });
        while (listed.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const auto answers = listed.get();
        QCOMPARE(answers.size(), 1);
        QCOMPARE(answers.first().reply, QJsonValue(c.set->describeTabs()));
        QCOMPARE(answers.first().reply.toArray().size(), 2);

        // While the window starts, a hand-off is taken (the bus answers as above) and opens
        // once the start is over, once.
        c.handOff.holdUntilStarted();
        c.handOff.accept(HandOff::decode(QJsonValue(QStringLiteral("http://127.0.0.1/early"))));
        QCOMPARE(c.set->tabs().size(), 2);
        c.handOff.started();
        QCOMPARE(c.set->tabs().size(), 3);
        QCOMPARE(c.set->GetActivePage()->HomeUrl(), QStringLiteral("http://127.0.0.1/early"));
        c.handOff.started();
        QCOMPARE(c.set->tabs().size(), 3);

        c.handOff.stopAnswering();
        QVERIFY(deliverFromAnotherCopy(folder.path(), c.set.hive,
                                       QStringLiteral("http://127.0.0.1/late")) ==
                HandOff::Delivery::Exiting);
        QCOMPARE(c.set->tabs().size(), 3);
    }

    // A private window answers the tool, each tab marked, and declines every hand-off: with
    // only it running the sender finds nobody to take the argument, and beside an
    // exiting ordinary copy the sender learns that it must start on its own.
    void aPrivateWindowDeclinesHandOffs()
    {
        QTemporaryDir folder;
        MessageBus privateBus(folder.path());
        QVERIFY(privateBus.listen());
        Copy secret(&privateBus, true);
        const QString argument = QStringLiteral("http://127.0.0.1/sent");
        // Nobody took it: the sender then keeps it in the hive (which, opened on this thread,
        // the sender's thread cannot write here: "lost" stands for "kept for later").
        const HandOff::Delivery alone =
            deliverFromAnotherCopy(folder.path(), secret.set.hive, argument);
        QVERIFY(alone == HandOff::Delivery::Unanswered || alone == HandOff::Delivery::Lost);
        QCOMPARE(secret.set->tabs().size(), 1);

        auto listed = std::async(std::launch::async, [&folder] {
            const MessageBus tool(folder.path());
            return tool.broadcast(QLatin1String(HandOff::ListTabsMessage), {}, 3000);
        });
        while (listed.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const auto answers = listed.get();
        QCOMPARE(answers.size(), 1);
        const QJsonArray tabs = answers.first().reply.toArray();
        QCOMPARE(tabs.size(), 1);
        QCOMPARE(tabs.first().toObject().value(QStringLiteral("private")), QJsonValue(true));

        MessageBus ordinaryBus(folder.path());
        QVERIFY(ordinaryBus.listen());
        Copy ordinary(&ordinaryBus);
        ordinary.handOff.stopAnswering();
        QVERIFY(deliverFromAnotherCopy(folder.path(), secret.set.hive, argument) ==
                HandOff::Delivery::Exiting);
        secret.handOff.stopAnswering();
        QVERIFY(deliverFromAnotherCopy(folder.path(), secret.set.hive, argument) ==
                HandOff::Delivery::Exiting);
        QCOMPARE(secret.set->tabs().size(), 1);
    }

    // Nobody answers and the hive cannot keep the argument: the sender learns why.
    void aHandOffTheHiveCannotKeepSaysWhy()
    {
        QTemporaryDir folder;
        QVERIFY(HiveFiles::writeNewer(folder.filePath(QStringLiteral("newer.db"))));
        RegistryHive newer(folder.filePath(QStringLiteral("newer.db")));
        QString error;
        QVERIFY(HandOff::deliver(MessageBus(folder.path()), newer, QStringLiteral("http://x/"), 0,
                                 &error) == HandOff::Delivery::Lost);
        QVERIFY2(error.contains(QStringLiteral("newer version")), qPrintable(error));
    }
};

PELVANE_TEST_MAIN(TestWindowHandOff)
#include "tst_windowhandoff.moc"
