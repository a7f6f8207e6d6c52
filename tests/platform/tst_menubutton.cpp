#include "platform/MenuButton.h"
#include "support/TestHome.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

QImage drawn(QToolButton& button)
{
    button.setText(QStringLiteral("&File"));
    button.setAutoRaise(true);
    button.setFixedSize(60, 24);
    return button.grab().toImage();
}

} // namespace

// The buttons of the menu band and the bands' chevrons: a menu at a press, no arrow.
class TestMenuButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drawnWithoutTheMenuArrow()
    {
        QMenu menu;
        menu.addAction(QStringLiteral("&Open"));
        MenuButton button;
        button.setMenu(&menu);
        QToolButton plain;
        QToolButton arrowed;
        arrowed.setMenu(&menu);
        arrowed.setPopupMode(QToolButton::InstantPopup);

        const QImage picture = drawn(button);
        QCOMPARE(picture, drawn(plain));
        // The comparison sees the arrow where the style draws one.
        QVERIFY(picture != drawn(arrowed));
        QCOMPARE(button.sizeHint(), plain.sizeHint());
    }

    void aPressDropsTheMenu()
    {
        QMenu menu;
        menu.addAction(QStringLiteral("&Open"));
        MenuButton button;
        button.setText(QStringLiteral("&File"));
        button.setMenu(&menu);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QSignalSpy shown(&menu, &QMenu::aboutToShow);
        // The menu runs its own loop while open: closed from inside it.
        connect(&menu, &QMenu::aboutToShow, &menu,
                [&menu] { QTimer::singleShot(0, &menu, &QMenu::close); });
        QTest::mousePress(&button, Qt::LeftButton);
        QCOMPARE(shown.count(), 1);
    }
};

PELVANE_TEST_MAIN(TestMenuButton)
#include "tst_menubutton.moc"
