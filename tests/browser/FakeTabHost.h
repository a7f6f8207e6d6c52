#pragma once

#include <algorithm>

#include "browser/BrowserTab.h"
#include "browser/BrowserTabHost.h"
#include "support/FakeWebBackend.h"

#include <QPageLayout>
#include <QStringList>
#include <QWidget>

// The main window and tab strip as a tab sees them: a list of pages with one active, every
// report recorded as text ("SetBusy(true)"), and a fake engine behind every browser.
class FakeTabHost final : public BrowserTabHost
{
    Q_DISABLE_COPY_MOVE(FakeTabHost)

public:
    FakeTabHost() = default;
    ~FakeTabHost() { qDeleteAll(pages); }

    // A tab made the way the main window makes its first tab: added and activated.
    TBrowserTab* addTab(bool activate = true)
    {
        auto* tab = new TBrowserTab(this, false, &window);
        record(tab);
        pages.append(tab);
        if (activate || !active)
            active = tab;
        return tab;
    }

    static FakeWebBackend* fakeOf(const TBrowserTab* tab)
    {
        return tab && tab->Browser() ? dynamic_cast<FakeWebBackend*>(tab->Browser()->backend())
                                     : nullptr;
    }

    std::optional<QString> stickyNameAnswer;

    QStringList takeReports()
    {
        QStringList taken = reports;
        reports.clear();
        return taken;
    }

    // --- BrowserTabHost ------------------------------------------------------------------
    WebBackend* createWebBackend() override { return noBackend ? nullptr : factory(); }
    QPageLayout* pageLayout() override { return &layout; }
    RegistryHive* hive() override { return nullptr; }
    std::optional<QString> askStickyName() override
    {
        report("askStickyName");
        return stickyNameAnswer;
    }
    bool isActiveTab(const TBrowserTab* tab) const override { return tab && tab == active; }
    bool WindowShown() const override { return windowShown; }

    TBrowserTab* NewTabBackground(bool hidden) override
    {
        report("NewTabBackground", hidden ? "true" : "false");
        if (refuseNewTabs)
            return nullptr;
        auto* tab = new TBrowserTab(this, hidden, &window);
        record(tab);
        pages.insert(active ? pages.indexOf(active) + 1 : pages.size(), tab);
        if (!active)
            active = tab;
        return tab;
    }
    void recordPopupAddress(const QString& url) override { report("recordPopupAddress", url); }
    bool IsPopupBlocked(const QString& url) override
    {
        for (const QString& prefix : blockedPrefixes)
            if (url.startsWith(prefix))
                return true;
        return false;
    }
    void ScheduleCloseHiddenTabs() override { report("ScheduleCloseHiddenTabs"); }

    int pageCount() const override { return int(pages.size()); }
    int pageIndexOf(const TBrowserTab* tab) const override
    {
        return int(pages.indexOf(const_cast<TBrowserTab*>(tab)));
    }
    void selectNextPage(const TBrowserTab* tab, bool forward) override
    {
        const int n = pageCount();
        const int i = pageIndexOf(tab);
        active = pages.at(((forward ? i + 1 : i - 1) % n + n) % n);
    }
    void destroyTab(TBrowserTab* tab) override
    {
        report("destroyTab");
        pages.removeOne(tab);
        if (active == tab)
            active = nullptr;
        tab->deleteLater();
    }
    int tabCount() const override
    {
        return int(std::count_if(pages.cbegin(), pages.cend(),
                                 [](const TBrowserTab* tab) { return tab->TabVisible(); }));
    }
    void CloseHiddenTabs() override
    {
        report("CloseHiddenTabs");
        const QList<TBrowserTab*> all = pages;
        for (TBrowserTab* tab : all) {
            if (!tab->TabVisible())
                destroyTab(tab);
        }
    }

    QWidget window;
    QList<TBrowserTab*> pages;
    TBrowserTab* active = nullptr;
    std::shared_ptr<FakeWebBackend::Made> made = std::make_shared<FakeWebBackend::Made>();
    WebBackendFactory factory = FakeWebBackend::factory(made);
    QPageLayout layout;
    QStringList reports;
    QStringList blockedPrefixes;
    bool windowShown = true;
    bool noBackend = false;
    bool refuseNewTabs = false;

private:
    // The tab's reports as the tab set passes them on: only the active tab's.
    void record(TBrowserTab* tab)
    {
        const auto fromFront = [this, tab](auto pass) {
            return [this, tab, pass](auto... arguments) {
                if (tab == active)
                    pass(arguments...);
            };
        };
        QObject::connect(tab, &TBrowserTab::statusTextChanged, &window, fromFront([this](const QString& text) {
            report("SetStatusText", text);
        }));
        QObject::connect(tab, &TBrowserTab::progressChanged, &window, fromFront([this](int progress, int maximum) {
            report("SetProgress", QStringLiteral("%1,%2").arg(progress).arg(maximum));
        }));
        QObject::connect(tab, &TBrowserTab::progressEnded, &window,
                         fromFront([this] { report("resetProgress"); }));
        QObject::connect(tab, &TBrowserTab::busyChanged, &window,
                         fromFront([this](bool busy) { report("SetBusy", busy ? "true" : "false"); }));
        QObject::connect(tab, &TBrowserTab::indicatorsChanged, &window,
                         fromFront([this] { report("UpdateTabState"); }));
        QObject::connect(tab, &TBrowserTab::backForwardChanged, &window,
                         fromFront([this] { report("UpdateBackForward"); }));
        QObject::connect(tab, &TBrowserTab::addressShown, &window,
                         fromFront([this](const QString& url) { report("ShowAddress", url); }));
        QObject::connect(tab, &TBrowserTab::addressTyped, &window, fromFront([this](const QString& url) {
            report("RememberTypedAddress", url);
        }));
    }

    void report(const char* name, const QString& argument = {})
    {
        reports.append(argument.isNull()
                           ? QString::fromLatin1(name)
                           : QStringLiteral("%1(%2)").arg(QLatin1String(name), argument));
    }
};
