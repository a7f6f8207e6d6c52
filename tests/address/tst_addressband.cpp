#include "address/AddressBand.h"
#include "address/AddressCompleter.h"
#include "address/NavigationRules.h"
#include "address/PVComboBox.h"
#include "address/TypedAddresses.h"
#include "platform/RegistryHive.h"
#include "settings/PVOptions.h"
#include "support/DataRows.h"
#include "support/HiveQueries.h"
#include "support/TestHome.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

namespace {

const QString Blank = QStringLiteral("about:blank");

// An address band on a hive of its own, with what it asked to open.
struct Band
{
    QTemporaryDir dir;
    RegistryHive hive{dir.filePath(QStringLiteral("registry.db"))};
    QWidget window;
    AddressBand band{hive, dir.filePath(QStringLiteral("history.db")), &window};
    QSignalSpy committed{&band, &AddressBand::commitRequested};

    TPVComboBox* box() const { return band.box(); }
    QString lastCommit() const
    {
        return committed.isEmpty() ? QString() : committed.last().first().toString();
    }
    QStringList stored()
    {
        QStringList list;
        TypedAddresses::LoadTypedAddresses(list, 100, hive);
        return list;
    }
};

} // namespace

class TestAddressBand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- Pure decisions -------------------------------------------------------------------

    void domainCompletion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("ctrlPost"); // empty: the default
        QTest::addColumn<QString>("expected");
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
        const Qt::KeyboardModifiers both = Qt::ControlModifier | Qt::ShiftModifier;
        addRows<QString, Qt::KeyboardModifiers, QString, QString>({
            {"plain Enter: unchanged", "word", {}, "", "word"},
            {"Ctrl", "word", ctrl, "", "http://www.word.com"},
            {"Shift", "word", shift, "", "http://www.word.net"},
            {"Ctrl+Shift", "word", both, "", "http://www.word.org"},
            {"www. still gets the whole prefix", "www.word", ctrl, "", "http://www.www.word.com"},
            {"prefix already there", "http://www.word", ctrl, "", "http://www.word.com"},
            {"prefix in capitals goes in front again", "HTTP://WWW.word", ctrl, "",
             "http://www.HTTP://WWW.word.com"},
            {"ends in .com/: prefix only", "word.com/", ctrl, "", "http://www.word.com/"},
            {"another built-in ending counts too", "word.org", shift, "", "http://www.word.org"},
            {"built-in endings are case-sensitive", "word.COM", ctrl, "",
             "http://www.word.COM.com"},
            {"custom suffix already there", "word.de", ctrl, ".de", "http://www.word.de"},
            {"custom suffix and /", "word.de/", ctrl, ".de", "http://www.word.de/"},
            {"custom suffix, other case", "word.DE", ctrl, ".de", "http://www.word.DE.de"},
        });
    }

    void domainCompletion()
    {
        QFETCH(QString, text);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, ctrlPost);
        QFETCH(QString, expected);
        NavigationRules::DomainCompletion strings;
        if (!ctrlPost.isEmpty())
            strings.ctrlPost = ctrlPost;
        QCOMPARE(NavigationRules::CompleteDomain(text, modifiers, strings), expected);
    }

    // --- The band ---------------------------------------------------------------------------

    void enterCompletesCommitsAndRemembersWhatWasTyped()
    {
        Band b;
        b.box()->setEditText(QStringLiteral("example"));
        QTest::keyClick(b.box(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(b.lastCommit(), QStringLiteral("http://www.example.com"));
        QCOMPARE(b.box()->currentText(), QStringLiteral("http://www.example.com"));
        QVERIFY(b.band.AddressTyped());

        // What is remembered is the address the tab actually goes to, on top of the list.
        b.band.RememberTypedAddress(QStringLiteral("http://www.example.com/"));
        QVERIFY(!b.band.AddressTyped());
        QCOMPARE(b.box()->items(), QStringList{"http://www.example.com/"});
        QCOMPARE(b.box()->currentText(), QStringLiteral("http://www.example.com/"));
        // A link followed afterwards is not.
        b.band.RememberTypedAddress(QStringLiteral("http://127.0.0.1/link"));
        QCOMPARE(b.box()->items().size(), 1);

        // Plain Enter commits the text as it is; an empty box commits nothing.
        b.box()->setEditText(QStringLiteral("127.0.0.1/plain"));
        QTest::keyClick(b.box(), Qt::Key_Return);
        QCOMPARE(b.lastCommit(), QStringLiteral("127.0.0.1/plain"));
        b.box()->setEditText(QStringLiteral("   "));
        QTest::keyClick(b.box(), Qt::Key_Return);
        QCOMPARE(b.committed.size(), 2);
    }

    void listChoiceCommitsWithoutRememberingAndGoDoesRemember()
    {
        Band b;
        TypedAddresses::SaveTypedAddresses(
            {QStringLiteral("http://127.0.0.1/a"), QStringLiteral("http://127.0.0.1/b")}, b.hive);
        b.band.loadTypedAddresses();
        QCOMPARE(b.box()->items().size(), 2);
        b.box()->setCurrentIndex(1);
        Q_EMIT b.box()->activated(1);
        QCOMPARE(b.lastCommit(), QStringLiteral("http://127.0.0.1/b"));
        QVERIFY(!b.band.AddressTyped());

        b.band.SetShowGo(true);
        b.box()->setEditText(QStringLiteral(" http://127.0.0.1/go "));
        b.band.goButton()->click();
        QCOMPARE(b.lastCommit(), QStringLiteral("http://127.0.0.1/go"));
        QVERIFY(b.band.AddressTyped());
        // The same text in other letters moves the stored spelling to the top.
        b.band.RememberTypedAddress(QStringLiteral("HTTP://127.0.0.1/B"));
        QCOMPARE(b.box()->items(), (QStringList{"http://127.0.0.1/b", "http://127.0.0.1/a"}));
    }

    void anEmptyBoxOpensNothing()
    {
        Band b;
        for (const auto modifiers : {Qt::NoModifier, Qt::ControlModifier, Qt::ShiftModifier}) {
            b.box()->setEditText(QStringLiteral("  "));
            QTest::keyClick(b.box(), Qt::Key_Return, modifiers);
        }
        b.band.GoButtonClicked();
        QVERIFY(b.committed.isEmpty());
        QVERIFY(!b.band.AddressTyped()); // the next link followed is not a typed address
    }

    void pageReportsNeverOverwriteTyping()
    {
        Band b;
        b.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.window));
        b.band.ShowAddress(Blank);
        QVERIFY(b.box()->currentText().isEmpty());
        b.band.ShowAddress(QStringLiteral("http://127.0.0.1/page"));
        QCOMPARE(b.box()->currentText(), QStringLiteral("http://127.0.0.1/page"));

        b.band.focusBox(Qt::OtherFocusReason);
        QTRY_VERIFY(b.box()->hasFocus());
        QTest::keyClicks(b.box(), QStringLiteral("typed"));
        b.band.ShowAddress(QStringLiteral("http://127.0.0.1/other"));
        QCOMPARE(b.box()->currentText(), QStringLiteral("typed"));
        // Another tab in front: its address shows, and what was typed is let go.
        b.band.setAddressTyped(true);
        b.band.showPageAddress(QStringLiteral("http://127.0.0.1/tab"));
        QCOMPARE(b.box()->currentText(), QStringLiteral("http://127.0.0.1/tab"));
        QVERIFY(!b.band.AddressTyped());
    }

    void typedListIsSavedLoadedAndClearedAtOnce()
    {
        Band b;
        b.box()->setEditText(QStringLiteral("http://127.0.0.1/kept"));
        QTest::keyClick(b.box(), Qt::Key_Return);
        b.band.RememberTypedAddress(QStringLiteral("http://127.0.0.1/kept"));
        QVERIFY(b.stored().isEmpty()); // written at exit
        b.band.saveTypedAddresses();
        QCOMPARE(b.stored(), QStringList{"http://127.0.0.1/kept"});

        AddressBand again(b.hive, QString(), &b.window);
        again.loadTypedAddresses();
        QCOMPARE(again.box()->items(), QStringList{"http://127.0.0.1/kept"});
        again.clearTypedAddresses();
        QVERIFY(again.box()->items().isEmpty());
        QVERIFY(b.stored().isEmpty()); // at once
    }

    void aFullTypedListIsReadInOneLookUp()
    {
        Band b;
        QStringList full;
        for (int i = 1; i <= TypedAddresses::MaxEntries + 1; ++i)
            full << QStringLiteral("http://127.0.0.1/%1").arg(i);
        TypedAddresses::SaveTypedAddresses(full, b.hive);
        const HiveQueries queries(b.hive);
        b.band.loadTypedAddresses();
        QCOMPARE(queries.taken(), 1u);
        QCOMPARE(b.box()->items(), full.mid(0, TypedAddresses::MaxEntries));
    }

    void completionStyleInForce()
    {
        Band b;
        QCOMPARE(b.band.SetAutoCompleteStyle(TPVOptions::StyleIE4, false),
                 int(TPVOptions::StyleIE4));
        QCOMPARE(b.box()->completionStyle(), int(TPVComboBox::StyleIE4));
        QVERIFY(!b.band.completer()->isEnabled());
        b.band.SetAutoCompleteStyle(TPVOptions::StyleIE5, false);
        QVERIFY(b.band.completer()->isEnabled());
        b.band.SetAutoCompleteStyle(TPVOptions::StyleNone, false);
        QVERIFY(!b.band.completer()->isEnabled());
        // Where the history list is not offered, IE5 means IE4.
        QCOMPARE(b.band.SetAutoCompleteStyle(TPVOptions::StyleIE5, true),
                 int(TPVOptions::StyleIE4));
        QVERIFY(!b.band.completer()->isEnabled());
    }

    void domainTextsComeFromTheSettings()
    {
        Band b;
        TPVOptions options(b.hive);
        options.SetCtrlPost(QStringLiteral(".de"));
        b.band.LoadAddressCompletion(options);
        b.box()->setEditText(QStringLiteral("word"));
        QTest::keyClick(b.box(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(b.lastCommit(), QStringLiteral("http://www.word.de"));
    }
};

PELVANE_TEST_MAIN(TestAddressBand)
#include "tst_addressband.moc"
