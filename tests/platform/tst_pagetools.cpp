#include "platform/web/DevToolsWindow.h"
#include "platform/web/PageContextMenu.h"
#include "platform/web/QtWebEngineBackend.h"
#include "platform/web/WebEngineContext.h"
#include "support/EngineTestKit.h"
#include "support/LocalHttpServer.h"
#include "support/TestHome.h"

#include <QMenu>
#include <QTest>
#include <QWebEngineContextMenuRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace EngineTestKit;

// The tools the page offers beside itself: the developer tools and the page's context menu.
class TestPageTools : public QObject
{
    Q_OBJECT

private:
    LocalHttpServer m_server;
    std::unique_ptr<WebEngineContext> m_context;
    QString url(const char* path) const
    {
        return m_server.url(QString::fromLatin1(path)).toString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        m_server.serve("/a", page("Page A", "<p>hello</p>"));
        m_server.serve("/b", page("Page B"));
        m_context = std::make_unique<WebEngineContext>();
    }
    void cleanupTestCase() { m_context.reset(); }

    // The tools open for their page in a window that keeps its size, follow the page's
    // title, and go with the page.
    void developerToolsGoWithTheirPage()
    {
        QSize kept;
        m_context->setDevToolsSizes(
            {[&kept] { return kept; }, [&kept](const QSize& size) { kept = size; }});
        QPointer<DevToolsWindow> tools;
        {
            Browser b(m_context.get());
            QVERIFY(load(b, url("/a")));
            b.backend()->showDeveloperTools(false);
            tools = b.backend()->developerTools();
            QVERIFY(tools && tools->isVisible());
            QCOMPARE(b.backend()->page()->devToolsPage(), tools->toolsPage());
            QCOMPARE(tools->windowTitle(), QStringLiteral("Developer Tools - Page A"));
            QVERIFY(waitUntil([&] { return tools->toolsPage()->url().scheme() == "devtools"; }));
            tools->resize(700, 500);
            tools->close();
            QCOMPARE(kept, QSize(700, 500));
            QVERIFY(load(b, url("/b")));
            b.backend()->showDeveloperTools(false);
            QCOMPARE(b.backend()->developerTools()->size(), QSize(700, 500));
            QVERIFY(waitUntil([&] { return tools && tools->windowTitle().endsWith("Page B"); }));
        }
        QVERIFY(!tools); // the tab closed
        m_context->setDevToolsSizes({});
    }

    void aSpoiltSizeIsNotUsed()
    {
        m_context->setDevToolsSizes({[] { return QSize(5, 100000); }, [](const QSize&) {}});
        Browser b(m_context.get());
        QVERIFY(load(b, url("/a")));
        b.backend()->showDeveloperTools(false);
        QCOMPARE(b.backend()->developerTools()->size(), QSize(900, 640));
        m_context->setDevToolsSizes({});
    }

    // The engine's own Inspect item needs tools attached beforehand: the menu has the
    // program's, which opens them.
    void theContextMenuInspects()
    {
        Browser b(m_context.get());
        QVERIFY(load(b, url("/a")));
        QWebEngineView* view = b.backend()->engineView();
        // A right click: the engine asks for its menu.
        QTest::mouseClick(view->focusProxy(), Qt::RightButton, {}, QPoint(20, 20));
        QMenu* shown = nullptr;
        QVERIFY(waitUntil([&] {
            shown = view->findChild<QMenu*>(QStringLiteral("PageContextMenu"));
            return shown && shown->isVisible();
        }));
        shown->close();
        QVERIFY(view->lastContextMenuRequest());
        bool inspected = false;
        std::unique_ptr<QMenu> menu(
            PageContextMenu::build(*view, {[&inspected] { inspected = true; }, {}}));
        QVERIFY(menu->actions().size() > 2); // the engine's own items are there
        QAction* inspect = nullptr;
        for (QAction* action : menu->actions()) {
            QVERIFY(action != view->page()->action(QWebEnginePage::InspectElement));
            if (action->text() == PageContextMenu::inspectCaption())
                inspect = action;
        }
        QVERIFY(inspect);
        inspect->trigger();
        QVERIFY(inspected);
    }

    void spellingEntries()
    {
        QCOMPARE(PageContextMenu::spellingEntries({}, {"a"}), QStringList());
        QCOMPARE(PageContextMenu::spellingEntries("helo", {}),
                 QStringList{PageContextMenu::addWordCaption()});
        const QStringList many{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
        const QStringList entries = PageContextMenu::spellingEntries("helo", many);
        QCOMPARE(entries.size(), 9);
        QCOMPARE(entries.first(), QStringLiteral("1"));
        QCOMPARE(entries.last(), PageContextMenu::addWordCaption());
    }
};

PELVANE_TEST_MAIN(TestPageTools)
#include "tst_pagetools.moc"
