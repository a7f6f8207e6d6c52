#pragma once

#include "browser/BrowserTabHost.h"

#include <QObject>
#include <QPageLayout>

class EngineServices;
class TfrmMain;
class WindowQuestions;

// What the tabs ask of the window and report to it: their engine, the strip around them,
// the status bar, the address band and pop-up control.
class WindowTabHost final : public QObject, public BrowserTabHost
{
    Q_DISABLE_COPY_MOVE(WindowTabHost)

public:
    WindowTabHost(TfrmMain& window, RegistryHive& hive, EngineServices& engine,
                  WindowQuestions& questions);

    WebBackend* createWebBackend() override;
    RegistryHive* hive() override { return &m_hive; }
    QPageLayout* pageLayout() override { return &m_pageLayout; }
    bool isActiveTab(const TBrowserTab* tab) const override;
    int LimitTitleLength() const override;
    std::optional<QString> askStickyName() override;
    bool WindowShown() const override;

    void SetStatusText(const QString& text) override;
    void SetProgress(int progress, int maximum) override;
    void resetProgress() override;
    void SetBusy(bool busy) override;
    void UpdateTabState() override;
    void UpdateBackForward() override;
    void ShowAddress(const QString& url) override;
    void RememberTypedAddress(const QString& url) override;

    TBrowserTab* NewTabBackground(bool hidden) override;
    bool IsPopupBlocked(const QString& url) override;
    void recordPopupAddress(const QString& address) override;
    void ScheduleCloseHiddenTabs() override;
    void PopupsRefused(TBrowserTab* opener) override;
    bool takeUnaskedWindow() override;
    void noteUserInput() override;
    bool OpenNewInForeground() const override;
    void BringPopupToFront(TBrowserTab* tab) override;

    int pageCount() const override;
    int tabCount() const override;
    void CloseHiddenTabs() override;
    int pageIndexOf(const TBrowserTab* tab) const override;
    void selectNextPage(const TBrowserTab* tab, bool forward) override;
    void destroyTab(TBrowserTab* tab) override;

private:
    TfrmMain& m_window;
    RegistryHive& m_hive;
    EngineServices& m_engine;
    WindowQuestions& m_questions;
    QPageLayout m_pageLayout; // page setup's, for the window's life
};
