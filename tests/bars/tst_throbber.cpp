// The logo area's throbber comes to rest on its idle picture as soon as the active tab no
// longer loads, also when no one tells it the load has ended.
#include "bars/Throbber.h"
#include "support/TestHome.h"

class TestThrobber final : public QObject
{
    Q_OBJECT

private slots:
    void restsOnItsIdlePictureWhenLoadingEnds()
    {
        bool loading = true;
        Throbber throbber;
        throbber.resize(throbber.sizeHint());
        throbber.setLoadingQuery([&loading] { return loading; });
        Throbber idle;
        idle.resize(idle.sizeHint());
        const QImage idlePicture = idle.grab().toImage();

        throbber.setRunning(true);
        QVERIFY(throbber.grab().toImage() != idlePicture);
        // The load ends (a group's tabs finish in some order) and no one calls setRunning.
        loading = false;
        QTRY_VERIFY(!throbber.isRunning());
        QCOMPARE(throbber.grab().toImage(), idlePicture);

        // The next load starts it again; the query does not stop a load that goes on.
        loading = true;
        throbber.setRunning(true);
        const QImage previous = throbber.grab().toImage();
        QTRY_VERIFY(throbber.grab().toImage() != previous);
        QVERIFY(throbber.isRunning());
    }
};

PELVANE_TEST_MAIN(TestThrobber)
#include "tst_throbber.moc"
