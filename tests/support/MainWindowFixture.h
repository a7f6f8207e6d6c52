#pragma once

#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "browser/strip/PVPageControl.h"
#include "commands/MainActions.h"
#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "platform/web/WebBrowser.h"
#include "search/SearchEngines.h"
#include "settings/PVOptions.h"
#include "support/FakeEngineServices.h"
#include "support/ScriptedFormFillerQuestions.h"
#include "support/ScriptedWindowQuestions.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// A main window on fake engines with a settings hive and a history of its own, and its
// questions answered by a script. Settings a test wants in force at creation are written by
// `before`, on the fresh hive.
class MainWindowFixture final
{
public:
    struct Setup
    {
        QString argument;
        std::function<void(TPVOptions&)> before;
        EngineServices* engine = nullptr; // null: the fake engine
        RegistryHive* hive = nullptr;     // null: a hive of its own (another copy shares one)
        MessageBus* bus = nullptr;
        std::function<bool()> askDefaultBrowser; // empty: the check does not run
        std::function<bool()> trayAvailable;
        QString sessionFile; // empty: no session kept
        QList<LeftSession> leftSessions;
        // Sets the answers to the window's questions before it is made.
        std::function<void(ScriptedWindowQuestions&)> answers;
        PasswordStore* passwords = nullptr; // null: no passwords offered or filled
        bool privateWindow = false;
        ContentBlocker* contentBlocker = nullptr; // null: no content blocking
        FileFetcher* fetcher = nullptr;           // the fake engine's; null: none
        std::function<void()> openPrivateWindow; // empty: New Private Window is not offered
        bool opensPagesWhenPainted = false;      // as the program: the first pages wait for show()
    };

    MainWindowFixture()
        : MainWindowFixture(Setup{})
    {}
    explicit MainWindowFixture(const Setup& setup)
        : m_ownHive(setup.hive ? nullptr
                               : std::make_unique<RegistryHive>(
                                     m_dir.filePath(QStringLiteral("registry.db"))))
        , hive(setup.hive ? *setup.hive : *m_ownHive)
        , engine(m_dir.filePath(QStringLiteral("history.db")))
    {
        {
            TPVOptions options(hive);
            // Close All asks first; the tests of that question switch it on again.
            options.SetConfirmCloseAll(false);
            // A user who has no search engines, as before the first engines were given;
            // the tests of searching give their own.
            TRegistry reg(hive);
            if (reg.openKey(TPVOptions::CurrentVersionKey(), true))
                reg.writeBool(SearchEngines::DefaultsGiven, true);
            if (setup.before)
                setup.before(options);
        }
        MainWindowOptions options;
        options.hive = &hive;
        options.engine = setup.engine ? setup.engine : &engine;
        options.bus = setup.bus;
        options.questions = &questions;
        options.formFillerQuestions = &formQuestions;
        options.argument = setup.argument;
        options.askDefaultBrowser = setup.askDefaultBrowser;
        options.trayAvailable = setup.trayAvailable;
        options.sessionFile = setup.sessionFile;
        options.leftSessions = setup.leftSessions;
        options.passwords = setup.passwords;
        options.privateWindow = setup.privateWindow;
        options.contentBlocker = setup.contentBlocker;
        engine.fetcher = setup.fetcher;
        options.openPrivateWindow = setup.openPrivateWindow;
        options.opensPagesWhenPainted = setup.opensPagesWhenPainted;
        if (setup.answers)
            setup.answers(questions);
        window = std::make_unique<TfrmMain>(options);
    }

    TfrmMain* operator->() const { return window.get(); }
    TfrmMain* get() const { return window.get(); }
    TPVOptions options() { return TPVOptions(hive); }
    QString dataFile(const QString& name) const { return m_dir.filePath(name); }

    static FakeWebBackend* fakeOf(const TBrowserTab* tab)
    {
        return tab && tab->Browser() ? dynamic_cast<FakeWebBackend*>(tab->Browser()->backend())
                                     : nullptr;
    }
    FakeWebBackend* activeFake() const { return fakeOf(window->GetActivePage()); }
    static QString lastNavigation(const TBrowserTab* tab)
    {
        const QStringList all = fakeOf(tab)->navigations();
        return all.isEmpty() ? QString() : all.last();
    }
    QStringList captions() const
    {
        QStringList result;
        for (const TBrowserTab* tab : window->tabs())
            result << tab->Caption();
        return result;
    }
    // The address each tab was last told to open.
    QStringList opened() const
    {
        QStringList result;
        for (const TBrowserTab* tab : window->tabs())
            result << lastNavigation(tab);
        return result;
    }
    int hiddenTabs() const
    {
        int n = 0;
        for (const TBrowserTab* tab : window->tabs())
            n += tab->TabVisible() ? 0 : 1;
        return n;
    }
    // The first tab plus `more` new ones, with the first active.
    QList<TBrowserTab*> withTabs(int more);
    // Tab `index` completes a load of `url`.
    void load(int index, const QString& url) const
    {
        fakeOf(window->tabs().at(index))->completeLoad(url, url);
    }
    // The first tab shows a blank page and is idle.
    void settleBlank() const { activeFake()->completeLoad(QStringLiteral("about:blank"), {}); }
    void show() const;

private:
    QTemporaryDir m_dir; // first made, last gone
    std::unique_ptr<RegistryHive> m_ownHive;

public:
    RegistryHive& hive;
    FakeEngineServices engine;
    ScriptedWindowQuestions questions;
    ScriptedFormFillerQuestions formQuestions;
    std::unique_ptr<TfrmMain> window;
};

inline QList<TBrowserTab*> MainWindowFixture::withTabs(int more)
{
    for (int i = 0; i < more; ++i)
        window->NewTab();
    window->pages()->setActivePage(window->tabs().first());
    return window->tabs();
}

inline void MainWindowFixture::show() const
{
    window->resize(800, 500);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}
