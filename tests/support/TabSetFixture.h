#pragma once

#include "browser/BrowserTab.h"
#include "browser/PopupControl.h"
#include "browser/TabSet.h"
#include "browser/strip/PVPageControl.h"
#include "platform/RegistryHive.h"
#include "platform/web/WebBrowser.h"
#include "support/FakeEngineServices.h"

#include <QTemporaryDir>
#include <QWidget>

// A tab set on a strip of its own, with fake engines, a settings hive and pop-up control,
// and no main window. It starts with one blank tab, as the window does.
class TabSetFixture final
{
public:
    TabSetFixture()
    {
        tabs.NewTab();
        tabs.setOpenNewAtEnd(false);
    }

    TabSet* operator->() { return &tabs; }

    static FakeWebBackend* fakeOf(const TBrowserTab* tab)
    {
        return tab && tab->Browser() ? dynamic_cast<FakeWebBackend*>(tab->Browser()->backend())
                                     : nullptr;
    }
    FakeWebBackend* activeFake() const { return fakeOf(tabs.GetActivePage()); }
    static QString lastNavigation(const TBrowserTab* tab)
    {
        const QStringList all = fakeOf(tab)->navigations();
        return all.isEmpty() ? QString() : all.last();
    }
    QStringList captions() const
    {
        QStringList result;
        for (const TBrowserTab* tab : tabs.tabs())
            result << tab->Caption();
        return result;
    }
    // The first tab plus `more` new ones, with the first active.
    QList<TBrowserTab*> withTabs(int more)
    {
        for (int i = 0; i < more; ++i)
            tabs.NewTab();
        tabs.activate(tabs.tabs().first());
        return tabs.tabs();
    }

private:
    QTemporaryDir m_dir; // first made, last gone

public:
    RegistryHive hive{m_dir.filePath(QStringLiteral("registry.db"))};
    FakeEngineServices engine{m_dir.filePath(QStringLiteral("history.db"))};
    QWidget window;
    TPVPageControl strip{&window};
    PopupControl popups{hive, &window};
    std::optional<QString> stickyNameAnswer;
    TabSet tabs{strip, {engine, hive, popups, [this] { return stickyNameAnswer; }}, &window};
};
