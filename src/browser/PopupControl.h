#pragma once

#include "browser/PopupNotify.h"
#include "platform/web/ContentFilter.h"
#include "settings/PVOptions.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class QTimer;
class QWidget;
class RegistryHive;

// Pop-up control as the main window runs it: the list of blocked address prefixes
// ("PopupSorvel") and its switch, the decision for a new window's first address, the notice
// that collects blocked addresses, the add command, and the timer after which the hidden
// tabs of blocked or unclassified windows are swept.
class PopupControl final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PopupControl)

public:
    // Reads the list and the switch. The notice, when shown, belongs to `noticeParent`.
    PopupControl(RegistryHive& hive, QWidget* noticeParent);

    bool UsePopupSorvel() const { return m_usePopupSorvel; }
    void SetUsePopupSorvel(bool on) { m_usePopupSorvel = on; }
    QStringList PopupList() const { return m_popupList; }
    // Reads the list again (after the options dialog, or after the add command).
    void ReloadPopupList();

    // Whether a new window's first address is blocked; tells the user when
    // "PopupSorvelNotify" is on. Runs inside the engine's navigation callback.
    bool IsPopupBlocked(const QString& url);
    // Content blocking, asked about each new window's own address; none until it is set.
    void setContentFilter(std::shared_ptr<ContentFilter> filter) { m_filter = std::move(filter); }
    // Whether the filter refuses the window at `url` that the page at `openerUrl` (whose
    // browser the filter knows as `opener`) opened. The switch of the pop-up list does not
    // apply: these are the filter lists' rules, switched per site.
    bool isFiltered(const QString& url, const QString& openerUrl, const void* opener) const;
    // Records `address` (already cut as the add command wants it) and reads the list again.
    void addToList(const QString& address);
    // The notice of closed windows while it is open.
    TfrmPopupNotify* notice() const { return m_notice; }

    // The sweep: started once and not pushed back by later requests, so that a page that
    // keeps opening windows cannot keep its hidden tabs alive for ever.
    void ScheduleCloseHiddenTabs();
    // A new window waits hidden until its first real address classifies it. One that
    // never asks for one (it stays on about:blank, its script running out of sight) is swept
    // this long after the first such window opened; one that asked in time is shown or
    // blocked by then. Not pushed back, for the same reason as the sweep.
    static constexpr int PendingWindowGrace = 5000;
    void pendingWindowOpened();
    void setPendingWindowGrace(int milliseconds); // tests shorten it
    void stopSweep();
    bool sweepPending() const;
    int sweepInterval() const;
    void setSweepInterval(int milliseconds); // tests shorten it
    // What the status bar says when a page asked for more windows than may wait.
    static QString refusedText(const QString& address);

    // The window's budget of windows that pages open without the user asking: one more is
    // taken (true) while the budget lasts; beyond it every further window is refused.
    bool takeUnaskedWindow();
    // Whether a refusal is the first since the user's last input (the user is told once).
    bool firstRefusal();
    // The user pressed a key or a mouse button in one of the window's tabs: the budget is
    // whole again.
    void noteUserInput();
    // What the status bar says when the budget is spent.
    static QString budgetSpentText();

Q_SIGNALS:
    // The sweep is due: the window destroys every hidden tab.
    void sweepDue();

private:
    // Kept for the control's life: it knows where the settings are, so that a read of the
    // list or of the notice's switch is one look-up.
    TPVOptions m_options;
    QWidget* const m_noticeParent;
    QTimer* m_tmrCloseHidden = nullptr;
    QTimer* m_tmrPendingWindows = nullptr;
    QPointer<TfrmPopupNotify> m_notice;
    std::shared_ptr<ContentFilter> m_filter;
    QStringList m_popupList;
    bool m_usePopupSorvel = true;
    int m_unaskedWindows = 0; // opened since the user's last input in any tab
    bool m_refusalTold = false;
};
