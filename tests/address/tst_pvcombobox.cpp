#include "address/AddressCompleter.h"
#include "address/PVComboBox.h"
#include "address/TypedAddresses.h"
#include "history/HistoryStore.h"
#include "platform/Registry.h"
#include "support/TestHome.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTreeWidget>

namespace {

using Completion = TPVComboBox::InlineCompletion;

void writeTypedValues(const QList<std::pair<QString, QString>>& values)
{
    TRegistry reg(RegistryHive::userHive());
    reg.deleteKey(TypedAddresses::key());
    QVERIFY(reg.openKey(TypedAddresses::key(), true));
    for (const auto& [name, value] : values)
        reg.writeString(name, value);
}

QStringList storedValueNames()
{
    TRegistry reg(RegistryHive::userHive());
    if (!reg.openKeyReadOnly(TypedAddresses::key()))
        return {QStringLiteral("<no key>")};
    return reg.valueNames();
}

QStringList numbered(int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list << QStringLiteral("http://127.0.0.1/%1").arg(i);
    return list;
}

} // namespace

class TestPVComboBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void inlineCompletion_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("index"); // -1: typed normally
        QTest::addColumn<QString>("text");

        const QStringList items{"http://www.example.com/", "Example.org", "http://go.example/",
                                "HTTP://Mixed.net", "http://longname.example/"};
        QTest::newRow("first entry that begins with it, its spelling")
            << items << "EX" << 1 << "Example.org";
        QTest::newRow("with http:// in front, dropped from the text")
            << items << "go" << 2 << "go.example/";
        QTest::newRow("the scheme's letters in any case") << items << "mi" << 3 << "Mixed.net";
        QTest::newRow("www finds the first http://www entry")
            << items << "www" << 0 << "www.example.com/";
        QTest::newRow("the scheme itself matches as typed, never as http://http")
            << items << "htt" << 0 << "http://www.example.com/";
        QTest::newRow("seven letters and more still try http://")
            << items << "longnam" << 4 << "longname.example/";
        QTest::newRow("no entry") << items << "zz" << -1 << "";
        QTest::newRow("leading part of http:// is never searched with http:// in front")
            << QStringList{"http://http:/x"} << "http:/" << 0 << "http://http:/x";
        QTest::newRow("leading part of http:// with nothing to find")
            << QStringList{"https://x"} << "http:/" << -1 << "";
        QTest::newRow("empty list") << QStringList{} << "a" << -1 << "";
    }

    void inlineCompletion()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, typed);
        QFETCH(int, index);
        QFETCH(QString, text);
        const auto completion = TPVComboBox::InlineComplete(items, typed);
        if (index < 0) {
            QVERIFY(!completion);
            return;
        }
        QVERIFY(completion);
        QCOMPARE(*completion, (Completion{index, text, int(typed.size())}));
    }

    void inlineStyleCompletesWhileTypingAndOtherStylesDoNot()
    {
        TPVComboBox box;
        box.setItems({QStringLiteral("http://www.example.com/"), QStringLiteral("http://ab.org")});
        box.show();
        QSignalSpy chosen(&box, &QComboBox::activated);

        box.setCompletionStyle(TPVComboBox::StyleIE4);
        QTest::keyClicks(&box, QStringLiteral("ww"));
        QCOMPARE(box.currentText(), QStringLiteral("www.example.com/"));
        QCOMPARE(box.lineEdit()->selectionStart(), 2);
        QCOMPARE(box.lineEdit()->selectedText(), QStringLiteral("w.example.com/"));
        QVERIFY(box.lineEdit()->isModified());
        // A letter that leaves the entries types normally over the selection.
        QTest::keyClicks(&box, QStringLiteral("q"));
        QCOMPARE(box.currentText(), QStringLiteral("wwq"));
        QCOMPARE(chosen.count(), 0); // showing an entry is not choosing it

        box.setEditText(QString());
        box.setCompletionStyle(TPVComboBox::StyleNone);
        QTest::keyClicks(&box, QStringLiteral("ww"));
        QCOMPARE(box.currentText(), QStringLiteral("ww"));
        box.setEditText(QString());
        box.setCompletionStyle(TPVComboBox::StyleIE5);
        QTest::keyClicks(&box, QStringLiteral("ab"));
        QCOMPARE(box.currentText(), QStringLiteral("ab"));
    }

    void enterAndControlCharacters()
    {
        TPVComboBox box;
        box.setItems({QStringLiteral("http://a.example/"), QStringLiteral("http://b.example/")});
        box.setEditText(QStringLiteral("typed"));
        box.show();
        QSignalSpy enter(&box, &TPVComboBox::enterPressed);
        QSignalSpy chosen(&box, &QComboBox::activated);

        QTest::keyClick(&box, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(&box, Qt::Key_Enter, Qt::KeypadModifier | Qt::ShiftModifier);
        QTest::keyClick(&box, Qt::Key_Return, Qt::AltModifier);
        QCOMPARE(enter.count(), 3);
        QCOMPARE(enter.at(0).at(0).value<Qt::KeyboardModifiers>(),
                 Qt::KeyboardModifiers(Qt::ControlModifier));
        QCOMPARE(enter.at(1).at(0).value<Qt::KeyboardModifiers>(),
                 Qt::KeyboardModifiers(Qt::ShiftModifier));
        QCOMPARE(enter.at(2).at(0).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers());

        for (const char16_t code : {u'\r', u'\n', char16_t(16), char16_t(17)}) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                            QString(QChar(code)));
            QCoreApplication::sendEvent(&box, &press);
        }
        QCOMPARE(box.currentText(), QStringLiteral("typed"));

        // Down opens the list: stepping through it would open every entry on the way.
        QTest::keyClick(&box, Qt::Key_Down);
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(box.currentText(), QStringLiteral("typed"));
        QTRY_VERIFY(box.view()->isVisible());
        box.hidePopup();
    }

    void dropDownAndCloseUpAreReported()
    {
        TPVComboBox box;
        box.setItems({QStringLiteral("x")});
        box.show();
        QSignalSpy down(&box, &TPVComboBox::DropDown);
        QSignalSpy up(&box, &TPVComboBox::CloseUp);
        box.showPopup();
        box.hidePopup();
        QCOMPARE(down.count(), 1);
        QCOMPARE(up.count(), 1);
    }

    void setItemsKeepsTheText()
    {
        TPVComboBox box;
        box.setEditText(QStringLiteral("being typed"));
        box.lineEdit()->setModified(true);
        box.setItems(numbered(3));
        QCOMPARE(box.currentText(), QStringLiteral("being typed"));
        QVERIFY(box.lineEdit()->isModified());
        QCOMPARE(box.items(), numbered(3));
    }

    // --- The typed-address list in the hive ---------------------------------------------

    void loadingStopsAtTheFirstGapAndAtTheMaximum()
    {
        writeTypedValues(
            {{"url1", "http://one/"}, {"url2", "http://two/"}, {"url4", "http://four/"}});
        QStringList list{QStringLiteral("left over")};
        TypedAddresses::LoadTypedAddresses(list, 25, RegistryHive::userHive());
        QCOMPARE(list, (QStringList{"http://one/", "http://two/"}));

        writeTypedValues({{"url1", "http://one/"}, {"url2", ""}, {"url3", "http://three/"}});
        TypedAddresses::LoadTypedAddresses(list, 25, RegistryHive::userHive());
        QCOMPARE(list, QStringList{"http://one/"});

        QList<std::pair<QString, QString>> thirty;
        for (int i = 30; i >= 1; --i) // written out of order: the numbers count, not the order
            thirty.append(
                {QStringLiteral("url%1").arg(i), QStringLiteral("http://127.0.0.1/%1").arg(i)});
        writeTypedValues(thirty);
        TypedAddresses::LoadTypedAddresses(list, TypedAddresses::MaxEntries,
                                           RegistryHive::userHive());
        QCOMPARE(list, numbered(25));

        TRegistry reg(RegistryHive::userHive());
        reg.deleteKey(TypedAddresses::key());
        TypedAddresses::LoadTypedAddresses(list, 25, RegistryHive::userHive());
        QVERIFY(list.isEmpty());
    }

    void savingReplacesTheWholeKey()
    {
        writeTypedValues({{"url1", "http://old/"}, {"url7", "http://stray/"}, {"MRU", "x"}});
        TypedAddresses::SaveTypedAddresses(
            {QStringLiteral("http://a/"), QStringLiteral("http://b/")}, RegistryHive::userHive());
        QCOMPARE(storedValueNames(), (QStringList{"url1", "url2"}));
        QStringList list;
        TypedAddresses::LoadTypedAddresses(list, 25, RegistryHive::userHive());
        QCOMPARE(list, (QStringList{"http://a/", "http://b/"}));

        TypedAddresses::SaveTypedAddresses({}, RegistryHive::userHive());
        QCOMPARE(storedValueNames(), QStringList{}); // present and empty
    }

    void rememberingMovesToTheTopWithoutRegardToCase()
    {
        QStringList list{QStringLiteral("http://A.example/"), QStringLiteral("http://b.example/")};
        TypedAddresses::Remember(list, QStringLiteral("HTTP://B.EXAMPLE/"));
        QCOMPARE(list, (QStringList{"http://b.example/", "http://A.example/"}));
        TypedAddresses::Remember(list, QStringLiteral("http://c.example/"));
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.first(), QStringLiteral("http://c.example/"));

        QStringList full = numbered(25);
        TypedAddresses::Remember(full, QStringLiteral("http://127.0.0.1/new"));
        QCOMPARE(full.size(), 25);
        QCOMPARE(full.first(), QStringLiteral("http://127.0.0.1/new"));
        QCOMPARE(full.last(), QStringLiteral("http://127.0.0.1/24")); // the oldest went
        TypedAddresses::Remember(full, QStringLiteral("http://127.0.0.1/24"));
        QCOMPARE(full.size(), 25);
        QCOMPARE(full.first(), QStringLiteral("http://127.0.0.1/24"));
    }

    // --- Completion from the history ----------------------------------------------------

    void historyListOffersMatchesMostVisitedFirst()
    {
        const QString file = QDir(qEnvironmentVariable("PELVANE_HOME")).filePath("completion.db");
        {
            HistoryStore store(file);
            QVERIFY(store.isOpen());
            store.recordVisit(QStringLiteral("http://www.example.com/"), QStringLiteral("Example"));
            for (int i = 0; i < 3; ++i)
                store.recordVisit(QStringLiteral("http://example.org/"), QStringLiteral("Org"));
            store.recordVisit(QStringLiteral("http://other.test/"),
                              QStringLiteral("Some <b>examples</b>"));
            for (int i = 0; i < 20; ++i)
                store.recordVisit(QStringLiteral("http://many.test/%1").arg(i),
                                  QStringLiteral("Many"));
            store.recordVisit(QStringLiteral("http://unrelated.test/"), QStringLiteral("Nothing"));
        }
        TPVComboBox box;
        box.show();
        AddressCompleter completer(&box, file);
        completer.setEnabled(true);
        QSignalSpy answered(&completer, &AddressCompleter::answered);

        box.setEditText(QStringLiteral("exa"));
        completer.complete(QStringLiteral("exa"));
        QVERIFY(answered.wait());
        QCOMPARE(
            completer.shownAddresses(),
            (QStringList{"http://example.org/", "http://www.example.com/", "http://other.test/"}));
        QVERIFY(completer.isPopupVisible());
        QCOMPARE(completer.popup()->topLevelItem(0)->text(1), QStringLiteral("Org"));
        // A page's title is shown as the text it is, in its tip too.
        QVERIFY(completer.popup()->topLevelItem(2)->toolTip(1).contains("&lt;b&gt;"));

        box.setEditText(QStringLiteral("many"));
        completer.complete(QStringLiteral("many"));
        QVERIFY(answered.wait());
        QCOMPARE(completer.shownAddresses().size(), AddressCompleter::MaxRows);

        // Only the answer for the text still in the box is shown.
        box.setEditText(QStringLiteral("zzz"));
        completer.complete(QStringLiteral("unrel"));
        completer.complete(QStringLiteral("zzz"));
        QVERIFY(answered.wait());
        QCOMPARE(answered.last().at(0).toInt(), 0);
        QVERIFY(!completer.isPopupVisible());
        // The earlier request never answers: the next answer is the next request's (the
        // worker answers in order).
        const qsizetype afterStale = answered.count();
        box.setEditText(QStringLiteral("exa"));
        completer.complete(QStringLiteral("exa"));
        QVERIFY(answered.wait());
        QCOMPARE(answered.count(), afterStale + 1);
        QCOMPARE(answered.last().at(0).toInt(), 3);

        // Switched off, typing shows nothing; switched on again, the first answer is the one
        // asked for then.
        completer.setEnabled(false);
        QVERIFY(!completer.isPopupVisible());
        QTest::keyClicks(&box, QStringLiteral("e"));
        const qsizetype whileOff = answered.count();
        completer.setEnabled(true);
        box.setEditText(QStringLiteral("many"));
        completer.complete(QStringLiteral("many"));
        QVERIFY(answered.wait());
        QCOMPARE(answered.count(), whileOff + 1);
        QCOMPARE(answered.last().at(0).toInt(), int(AddressCompleter::MaxRows));
    }

    void keysAndClicksInTheList()
    {
        const QString file = QDir(qEnvironmentVariable("PELVANE_HOME")).filePath("keys.db");
        {
            HistoryStore store(file);
            store.recordVisit(QStringLiteral("http://one.example/"), QStringLiteral("One"));
            store.recordVisit(QStringLiteral("http://one.example/"), QStringLiteral("One"));
            store.recordVisit(QStringLiteral("http://onion.example/"), QStringLiteral("Onion"));
        }
        TPVComboBox box;
        box.show();
        AddressCompleter completer(&box, file);
        completer.setEnabled(true);
        QSignalSpy answered(&completer, &AddressCompleter::answered);
        QSignalSpy enter(&box, &TPVComboBox::enterPressed);
        QSignalSpy chosen(&completer, &AddressCompleter::chosen);

        QTest::keyClicks(&box, QStringLiteral("on")); // typing asks by itself
        QTRY_COMPARE(completer.shownAddresses().size(), 2);
        QTreeWidget* list = completer.popup();
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(box.currentText(), QStringLiteral("http://one.example/"));
        QTest::keyClick(list, Qt::Key_Up); // back to what was typed
        QCOMPARE(box.currentText(), QStringLiteral("on"));
        QTest::keyClick(list, Qt::Key_Up); // round to the last row
        QCOMPARE(box.currentText(), QStringLiteral("http://onion.example/"));
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!completer.isPopupVisible());
        QCOMPARE(box.currentText(), QStringLiteral("on"));

        // Other keys go on to the box while the list is open.
        completer.complete(QStringLiteral("on"));
        QVERIFY(answered.wait());
        QTest::keyClick(list, Qt::Key_I);
        QCOMPARE(box.currentText(), QStringLiteral("oni"));
        QTRY_COMPARE(completer.shownAddresses(), QStringList{"http://onion.example/"});
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(enter.count(), 1);
        QCOMPARE(enter.first().at(0).value<Qt::KeyboardModifiers>(),
                 Qt::KeyboardModifiers(Qt::ControlModifier));
        QCOMPARE(box.currentText(), QStringLiteral("http://onion.example/"));
        QVERIFY(!completer.isPopupVisible());

        box.setEditText(QStringLiteral("on"));
        completer.complete(QStringLiteral("on"));
        QVERIFY(answered.wait());
        QTreeWidgetItem* second = list->topLevelItem(1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(second).center());
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.first().at(0).toString(), QStringLiteral("http://onion.example/"));
        QCOMPARE(box.currentText(), QStringLiteral("http://onion.example/"));
    }
};

PELVANE_TEST_MAIN(TestPVComboBox)
#include "tst_pvcombobox.moc"
