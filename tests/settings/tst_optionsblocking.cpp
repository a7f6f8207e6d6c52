// The options dialog's Content Blocking page: filter lists subscribed to by address, and
// what the window does with them.
#include "blocking/ContentBlocker.h"
#include "blocking/SubscriptionRules.h"
#include "settings/FilterSubscriptionList.h"
#include "settings/dialogs/ContentBlockingPage.h"
#include "support/FakeFileFetcher.h"
#include "support/OptionsFixture.h"
#include "support/Pictures.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimeZone>
#include <QTreeWidget>

using namespace OptionsFixture;

namespace {

// Answers the page's address question from a script, then cancels; records what it offered.
struct AddressScript
{
    QStringList answers;
    QStringList offered;
    QStringList notices;

    void attach(ContentBlockingPage* page)
    {
        page->setAddressQuestion([this](QWidget*, const QString& typed) {
            offered << typed;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        page->setNotice([this](QWidget*, const QString& text) { notices << text; });
    }
};

QStringList rowTexts(const QTreeWidget* list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(column);
    return texts;
}

} // namespace

class TestOptionsBlocking : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void subscriptionsAreCheckedWhenAddedAndKeptOnOk()
    {
        Setup d;
        const QUrl kept(QStringLiteral("https://lists.example/easy.txt"));
        const QString added = QStringLiteral("https://new.example/list.txt");
        FilterSubscriptionList list(d.hive);
        QVERIFY(list.setAddresses({kept}));
        list.recordOutcome(kept, QDateTime(QDate(2026, 3, 1), QTime(9, 30), QTimeZone::utc()), {});
        list.recordOutcome(kept, QDateTime(QDate(2026, 3, 9), QTime(9, 30), QTimeZone::utc()),
                           QStringLiteral("The download failed: Server unreachable"));

        for (const bool ok : {false, true}) {
            TfrmOptions dialog(d.hive, d.current, d.context);
            ContentBlockingPage* page = dialog.blockingPage();
            AddressScript script{{QStringLiteral("ftp://files.example/list.txt"), added,
                                  kept.toString()}};
            script.attach(page);
            child<QPushButton>(page, "cmdAddSubscription")->click();
            child<QPushButton>(page, "cmdAddSubscription")->click();
            QCOMPARE(script.offered,
                     QStringList({QString(), QStringLiteral("ftp://files.example/list.txt"),
                                  QString(), kept.toString()}));
            QCOMPARE(script.notices.size(), 2);
            QVERIFY2(script.notices[0].contains(QLatin1String("not a web address")),
                     qPrintable(script.notices[0]));
            QVERIFY(script.notices[1].contains(QLatin1String("already")));
            QCOMPARE(rowTexts(page->list(), 0), QStringList({kept.toString(), added}));
            QCOMPARE(rowTexts(page->list(), 1).at(1), QStringLiteral("Never"));
            QVERIFY(rowTexts(page->list(), 1).at(0) != QStringLiteral("Never"));
            QCOMPARE(rowTexts(page->list(), 2),
                     QStringList({QStringLiteral("The download failed: Server unreachable"),
                                  QString()}));
            // Nothing downloads the lists here: Refresh Now has nobody to ask.
            QVERIFY(!child<QPushButton>(page, "cmdRefreshSubscriptions")->isEnabled());
            if (ok) {
                child<QTabWidget>(&dialog, "pgOptions")->setCurrentWidget(page);
                picture(dialog, QStringLiteral("options-content-blocking"));
            }

            page->list()->setCurrentItem(page->list()->topLevelItem(0));
            child<QPushButton>(page, "cmdRemoveSubscription")->click();
            QCOMPARE(rowTexts(page->list(), 0), QStringList({added}));
            child<QPushButton>(&dialog, ok ? "cmdOK" : "cmdCancel")->click();
            QList<QUrl> stored;
            for (const FilterSubscription& s : list.read())
                stored << s.address;
            QCOMPARE(stored, ok ? QList<QUrl>({QUrl(added)}) : QList<QUrl>({kept}));
        }
    }

    void subscriptionsByKeyboard()
    {
        Setup d;
        QVERIFY(FilterSubscriptionList(d.hive).setAddresses(
            {QUrl(QStringLiteral("https://a.example/"))}));
        TfrmOptions dialog(d.hive, d.current, d.context);
        ContentBlockingPage* page = dialog.blockingPage();
        page->setRefreshAvailable(true);
        AddressScript script;
        script.attach(page);
        child<QTabWidget>(&dialog, "pgOptions")->setCurrentWidget(page);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        // Through the window, as typed: the mnemonics are shortcuts.
        QTest::keyClick(dialog.windowHandle(), Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(script.offered.size(), 1); // a button's shortcut clicks it a moment later
        QTest::keyClick(dialog.windowHandle(), Qt::Key_F, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), page->list());
        QStringList order;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, QStringList({QStringLiteral("cmdAddSubscription"),
                                     QStringLiteral("cmdRemoveSubscription"),
                                     QStringLiteral("cmdRefreshSubscriptions")}));
        QSignalSpy refresh(page, &ContentBlockingPage::refreshRequested);
        QTest::keyClick(dialog.windowHandle(), Qt::Key_N, Qt::AltModifier);
        QTRY_COMPARE(refresh.count(), 1);
    }

    // The window downloads what OK added, and Refresh Now downloads again while the dialog
    // is open, which shows the outcome.
    void theWindowDownloadsTheSubscriptions()
    {
        QTemporaryDir dir;
        RegistryHive hive(dir.filePath(QStringLiteral("registry.db")));
        ContentBlocker blocker(hive, dir.filePath(QStringLiteral("Filters")));
        FakeFileFetcher fetcher;
        MainWindowFixture w({.hive = &hive, .contentBlocker = &blocker, .fetcher = &fetcher});
        const QUrl address(QStringLiteral("https://new.example/list.txt"));
        AddressScript script{{address.toString()}};
        changeOptions(w, [&script](TfrmOptions* options) {
            script.attach(options->blockingPage());
            child<QPushButton>(options, "cmdAddSubscription")->click();
        });
        QCOMPARE(fetcher.requests.size(), 1);
        QCOMPARE(fetcher.requests[0].address, address);
        fetcher.answer("! a list\n||ads.example^\n");
        const QString file =
            QDir(blocker.folder()).filePath(SubscriptionRules::fileNameFor(address));
        QVERIFY(QFile::exists(file));

        changeOptions(
            w,
            [&fetcher](TfrmOptions* options) {
                ContentBlockingPage* page = options->blockingPage();
                QCOMPARE(rowTexts(page->list(), 2), QStringList({QString()}));
                child<QPushButton>(page, "cmdRefreshSubscriptions")->click();
                QCOMPARE(fetcher.requests.size(), 2);
                fetcher.answer("<!DOCTYPE html><html>");
                QVERIFY(rowTexts(page->list(), 2).at(0).contains(QLatin1String("web page")));
            },
            false);
        QVERIFY(QFile::exists(file));
    }

    // A private window leaves the lists to the user's own copy.
    void aPrivateWindowDownloadsNoLists()
    {
        QTemporaryDir dir;
        RegistryHive hive(dir.filePath(QStringLiteral("registry.db")));
        ContentBlocker blocker(hive, dir.filePath(QStringLiteral("Filters")));
        FakeFileFetcher fetcher;
        MainWindowFixture w({.hive = &hive,
                             .privateWindow = true,
                             .contentBlocker = &blocker,
                             .fetcher = &fetcher});
        AddressScript script{{QStringLiteral("https://new.example/list.txt")}};
        changeOptions(w, [&script](TfrmOptions* options) {
            script.attach(options->blockingPage());
            child<QPushButton>(options, "cmdAddSubscription")->click();
            QVERIFY(!child<QPushButton>(options, "cmdRefreshSubscriptions")->isEnabled());
        });
        QCOMPARE(FilterSubscriptionList(hive).read().size(), 1);
        QVERIFY(fetcher.requests.isEmpty());
    }

};

PELVANE_TEST_MAIN(TestOptionsBlocking)
#include "tst_optionsblocking.moc"
