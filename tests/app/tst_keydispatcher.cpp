#include "app/KeyDispatcher.h"
#include "support/ActiveWindow.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

using Command = KeyDispatcher::Command;

class TestKeyDispatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The table runs before the focused widget and before the window's own shortcuts, and
    // leaves everything alone while another window (a dialog) is active.
    void keysReachTheTableBeforeWidgetsAndShortcuts()
    {
        QWidget window;
        auto* edit = new QLineEdit(&window);
        int shortcutRuns = 0;
        for (const char* keys : {"Ctrl+W", "Ctrl+A", "Esc"}) {
            auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys)), &window);
            connect(shortcut, &QShortcut::activated, [&] { ++shortcutRuns; });
        }
        QList<Command> ran;
        KeyDispatcher dispatcher(
            &window, [] { return KeyDispatcher::Context{}; }, [&](Command c) { ran << c; });
        window.show();
        QVERIFY(activateForKeys(&window));
        edit->setFocus();

        QTest::keyClick(edit, Qt::Key_W, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_X); // not ours: typed into the box
        QCOMPARE(ran, QList<Command>{Command::Close});
        QCOMPARE(shortcutRuns, 0);
        QCOMPARE(edit->text(), QStringLiteral("x"));
        // The field's own edit keys.
        for (const char* keys : {"Ctrl+A", "Ctrl+X", "Shift+Ins", "Ctrl+A", "Ctrl+C", "Shift+Del",
                                 "Ctrl+V", "Ctrl+V", "Ctrl+Ins", "Ctrl+A"})
            QTest::keySequence(edit, QKeySequence(QString::fromLatin1(keys)));
        QCOMPARE(edit->selectedText(), QStringLiteral("xx"));

        // A dialog shown inside the window (as a page shows its prompt) closes on Esc.
        auto* inPage = new QDialog;
        inPage->setParent(&window, Qt::Widget);
        auto* answer = new QLineEdit(inPage);
        auto* ok = new QPushButton(QStringLiteral("OK"), inPage);
        inPage->show();
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_A, Qt::ControlModifier); // not the page behind
        answer->setFocus();
        QTest::keyClick(answer, Qt::Key_Escape);
        QVERIFY(!inPage->isVisible());
        QCOMPARE(ran, QList<Command>{Command::Close});
        QCOMPARE(shortcutRuns, 0);

        QWidget dialog;
        auto* dialogEdit = new QLineEdit(&dialog);
        dialog.show();
        QVERIFY(activateForKeys(&dialog));
        dialogEdit->setFocus();
        QTest::keyClick(dialogEdit, Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(ran.size(), 1);
    }
};

PELVANE_TEST_MAIN(TestKeyDispatcher)
#include "tst_keydispatcher.moc"
