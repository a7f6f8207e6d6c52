#include "app/KeyDispatcher.h"
#include "support/ActiveWindow.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

using Command = KeyDispatcher::Command;
Q_DECLARE_METATYPE(Command)

class TestKeyDispatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void table_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("altDisabled");
        QTest::addColumn<bool>("hasTab");
        QTest::addColumn<Command>("expected");

        const int alt = Qt::AltModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
        QTest::newRow("Alt+D") << int(Qt::Key_D) << alt << false << true << Command::FocusAddress;
        QTest::newRow("Alt+S drops the Tabs menu")
            << int(Qt::Key_S) << alt << false << true << Command::TabsMenu;
        QTest::newRow("Alt+Home") << int(Qt::Key_Home) << alt << false << true << Command::TabHome;
        QTest::newRow("Alt+D off") << int(Qt::Key_D) << alt << true << true << Command::None;
        QTest::newRow("Alt+Home off") << int(Qt::Key_Home) << alt << true << true << Command::None;
        QTest::newRow("Alt+Left off") << int(Qt::Key_Left) << alt << true << true << Command::None;
        QTest::newRow("Alt+Left without history")
            << int(Qt::Key_Left) << alt << false << true << Command::Swallow;
        QTest::newRow("Ctrl+W still works with Alt off")
            << int(Qt::Key_W) << ctrl << true << true << Command::Close;
        QTest::newRow("F11 still works with Alt off")
            << int(Qt::Key_F11) << 0 << true << true << Command::FullScreen;
        QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << ctrl << false << false << Command::NextTab;
        QTest::newRow("Ctrl+Shift+Tab")
            << int(Qt::Key_Backtab) << (ctrl | shift) << false << false << Command::PreviousTab;
        QTest::newRow("Shift+Insert without tab")
            << int(Qt::Key_Insert) << shift << false << false << Command::Paste;
        QTest::newRow("Shift+Delete")
            << int(Qt::Key_Delete) << shift << false << true << Command::Cut;
        QTest::newRow("Esc without tab")
            << int(Qt::Key_Escape) << 0 << false << false << Command::None;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << false << true << Command::Stop;
        QTest::newRow("Shift+Esc")
            << int(Qt::Key_Escape) << shift << false << true << Command::StopAll;
        QTest::newRow("Ctrl+S searches in the tab")
            << int(Qt::Key_S) << ctrl << false << true << Command::TabSearch;
        QTest::newRow("Ctrl+Shift+S saves")
            << int(Qt::Key_S) << (ctrl | shift) << false << true << Command::SaveAs;
        QTest::newRow("Ctrl+Shift+W")
            << int(Qt::Key_W) << (ctrl | shift) << false << true << Command::CloseAll;
        QTest::newRow("Ctrl+F4") << int(Qt::Key_F4) << ctrl << false << true << Command::Close;
        QTest::newRow("Ctrl+Shift+F4")
            << int(Qt::Key_F4) << (ctrl | shift) << false << true << Command::CloseAll;
        QTest::newRow("F4") << int(Qt::Key_F4) << 0 << false << true << Command::ToggleSideBar;
        QTest::newRow("Ctrl+Insert")
            << int(Qt::Key_Insert) << ctrl << false << true << Command::Copy;
        QTest::newRow("Ctrl+Q") << int(Qt::Key_Q) << ctrl << false << true
                                << Command::FollowNextLink;
        QTest::newRow("F5") << int(Qt::Key_F5) << 0 << false << true << Command::Refresh;
        QTest::newRow("Ctrl+F5") << int(Qt::Key_F5) << ctrl << false << true
                                 << Command::RefreshComplete;
        QTest::newRow("Shift+F5") << int(Qt::Key_F5) << shift << false << true
                                  << Command::RefreshAll;
        QTest::newRow("F10 is swallowed")
            << int(Qt::Key_F10) << 0 << false << true << Command::Swallow;
        QTest::newRow("Menu key is the page's")
            << int(Qt::Key_Menu) << 0 << false << true << Command::None;
        QTest::newRow("F12") << int(Qt::Key_F12) << 0 << false << true << Command::ToggleLock;
        QTest::newRow("Ctrl+F12") << int(Qt::Key_F12) << ctrl << false << true
                                  << Command::ToggleForeground;
        QTest::newRow("F3 without tab") << int(Qt::Key_F3) << 0 << false << false << Command::None;
        QTest::newRow("plain letter") << int(Qt::Key_W) << 0 << false << true << Command::None;
    }

    void table()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, altDisabled);
        QFETCH(bool, hasTab);
        QFETCH(Command, expected);
        KeyDispatcher::Context context;
        context.altShortcutsDisabled = altDisabled;
        context.hasActiveTab = hasTab;
        QCOMPARE(KeyDispatcher::decide(key, Qt::KeyboardModifiers(modifiers), context), expected);
    }

    void f2IsLeftToTheFavoritesTree()
    {
        KeyDispatcher::Context context;
        context.renameTreeFocused = true;
        QCOMPARE(KeyDispatcher::decide(Qt::Key_F2, {}, context), Command::None);
        context.renameTreeFocused = false;
        QCOMPARE(KeyDispatcher::decide(Qt::Key_F2, {}, context), Command::PreviousTab);
        context.sideBarTreeFocused = true; // Shift+F10 is a side bar tree's menu
        QCOMPARE(KeyDispatcher::decide(Qt::Key_F10, Qt::ShiftModifier, context), Command::None);
        QCOMPARE(KeyDispatcher::decide(Qt::Key_F10, {}, context), Command::Swallow);
    }

    void arrowsOnTheStripGoFromTabToTab()
    {
        KeyDispatcher::Context context;
        context.hasActiveTab = true;
        QCOMPARE(KeyDispatcher::decide(Qt::Key_Right, {}, context), Command::None); // the page's
        context.tabStripFocused = true;
        QCOMPARE(KeyDispatcher::decide(Qt::Key_Right, {}, context), Command::NextTab);
        QCOMPARE(KeyDispatcher::decide(Qt::Key_Left, {}, context), Command::PreviousTab);
        QCOMPARE(KeyDispatcher::decide(Qt::Key_Left, Qt::AltModifier, context), Command::Swallow);
        QCOMPARE(KeyDispatcher::decide(Qt::Key_Right, Qt::ShiftModifier, context), Command::None);
    }

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
