#pragma once

#include "browser/strip/TabColors.h"
#include "settings/FilterSubscriptionList.h"
#include "settings/OptionsRules.h"
#include "settings/PVOptions.h"
#include "settings/WindowSettings.h"

#include <QDialog>

#include <functional>

class PopupListEditor;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QShowEvent;
class QSpinBox;
class QTabWidget;
class ContentBlockingPage;
class PagesPage;
class TabColorsPage;

// The options dialog: ten pages of settings, filled from the settings store and from the
// main window's working copies when it is made. OK checks the start-up page group, writes
// the settings, applies to the running window what takes effect at once and closes;
// Cancel and Esc close and change nothing.
class TfrmOptions final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmOptions)

public:
    // Asks for a start-up page group, starting in the given folder; empty when cancelled.
    using GroupChooser = std::function<QString(QWidget* parent, const QString& folder)>;

    // What the dialog must know of the running program beside the settings.
    struct Context
    {
        bool ie4Mode = false;      // the history completion is not offered
        bool trayAvailable = true; // the desktop has a tray to minimize to
    };

    // Shows `current`, the window's working copies, where the window keeps one; the store's
    // values elsewhere.
    TfrmOptions(RegistryHive& hive, const WindowSettings& current, Context context,
                QWidget* parent = nullptr);
    ~TfrmOptions() override;

    TabColorsPage* colorsPage() const { return m_colors; }
    PagesPage* pagesPage() const { return m_pages; }
    ContentBlockingPage* blockingPage() const { return m_blocking; }
    // After OK: the working copies as the user left them, and the strip's colours.
    WindowSettings settings() const { return m_settings; }
    TabColors::TabColorPair tabColors() const;
    // The open dialog by default; tests put their own answer here.
    void setGroupChooser(GroupChooser chooser) { m_groupChooser = std::move(chooser); }
    // Tells the user why OK did not close the dialog; a message box by default, tests
    // record the text.
    using Notice = std::function<void(QWidget* parent, const QString& text)>;
    void setNotice(Notice notice) { m_notice = std::move(notice); }
    // The open dialog for the start-up page group.
    static QString chooseStartupGroup(QWidget* parent, const QString& folder);

public Q_SLOTS:
    void cmdOKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildGeneral();
    QWidget* buildBrowserTabs();
    QWidget* buildNewTabs();
    QWidget* buildStartup();
    QWidget* buildDomainCompletion();
    QWidget* buildPopupSorvel();
    QWidget* buildAddressBar();
    void fill();
    void updateStartupEnabled();
    void cmdStartVarloGroupClick();
    void newTabItemChanged();
    void addressNewWinToggled(bool checked);
    int chosenCompletionStyle() const;
    int chosenNewAction() const;
    OptionsRules::StartupChoice chosenStartup() const;

    const Context m_context;
    WindowSettings m_settings;
    TPVOptions m_options; // for the dialog's life
    FilterSubscriptionList m_subscriptions;
    GroupChooser m_groupChooser;
    Notice m_notice;

    QTabWidget* m_pgOptions = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;

    // General
    QCheckBox* m_chkDefaultBrowser = nullptr;
    QCheckBox* m_chkAllowMultiInstance = nullptr;
    QCheckBox* m_chkMinToTray = nullptr;
    QCheckBox* m_chkSBAutoExpand = nullptr;
    QCheckBox* m_chkDisableAltShortcuts = nullptr;
    // Browser Tabs
    QCheckBox* m_chkOpenInFront = nullptr;
    QCheckBox* m_chkVarloGroupsCloseOthersFirst = nullptr;
    QCheckBox* m_chkLimitTitles = nullptr;
    QSpinBox* m_spnMaxTitle = nullptr;
    QCheckBox* m_chkOpenNewAtEnd = nullptr;
    QCheckBox* m_chkFreezeTabs = nullptr;
    QSpinBox* m_spnFreezeAfter = nullptr;
    QCheckBox* m_chkUnloadTabs = nullptr;
    QSpinBox* m_spnUnloadAfter = nullptr;
    QCheckBox* m_chkTabsDown = nullptr;
    QCheckBox* m_chkMultipleLines = nullptr;
    // Tab Colors
    TabColorsPage* m_colors = nullptr;
    PagesPage* m_pages = nullptr;
    ContentBlockingPage* m_blocking = nullptr;
    // New Tabs
    QListWidget* m_clbNewTabs = nullptr;
    QButtonGroup* m_newAction = nullptr; // ids: "NewAction"
    // Startup
    QWidget* m_tsStartup = nullptr;
    QButtonGroup* m_startup = nullptr; // ids: OptionsRules::StartupChoice
    QLineEdit* m_edtStartupVarloGroup = nullptr;
    QPushButton* m_cmdStartVarloGroup = nullptr;
    // Domain Completion
    QLineEdit* m_edtCtrlPre = nullptr;
    QLineEdit* m_edtCtrlPost = nullptr;
    QLineEdit* m_edtShiftPre = nullptr;
    QLineEdit* m_edtShiftPost = nullptr;
    QLineEdit* m_edtCtrlShiftPre = nullptr;
    QLineEdit* m_edtCtrlShiftPost = nullptr;
    // PopupSorvel
    QCheckBox* m_chkUsePopupSorvel = nullptr;
    PopupListEditor* m_popupList = nullptr;
    // Address Bar
    QCheckBox* m_chkShowGo = nullptr;
    QCheckBox* m_chkAddressNewWin = nullptr;
    QCheckBox* m_chkSearchFromAddressBar = nullptr;
    QButtonGroup* m_autoComplete = nullptr; // ids: TPVOptions::CompletionStyle
    QRadioButton* m_rdoIE5AC = nullptr;
    QLabel* m_lblACNote = nullptr;

    bool m_placed = false;
};
