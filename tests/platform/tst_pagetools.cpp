#include "platform/web/DevToolsWindow.h"
#include "platform/web/PageContextMenu.h"
#include "platform/web/PersonalDictionary.h"
#include "platform/web/QtWebEngineBackend.h"
#include "platform/web/WebEngineContext.h"
#include "support/EngineTestKit.h"
#include "support/LocalHttpServer.h"
#include "support/ScriptedWebQuestions.h"
#include "support/TestHome.h"

#include "platform/Paths.h"
#include "settings/SpellLanguages.h"

#include <QBuffer>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QWebEngineProfile>
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
        m_server.serve("/field", page("Field", "<textarea id='t' spellcheck='true' style='"
                                               "position:absolute;left:0;top:0;width:400px;"
                                               "height:100px;font-size:20px'></textarea>"));
        m_server.serve("/doc.pdf", [](const LocalHttpServer::Request&) {
            LocalHttpServer::Response r;
            QBuffer buffer(&r.body);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            QPainter painter(&writer);
            painter.drawText(100, 100, QStringLiteral("A document"));
            painter.end();
            r.headers = {{"Content-Type", "application/pdf"}};
            return r;
        });
        m_server.serve("/mono", page("Mono", "<textarea id='t' spellcheck='true' style='"
                                             "position:absolute;left:0;top:0;width:400px;"
                                             "height:100px;font:20px monospace'></textarea>"));
        // The user added a word in an earlier run: the engine reads it when its profile starts.
        QVERIFY(QDir().mkpath(Paths::webProfileFolder()));
        QCOMPARE(PersonalDictionary(Paths::webProfileFolder()).add(QStringLiteral("pelvanq")),
                 PersonalDictionary::Result::Added);
        m_context = std::make_unique<WebEngineContext>();
        // A download asks where to keep it: the test says nowhere.
        m_context->setQuestions(std::make_unique<ScriptedWebQuestions>());
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
        QMenu* shown = nullptr;
        QVERIFY(clickPageUntil(
            b, QPoint(20, 20),
            [&] {
                shown = view->findChild<QMenu*>(QStringLiteral("PageContextMenu"));
                return shown && shown->isVisible();
            },
            Qt::RightButton));
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

    // A word spelt wrong in a text field is told in the page's menu, with the dictionary
    // the program was built with.
    void aMisspelledWordIsReported()
    {
        const QStringList languages = SpellLanguages::available(Paths::dictionariesFolder());
        QVERIFY2(languages.contains(QStringLiteral("en-US")), qPrintable(languages.join(',')));
        m_context->applyPageFeatures({true, QStringLiteral("en-US"), true});
        QVERIFY(m_context->profile()->isSpellCheckEnabled());
        Browser b(m_context.get());
        QVERIFY(load(b, url("/field")));
        QWebEngineView* view = b.backend()->engineView();
        QVERIFY(clickPageUntil(b, QPoint(50, 30), [&] {
            return evaluate(b, "return document.activeElement.id;") == QStringLiteral("t");
        }));
        QTest::keyClicks(view->focusProxy(), QStringLiteral("wrdl "));
        QVERIFY(waitUntil([&] {
            return evaluate(b, "return document.getElementById('t').value;") ==
                   QStringLiteral("wrdl ");
        }));
        // The check runs a moment after typing: ask for the menu on the word until it says.
        QVERIFY(waitUntil([&] {
            QTest::mouseClick(view->focusProxy(), Qt::RightButton, {}, QPoint(12, 14));
            if (!waitUntil([&] { return view->lastContextMenuRequest() != nullptr; }, 2000))
                return false;
            if (auto* menu = view->findChild<QMenu*>(QStringLiteral("PageContextMenu")))
                menu->close();
            return view->lastContextMenuRequest()->misspelledWord() == QStringLiteral("wrdl");
        }));
        const auto captionsOf = [view](const PageContextMenu::Actions& actions) {
            std::unique_ptr<QMenu> menu(PageContextMenu::build(*view, actions));
            QStringList captions;
            for (const QAction* action : menu->actions())
                captions << action->text();
            return captions;
        };
        const QStringList suggestions = view->lastContextMenuRequest()->spellCheckerSuggestions();
        QVERIFY(!suggestions.isEmpty());
        // Without a dictionary that takes words, the menu offers to add none.
        QStringList captions = captionsOf({{}, {}});
        QVERIFY2(captions.contains(suggestions.first()), qPrintable(captions.join('|')));
        QVERIFY2(!captions.contains(PageContextMenu::addWordCaption()),
                 qPrintable(captions.join('|')));
        captions = captionsOf({{}, [](const QString&) {}});
        QVERIFY2(captions.contains(PageContextMenu::addWordCaption()),
                 qPrintable(captions.join('|')));
        // The engine's menu lists the suggestions too: each is offered once.
        QCOMPARE(captions.count(suggestions.first()), 1);
        m_context->applyPageFeatures({false, QString(), true});
        QVERIFY(!m_context->profile()->isSpellCheckEnabled());
    }

    // The user's own words: one added in an earlier run is spelled right for the engine; one
    // added from the page's menu is kept, and the menu offers nothing more for it.
    void theUsersOwnWordsAreSpelledRight()
    {
        m_context->applyPageFeatures({true, QStringLiteral("en-US"), true});
        Browser b(m_context.get());
        QVERIFY(load(b, url("/mono")));
        QWebEngineView* view = b.backend()->engineView();
        QVERIFY(clickPageUntil(b, QPoint(50, 30), [&] {
            return evaluate(b, "return document.activeElement.id;") == QStringLiteral("t");
        }));
        QTest::keyClicks(view->focusProxy(), QStringLiteral("pelvanq wrdl "));
        // On a monospaced line of 20 pixels "wrdl" starts about 100 pixels in.
        const QPoint onWrdl(120, 14);
        const QPoint onPelvanq(30, 14);
        QPointer<QAction> addEntry;
        // The menu shown for a click at `at`: the engine's request says where it was made.
        const auto menuAt = [&](const QPoint& at) {
            QTest::mouseClick(view->focusProxy(), Qt::RightButton, {}, at);
            QStringList captions;
            QMenu* menu = nullptr;
            if (!waitUntil(
                    [&] {
                        menu = view->findChild<QMenu*>(QStringLiteral("PageContextMenu"));
                        return menu && view->lastContextMenuRequest() &&
                               view->lastContextMenuRequest()->position() == at;
                    },
                    2000))
                return captions;
            for (const QAction* action : menu->actions())
                captions << action->text();
            addEntry = menu->actions().value(captions.indexOf(PageContextMenu::addWordCaption()));
            return captions;
        };
        const auto closeMenu = [&] {
            qDeleteAll(view->findChildren<QMenu*>(QStringLiteral("PageContextMenu")));
        };
        // The check runs a moment after typing: ask until the misspelled word is told.
        QStringList captions;
        QVERIFY(waitUntil([&] {
            captions = menuAt(onWrdl);
            const bool told = view->lastContextMenuRequest() &&
                              view->lastContextMenuRequest()->misspelledWord() == "wrdl";
            if (!told)
                closeMenu();
            return told;
        }));
        QVERIFY2(captions.contains(PageContextMenu::addWordCaption()), qPrintable(captions.join('|')));
        const QStringList suggestions = view->lastContextMenuRequest()->spellCheckerSuggestions();
        QVERIFY(!suggestions.isEmpty());
        QVERIFY(addEntry);
        addEntry->trigger();
        closeMenu();
        QVERIFY(m_context->dictionary().contains(QStringLiteral("wrdl")));
        QVERIFY(PersonalDictionary(Paths::webProfileFolder()).contains(QStringLiteral("wrdl")));
        // Still marked by the engine until the next start, but the menu offers nothing for it.
        captions = menuAt(onWrdl);
        closeMenu();
        QVERIFY2(!captions.contains(PageContextMenu::addWordCaption()) &&
                     !captions.contains(suggestions.first()) && !captions.first().isEmpty(),
                 qPrintable(captions.join('|')));
        // The word of the earlier run was checked with the rest of the line, and passed.
        QVERIFY(!menuAt(onPelvanq).isEmpty());
        closeMenu();
        QCOMPARE(view->lastContextMenuRequest()->misspelledWord(), QString());
        m_context->applyPageFeatures({false, QString(), true});
    }

    // With the viewer a PDF document shows in the tab; without it, it is a download.
    void pdfDocumentsShowInTheTab()
    {
        QSignalSpy downloads(m_context->profile(), &QWebEngineProfile::downloadRequested);
        m_context->applyPageFeatures({false, QString(), true});
        {
            Browser b(m_context.get());
            QVERIFY(load(b, url("/doc.pdf")));
            QCOMPARE(b.widget->LocationURL(), url("/doc.pdf"));
            QCOMPARE(downloads.size(), 0);
        }
        m_context->applyPageFeatures({false, QString(), false});
        Browser b(m_context.get());
        QVERIFY(load(b, url("/a")));
        b.widget->Navigate(url("/doc.pdf"));
        QVERIFY(downloads.wait(LoadTimeout));
        m_context->applyPageFeatures({false, QString(), true});
    }

    void spellLanguages_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("available");
        QTest::addColumn<QString>("expected");
        const QStringList both{"de-DE", "en-US"};
        QTest::newRow("the user's choice") << "de-DE" << "en_US.UTF-8" << both << "de-DE";
        QTest::newRow("a choice whose dictionary went") << "fr-FR" << "en_US" << both << "en-US";
        QTest::newRow("the locale") << "" << "de_DE.UTF-8@euro" << both << "de-DE";
        QTest::newRow("the locale's language") << "" << "de_AT" << both << "de-DE";
        QTest::newRow("English else") << "" << "ja_JP" << both << "en-US";
        QTest::newRow("the first without English") << "" << "C" << QStringList{"de-DE"} << "de-DE";
        QTest::newRow("no dictionary") << "en-US" << "en_US" << QStringList() << "";
    }
    void spellLanguages()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, locale);
        QFETCH(QStringList, available);
        QFETCH(QString, expected);
        QCOMPARE(SpellLanguages::choose(chosen, locale, available), expected);
    }

    void spellingEntries()
    {
        QCOMPARE(PageContextMenu::spellingEntries({}, {"a"}, true), QStringList());
        QCOMPARE(PageContextMenu::spellingEntries("helo", {}, true),
                 QStringList{PageContextMenu::addWordCaption()});
        QCOMPARE(PageContextMenu::spellingEntries("helo", {}, false), QStringList());
        QCOMPARE(PageContextMenu::spellingEntries("helo", {"hello"}, false),
                 QStringList{"hello"});
        const QStringList many{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
        const QStringList entries = PageContextMenu::spellingEntries("helo", many, true);
        QCOMPARE(entries.size(), 9);
        QCOMPARE(entries.first(), QStringLiteral("1"));
        QCOMPARE(entries.last(), PageContextMenu::addWordCaption());
    }
};

PELVANE_TEST_MAIN(TestPageTools)
#include "tst_pagetools.moc"
