#include "commands/KeyTable.h"
#include "commands/MainActions.h"
#include "support/TestHome.h"

#include <QKeySequence>

using Command = KeyCommand;
Q_DECLARE_METATYPE(Command)

namespace {

QString nameOf(const ActionRow& row)
{
    return QStringLiteral("%1 (%2)").arg(QLatin1String(row.name), QLatin1String(row.shortcut));
}

} // namespace

class TestKeyTable : public QObject
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
        QTest::newRow("Ctrl+P prints")
            << int(Qt::Key_P) << ctrl << false << true << Command::Print;
        QTest::newRow("Ctrl+Shift+P opens a private window")
            << int(Qt::Key_P) << (ctrl | shift) << false << true << Command::NewPrivate;
        QTest::newRow("Ctrl+Shift+P without tab")
            << int(Qt::Key_P) << (ctrl | shift) << false << false << Command::NewPrivate;
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
        KeyContext context;
        context.altShortcutsDisabled = altDisabled;
        context.hasActiveTab = hasTab;
        QCOMPARE(KeyTable::decide(key, Qt::KeyboardModifiers(modifiers), context), expected);
    }

    void f2IsLeftToTheFavoritesTree()
    {
        KeyContext context;
        context.renameTreeFocused = true;
        QCOMPARE(KeyTable::decide(Qt::Key_F2, {}, context), Command::None);
        context.renameTreeFocused = false;
        QCOMPARE(KeyTable::decide(Qt::Key_F2, {}, context), Command::PreviousTab);
        context.sideBarTreeFocused = true; // Shift+F10 is a side bar tree's menu
        QCOMPARE(KeyTable::decide(Qt::Key_F10, Qt::ShiftModifier, context), Command::None);
        QCOMPARE(KeyTable::decide(Qt::Key_F10, {}, context), Command::Swallow);
    }

    void arrowsOnTheStripGoFromTabToTab()
    {
        KeyContext context;
        context.hasActiveTab = true;
        QCOMPARE(KeyTable::decide(Qt::Key_Right, {}, context), Command::None); // the page's
        context.tabStripFocused = true;
        QCOMPARE(KeyTable::decide(Qt::Key_Right, {}, context), Command::NextTab);
        QCOMPARE(KeyTable::decide(Qt::Key_Left, {}, context), Command::PreviousTab);
        QCOMPARE(KeyTable::decide(Qt::Key_Left, Qt::AltModifier, context), Command::Swallow);
        QCOMPARE(KeyTable::decide(Qt::Key_Right, Qt::ShiftModifier, context), Command::None);
    }

    // The window's own fields keep their edit keys, and a dialog over the page its Esc.
    void fieldsAndDialogsKeepTheirKeys()
    {
        KeyContext context;
        context.textFieldFocused = true;
        QCOMPARE(KeyTable::decide(Qt::Key_C, Qt::ControlModifier, context), Command::Focus);
        QCOMPARE(KeyTable::decide(Qt::Key_Escape, {}, context), Command::Stop);
        QCOMPARE(KeyTable::decide(Qt::Key_W, Qt::ControlModifier, context), Command::Close);
        context.textFieldFocused = false;
        context.dialogFocused = true;
        QCOMPARE(KeyTable::decide(Qt::Key_Insert, Qt::ShiftModifier, context), Command::Focus);
        QCOMPARE(KeyTable::decide(Qt::Key_Escape, Qt::ShiftModifier, context), Command::Focus);
        QCOMPARE(KeyTable::decide(Qt::Key_F5, {}, context), Command::Refresh);
    }

    // Every shortcut a menu item shows is a key of the table, and the key runs that item's
    // command: what the menus say is what the keys do. Ctrl+S, which New > Search shows as
    // well, searches in the active tab; that one differs on purpose.
    void everyShortcutShownIsTheKeysCommand()
    {
        KeyContext context;
        context.canGoBack = true;
        context.canGoForward = true;
        QStringList wrong;
        int shown = 0;
        for (const ActionRow* row = ActionTable::begin(); row != ActionTable::end(); ++row) {
            if (!*row->shortcut)
                continue;
            ++shown;
            const QKeySequence keys(QString::fromLatin1(row->shortcut));
            QCOMPARE(keys.count(), 1);
            const Command command =
                KeyTable::decide(keys[0].key(), keys[0].keyboardModifiers(), context);
            const bool searchInTab =
                row->id == ActionId::actNewSearch && command == Command::TabSearch;
            if (!searchInTab && CommandBindings::actionFor(command) != row->id)
                wrong << nameOf(*row);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
        QVERIFY(shown > 20);
    }

    // The other way: a key whose command is a menu item's is shown on that item, and the
    // item is bound only once.
    void everyKeyOfAMenuItemIsShownOnIt()
    {
        QStringList unshown;
        const auto check = [&](Command command) {
            if (const auto action = CommandBindings::actionFor(command)) {
                if (!*ActionTable::row(*action).shortcut)
                    unshown << QLatin1String(ActionTable::row(*action).name);
            }
        };
        for (const KeyRow& row : KeyTable::rows())
            check(row.command);
        for (const AltLetter& letter : KeyTable::altLetters())
            check(letter.command);
        QVERIFY2(unshown.isEmpty(), qPrintable(unshown.join(QStringLiteral(", "))));

        QList<ActionId> bound;
        for (const auto rows : {CommandBindings::actionCommands(), CommandBindings::keyActions()}) {
            for (const ActionCommand& row : rows) {
                QVERIFY2(!bound.contains(row.action), ActionTable::row(row.action).name);
                bound << row.action;
            }
        }
    }
};

PELVANE_TEST_MAIN(TestKeyTable)
#include "tst_keytable.moc"
