// A page's view composes through OpenGL, as on a machine with a graphics processor: a window
// that takes such a view in must be an OpenGL one, and one made before the view took it in
// is made again. A page set up before the window is first shown spares that.
#include "platform/web/QtWebEngineBackend.h"
#include "platform/web/WebBrowser.h"
#include "platform/web/WebEngineContext.h"
#include "support/EngineTestKit.h"
#include "support/LocalHttpServer.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QVBoxLayout>
#include <QWindow>

#include <memory>

using namespace EngineTestKit;

namespace {

// A window around one browser that counts how often its system window changed: once when it
// is first made, twice more each time it is made again.
class CountedWindow final : public QWidget
{
public:
    explicit CountedWindow(WebEngineContext& context)
        : browser(new TWebBrowser(context.createBackend(), nullptr, this))
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        resize(640, 480);
    }

    bool isOpenGL() const
    {
        return windowHandle() && windowHandle()->surfaceType() == QSurface::OpenGLSurface;
    }

    TWebBrowser* const browser;
    int handleChanges = 0;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::WinIdChange)
            ++handleChanges;
        return QWidget::event(event);
    }
};

} // namespace

class TestDrawingSurface : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;
    std::unique_ptr<WebEngineContext> m_context;

    bool loadIn(CountedWindow& window)
    {
        bool complete = false;
        window.browser->OnDocumentComplete = [&complete](WebFrame, const QString&) {
            complete = true;
        };
        window.browser->Navigate(m_server.url(QStringLiteral("/plain")).toString());
        return waitUntil([&complete] { return complete; });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        m_server.serve("/plain", page("Plain", "<p>text</p>"));
        m_context = std::make_unique<WebEngineContext>();
    }

    void cleanupTestCase() { m_context.reset(); }

    void aPageSetUpBeforeTheShowHasItsWindowMadeOnce()
    {
        CountedWindow window(*m_context);
        window.browser->backend()->prepareDrawing();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.isOpenGL());
        // A load would have the page set up, had it not been: the window stays as it was made.
        QVERIFY(loadIn(window));
        QCOMPARE(window.handleChanges, 1);
    }

    // Without it, the window made at the show is an ordinary one, and it is made again once
    // the engine sets the page up, which it does shortly after the show.
    void aPageSetUpAfterTheShowHasItsWindowMadeAgain()
    {
        CountedWindow window(*m_context);
        window.show();
        QVERIFY(waitUntil([&window] { return window.isOpenGL(); }));
        QCOMPARE(window.handleChanges, 3);
        QVERIFY(loadIn(window));
        QCOMPARE(window.handleChanges, 3);
    }
};

// Composed through OpenGL whatever the machine has: the software rasterizer stands in for a
// graphics processor, as it does for the program on such a machine.
int main(int argc, char** argv)
{
    qputenv("QT_QUICK_BACKEND", "rhi");
    TestHome home;
    QApplication app(argc, argv);
    TestDrawingSurface test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_drawingsurface.moc"
