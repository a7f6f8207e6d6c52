#include "settings/dialogs/Options.h"

#include "platform/Paths.h"
#include "settings/dialogs/PopupListEditor.h"
#include "settings/SpellLanguages.h"
#include "settings/dialogs/ContentBlockingPage.h"
#include "settings/dialogs/PagesPage.h"
#include "settings/dialogs/TabColorsPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The items of the New Tabs list, in order; the last is the address box's setting, which
// the Address Bar page shows as well.
enum NewTabItem
{
    ItemFavorites,
    ItemHistory,
    ItemSearch,
    ItemLinks,
    ItemAddress,
    NewTabItemCount
};

QCheckBox* checkBox(const QString& caption, const char* name, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QRadioButton* radio(const QString& caption, const char* name, QButtonGroup* group, int id,
                    QWidget* parent)
{
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    group->addButton(button, id);
    return button;
}

QLineEdit* lineEdit(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QLabel* note(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QWidget* page(const char* name)
{
    auto* widget = new QWidget;
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

bool isChecked(const QListWidget* list, int row)
{
    return list->item(row)->checkState() == Qt::Checked;
}

void setChecked(QListWidget* list, int row, bool on)
{
    list->item(row)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

} // namespace

TfrmOptions::TfrmOptions(RegistryHive& hive, const WindowSettings& current, Context context,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint)
    , m_context(context)
    , m_settings(current)
    , m_options(hive)
    , m_subscriptions(hive)
    , m_groupChooser(&TfrmOptions::chooseStartupGroup)
    , m_notice([](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text,
                        QMessageBox::Ok, parent);
        box.setObjectName(QStringLiteral("msgInvalidStartupGroup"));
        box.exec();
    })
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));

    m_pgOptions = new QTabWidget(this);
    m_pgOptions->setObjectName(QStringLiteral("pgOptions"));
    // Every page's tab in sight: the dialog grows to hold them rather than scrolling.
    m_pgOptions->setUsesScrollButtons(false);
    m_pgOptions->setElideMode(Qt::ElideNone);
    m_pgOptions->addTab(buildGeneral(), QStringLiteral("General"));
    m_pgOptions->addTab(buildBrowserTabs(), QStringLiteral("Browser Tabs"));
    m_colors = new TabColorsPage;
    m_colors->setObjectName(QStringLiteral("tsColors"));
    m_pgOptions->addTab(m_colors, QStringLiteral("Tab Colors"));
    m_pgOptions->addTab(buildNewTabs(), QStringLiteral("New Tabs"));
    m_pgOptions->addTab(buildStartup(), QStringLiteral("Startup"));
    m_pgOptions->addTab(buildDomainCompletion(), QStringLiteral("Domain Completion"));
    m_pgOptions->addTab(buildPopupSorvel(), QStringLiteral("PopupSorvel"));
    m_pgOptions->addTab(buildAddressBar(), QStringLiteral("Address Bar"));
    m_pages = new PagesPage(SpellLanguages::available(Paths::dictionariesFolder()));
    m_pgOptions->addTab(m_pages, QStringLiteral("Pages"));
    m_blocking = new ContentBlockingPage;
    m_pgOptions->addTab(m_blocking, QStringLiteral("Content Blocking"));
    m_pgOptions->setCurrentIndex(0);

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(m_cmdOK, &QPushButton::clicked, this, &TfrmOptions::cmdOKClick);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pgOptions);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    fill();
}

TfrmOptions::~TfrmOptions() = default;

// --- Pages -----------------------------------------------------------------------------------

QWidget* TfrmOptions::buildGeneral()
{
    QWidget* ts = page("tsGeneral");
    m_chkDefaultBrowser = checkBox(QStringLiteral("Ask to make Pelvane the &default browser"),
                                   "chkDefaultBrowser", ts);
    m_chkAllowMultiInstance = checkBox(QStringLiteral("Allow &multiple instances of Pelvane"),
                                       "chkAllowMultiInstance", ts);
    m_chkMinToTray = checkBox(QStringLiteral("Minimize to system &tray"), "chkMinToTray", ts);
    m_chkSBAutoExpand = checkBox(QStringLiteral("&Close unused folders in SorvelBar tree views"),
                                 "chkSBAutoExpand", ts);
    m_chkDisableAltShortcuts =
        checkBox(QStringLiteral("Disable &ALT shortcuts"), "chkDisableAltShortcuts", ts);

    auto* layout = new QVBoxLayout(ts);
    layout->addWidget(m_chkDefaultBrowser);
    layout->addWidget(m_chkAllowMultiInstance);
    layout->addWidget(m_chkMinToTray);
    if (!m_context.trayAvailable) {
        // The setting is kept as it is, for a desktop that has a tray.
        m_chkMinToTray->setEnabled(false);
        QLabel* why = note(QStringLiteral("This desktop has no system tray to minimize to."),
                           "lblNoTray", ts);
        why->setContentsMargins(20, 0, 0, 0);
        why->setEnabled(false);
        layout->addWidget(why);
    }
    layout->addWidget(m_chkSBAutoExpand);
    layout->addWidget(m_chkDisableAltShortcuts);
    layout->addStretch();
    return ts;
}

QWidget* TfrmOptions::buildBrowserTabs()
{
    QWidget* ts = page("tsBrowserTabs");

    auto* now = new QGroupBox(ts);
    m_chkOpenInFront = checkBox(QStringLiteral("Open new browser tabs in &foreground (CTRL+F12)"),
                                "chkOpenInFront", now);
    m_chkVarloGroupsCloseOthersFirst =
        checkBox(QStringLiteral("&Close other tabs when opening SorvelGroups"),
                 "chkVarloGroupsCloseOthersFirst", now);
    m_chkLimitTitles =
        checkBox(QStringLiteral("&Limit Browser Title Length"), "chkLimitTitles", now);
    m_spnMaxTitle = new QSpinBox(now);
    m_spnMaxTitle->setObjectName(QStringLiteral("spnMaxTitle"));
    m_spnMaxTitle->setRange(1, 100);
    m_spnMaxTitle->setAccessibleName(QStringLiteral("Longest browser title"));
    m_chkOpenNewAtEnd =
        checkBox(QStringLiteral("Open new tabs at &end (instead of next to source)"),
                 "chkOpenNewAtEnd", now);
    auto* limitRow = new QHBoxLayout;
    limitRow->addWidget(m_chkLimitTitles);
    limitRow->addWidget(m_spnMaxTitle);
    limitRow->addStretch();
    // A tab nobody has looked at for a while is frozen by the engine: it costs little
    // memory and no processor time until it is shown again.
    m_chkFreezeTabs =
        checkBox(QStringLiteral("Let background tabs &sleep after"), "chkFreezeTabs", now);
    m_spnFreezeAfter = new QSpinBox(now);
    m_spnFreezeAfter->setObjectName(QStringLiteral("spnFreezeAfter"));
    m_spnFreezeAfter->setRange(1, 24 * 60);
    m_spnFreezeAfter->setSuffix(QStringLiteral(" minutes"));
    m_spnFreezeAfter->setAccessibleName(QStringLiteral("Minutes before a background tab sleeps"));
    auto* freezeRow = new QHBoxLayout;
    freezeRow->addWidget(m_chkFreezeTabs);
    freezeRow->addWidget(m_spnFreezeAfter);
    freezeRow->addStretch();
    // Longer unused, a tab's page is dropped altogether (its renderer ends); the tab keeps
    // its address, title and history and loads again when shown.
    m_chkUnloadTabs =
        checkBox(QStringLiteral("&Unload tabs not used for"), "chkUnloadTabs", now);
    m_spnUnloadAfter = new QSpinBox(now);
    m_spnUnloadAfter->setObjectName(QStringLiteral("spnUnloadAfter"));
    m_spnUnloadAfter->setRange(1, WindowSettings::MaxUnloadTabsAfter);
    m_spnUnloadAfter->setSuffix(QStringLiteral(" minutes"));
    m_spnUnloadAfter->setAccessibleName(QStringLiteral("Minutes before an unused tab is unloaded"));
    auto* unloadRow = new QHBoxLayout;
    unloadRow->addWidget(m_chkUnloadTabs);
    unloadRow->addWidget(m_spnUnloadAfter);
    unloadRow->addStretch();
    auto* nowLayout = new QVBoxLayout(now);
    nowLayout->addWidget(m_chkOpenInFront);
    nowLayout->addWidget(m_chkVarloGroupsCloseOthersFirst);
    nowLayout->addLayout(limitRow);
    nowLayout->addWidget(m_chkOpenNewAtEnd);
    nowLayout->addLayout(freezeRow);
    nowLayout->addLayout(unloadRow);
    connect(m_chkLimitTitles, &QCheckBox::toggled, m_spnMaxTitle, &QWidget::setEnabled);
    connect(m_chkFreezeTabs, &QCheckBox::toggled, m_spnFreezeAfter, &QWidget::setEnabled);
    connect(m_chkUnloadTabs, &QCheckBox::toggled, m_spnUnloadAfter, &QWidget::setEnabled);

    auto* later = new QGroupBox(ts);
    QLabel* label4 =
        note(QStringLiteral("Note: changes to these settings will not take effect until you "
                            "restart Pelvane."),
             "Label4", later);
    m_chkTabsDown =
        checkBox(QStringLiteral("Display browser tabs at &bottom of screen"), "chkTabsDown", later);
    m_chkMultipleLines = checkBox(QStringLiteral("Display browser tabs on &multiple lines."),
                                  "chkMultipleLines", later);
    auto* laterLayout = new QVBoxLayout(later);
    laterLayout->addWidget(label4);
    laterLayout->addWidget(m_chkTabsDown);
    laterLayout->addWidget(m_chkMultipleLines);

    auto* layout = new QVBoxLayout(ts);
    layout->addWidget(now);
    layout->addWidget(later);
    layout->addStretch();
    return ts;
}

QWidget* TfrmOptions::buildNewTabs()
{
    QWidget* ts = page("tsNewBrowserTabs");

    auto* group = new QGroupBox(QStringLiteral("&Open New Browser Tabs"), ts);
    group->setObjectName(QStringLiteral("gbNewTabs"));
    m_clbNewTabs = new QListWidget(group);
    m_clbNewTabs->setObjectName(QStringLiteral("clbNewTabs"));
    for (const char* caption : {"Favorites", "History", "Search", "Links Bar Toolbar",
                                "Addresses typed in address combo"}) {
        auto* item = new QListWidgetItem(QString::fromLatin1(caption), m_clbNewTabs);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_clbNewTabs->setCurrentRow(0);
    m_clbNewTabs->setFixedHeight(m_clbNewTabs->sizeHintForRow(0) * NewTabItemCount +
                                 2 * m_clbNewTabs->frameWidth() + 4);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_clbNewTabs);

    auto* lblNew =
        new QLabel(QStringLiteral("Default action for New button and CTRL+N shortcut"), ts);
    lblNew->setObjectName(QStringLiteral("lblNew"));
    m_newAction = new QButtonGroup(this);
    QRadioButton* blank =
        radio(QStringLiteral("New b&lank browser tab"), "radNewActionBlank", m_newAction, 0, ts);
    radio(QStringLiteral("New browser tab at &current location"), "radNewActionCurrent",
          m_newAction, 1, ts);
    radio(QStringLiteral("New browser tab at &home page"), "radNewActionHome", m_newAction, 2, ts);
    lblNew->setBuddy(blank);

    auto* layout = new QVBoxLayout(ts);
    layout->addWidget(group);
    layout->addSpacing(6);
    layout->addWidget(lblNew);
    for (QAbstractButton* button : m_newAction->buttons())
        layout->addWidget(button);
    layout->addStretch();

    connect(m_clbNewTabs, &QListWidget::itemChanged, this, &TfrmOptions::newTabItemChanged);
    return ts;
}

QWidget* TfrmOptions::buildStartup()
{
    m_tsStartup = page("tsStartup");
    QWidget* ts = m_tsStartup;
    m_startup = new QButtonGroup(this);
    radio(QStringLiteral("Start Pelvane at &Home Page"), "rdoStartupHome", m_startup,
          OptionsRules::StartupHome, ts);
    radio(QStringLiteral("Start Pelvane with &Last Open Sites"), "rdoStartupLast", m_startup,
          OptionsRules::StartupLast, ts);
    radio(QStringLiteral("Start Pelvane with &SorvelGroup"), "rdoStartupVarloGroup", m_startup,
          OptionsRules::StartupGroup, ts);
    m_edtStartupVarloGroup = lineEdit("edtStartupVarloGroup", ts);
    m_edtStartupVarloGroup->setAccessibleName(QStringLiteral("Startup SorvelGroup"));
    m_edtStartupVarloGroup->setMinimumWidth(300);
    m_cmdStartVarloGroup = new QPushButton(QStringLiteral("..."), ts);
    m_cmdStartVarloGroup->setObjectName(QStringLiteral("cmdStartVarloGroup"));
    m_cmdStartVarloGroup->setAccessibleName(QStringLiteral("Choose Startup SorvelGroup"));
    m_cmdStartVarloGroup->setAutoDefault(false);
    m_cmdStartVarloGroup->setFixedWidth(
        m_cmdStartVarloGroup->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);

    auto* groupRow = new QHBoxLayout;
    groupRow->setContentsMargins(20, 0, 0, 0);
    groupRow->addWidget(m_edtStartupVarloGroup, 1);
    groupRow->addWidget(m_cmdStartVarloGroup);
    auto* layout = new QVBoxLayout(ts);
    for (QAbstractButton* button : m_startup->buttons())
        layout->addWidget(button);
    layout->addLayout(groupRow);
    layout->addStretch();

    connect(m_startup, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            updateStartupEnabled();
    });
    connect(m_cmdStartVarloGroup, &QPushButton::clicked, this,
            &TfrmOptions::cmdStartVarloGroupClick);
    return ts;
}

QWidget* TfrmOptions::buildDomainCompletion()
{
    QWidget* ts = page("tsAddressCompletion");
    auto* grid = new QGridLayout;
    const auto row = [ts, grid](int r, const QString& caption, QLineEdit* pre, QLineEdit* post) {
        auto* label = new QLabel(caption, ts);
        label->setBuddy(pre);
        pre->setAccessibleName(QString(caption).remove(QLatin1Char('&')) +
                               QStringLiteral(" before the address"));
        post->setAccessibleName(QString(caption).remove(QLatin1Char('&')) +
                                QStringLiteral(" after the address"));
        grid->addWidget(label, r, 0);
        grid->addWidget(pre, r, 1);
        grid->addWidget(new QLabel(QStringLiteral("+ address +"), ts), r, 2);
        grid->addWidget(post, r, 3);
    };
    m_edtCtrlPre = lineEdit("edtCtrlPre", ts);
    m_edtCtrlPost = lineEdit("edtCtrlPost", ts);
    row(0, QStringLiteral("&CTRL:"), m_edtCtrlPre, m_edtCtrlPost);
    m_edtShiftPre = lineEdit("edtShiftPre", ts);
    m_edtShiftPost = lineEdit("edtShiftPost", ts);
    row(1, QStringLiteral("&SHIFT:"), m_edtShiftPre, m_edtShiftPost);
    m_edtCtrlShiftPre = lineEdit("edtCtrlShiftPre", ts);
    m_edtCtrlShiftPost = lineEdit("edtCtrlShiftPost", ts);
    row(2, QStringLiteral("CTRL+SHIF&T:"), m_edtCtrlShiftPre, m_edtCtrlShiftPost);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(ts);
    layout->addLayout(grid);
    layout->addStretch();
    return ts;
}

QWidget* TfrmOptions::buildPopupSorvel()
{
    QWidget* ts = page("tsPopupSorvel");
    m_chkUsePopupSorvel =
        checkBox(QStringLiteral("&Use PopupSorvel - Close popup windows automatically"),
                 "chkUsePopupSorvel", ts);
    auto* label6 =
        new QLabel(QStringLiteral("&Enter the URL of popup windows to automatically close. "), ts);
    label6->setObjectName(QStringLiteral("Label6"));
    m_popupList = new PopupListEditor(ts);
    label6->setBuddy(m_popupList->list());

    auto* layout = new QVBoxLayout(ts);
    layout->addWidget(m_chkUsePopupSorvel);
    layout->addSpacing(6);
    layout->addWidget(label6);
    layout->addWidget(m_popupList, 1);
    return ts;
}

QWidget* TfrmOptions::buildAddressBar()
{
    QWidget* ts = page("tsAddressBar");
    m_chkShowGo = checkBox(QStringLiteral("Show 'Go' &button in Address Bar"), "chkShowGo", ts);
    m_chkAddressNewWin =
        checkBox(QStringLiteral("Open urls typed in Address Bar on &new browser tab"),
                 "chkAddressNewWin", ts);
    m_chkSearchFromAddressBar =
        checkBox(QStringLiteral("Search from the Address Bar"), "chkSearchFromAddressBar", ts);
    m_chkSearchFromAddressBar->setToolTip(
        QStringLiteral("Words typed in the Address Bar that are not an address are searched for "
                       "with the first search engine"));

    auto* group = new QGroupBox(QStringLiteral("Use AutoComplete"), ts);
    group->setObjectName(QStringLiteral("gbAutoComplete"));
    m_autoComplete = new QButtonGroup(this);
    radio(QStringLiteral("&Don't use AutoComplete"), "rdoNoneAC", m_autoComplete,
          TPVOptions::StyleNone, group);
    radio(QStringLiteral("IE&4 Style - complete with last 25 entries"), "rdoIE4AC", m_autoComplete,
          TPVOptions::StyleIE4, group);
    m_rdoIE5AC = radio(QStringLiteral("IE&5 style - complete using URL history"), "rdoIE5AC",
                       m_autoComplete, TPVOptions::StyleIE5, group);
    m_lblACNote = note(QStringLiteral("Note: changing from IE5 style AutoComplete to an alternate "
                                      "style will not take effect until you restart Pelvane."),
                       "lblACNote", group);
    auto* groupLayout = new QVBoxLayout(group);
    for (QAbstractButton* button : m_autoComplete->buttons())
        groupLayout->addWidget(button);
    groupLayout->addWidget(m_lblACNote);

    auto* layout = new QVBoxLayout(ts);
    layout->addWidget(m_chkShowGo);
    layout->addWidget(m_chkAddressNewWin);
    layout->addWidget(m_chkSearchFromAddressBar);
    layout->addSpacing(6);
    layout->addWidget(group);
    layout->addStretch();

    connect(m_chkAddressNewWin, &QCheckBox::toggled, this, &TfrmOptions::addressNewWinToggled);
    return ts;
}

// --- Filling ---------------------------------------------------------------------------------

void TfrmOptions::fill()
{
    m_chkDisableAltShortcuts->setChecked(m_options.GetDisableALTShortcuts());
    m_pages->set(m_settings.spellCheck, m_settings.spellCheckLanguage, m_settings.pdfViewer);
    m_blocking->setSubscriptions(m_subscriptions.read());

    // Completion. Where the history completion is not offered, the style in force for a
    // stored IE5 choice is IE4, and that is what shows.
    const bool ie4Mode = m_context.ie4Mode;
    m_rdoIE5AC->setVisible(!ie4Mode);
    m_lblACNote->setVisible(!ie4Mode);
    int style = m_options.GetAutoCompleteStyle();
    if (style == TPVOptions::StyleIE5 && ie4Mode)
        style = TPVOptions::StyleIE4;
    m_autoComplete->button(style)->setChecked(true);

    m_newAction->button(qBound(0, m_options.GetNewAction(), 2))->setChecked(true);

    const OptionsRules::StartupChoice startup =
        OptionsRules::startupChoice(m_options.GetStartupMode());
    m_startup->button(startup)->setChecked(true);
    if (startup == OptionsRules::StartupGroup)
        m_edtStartupVarloGroup->setText(m_options.GetStartupSorvelGroup());
    updateStartupEnabled();

    setChecked(m_clbNewTabs, ItemFavorites, m_options.GetFavoritesNewWin());
    setChecked(m_clbNewTabs, ItemHistory, m_options.GetHistoryNewWin());
    setChecked(m_clbNewTabs, ItemSearch, m_options.GetSearchNewWin());
    setChecked(m_clbNewTabs, ItemLinks, m_options.GetLinksNewWin());
    setChecked(m_clbNewTabs, ItemAddress, m_settings.addressNewWin);
    m_chkAddressNewWin->setChecked(isChecked(m_clbNewTabs, ItemAddress));

    m_chkSBAutoExpand->setChecked(m_settings.sbAutoExpand);
    m_chkShowGo->setChecked(m_options.GetShowGo());
    m_chkSearchFromAddressBar->setChecked(m_settings.searchFromAddressBar);
    m_chkTabsDown->setChecked(m_options.GetTabsDown());
    m_chkMultipleLines->setChecked(m_options.GetMultipleLines());
    m_chkOpenNewAtEnd->setChecked(m_settings.openNewAtEnd);
    m_chkMinToTray->setChecked(m_settings.minToTray);
    m_chkAllowMultiInstance->setChecked(m_options.GetAllowMultiInstance());
    m_chkUsePopupSorvel->setChecked(m_options.GetUsePopupSorvel());
    m_chkDefaultBrowser->setChecked(m_options.GetAskDefaultBrowser());
    m_chkOpenInFront->setChecked(m_settings.openNewInForeground);
    m_chkVarloGroupsCloseOthersFirst->setChecked(m_settings.sgCloseFirst);

    m_edtCtrlPre->setText(m_options.GetCtrlPre());
    m_edtCtrlPost->setText(m_options.GetCtrlPost());
    m_edtShiftPre->setText(m_options.GetShiftPre());
    m_edtShiftPost->setText(m_options.GetShiftPost());
    m_edtCtrlShiftPre->setText(m_options.GetCtrlShiftPre());
    m_edtCtrlShiftPost->setText(m_options.GetCtrlShiftPost());

    m_colors->setScheme(m_options.GetTabColorScheme(), m_options.GetInactiveTabColor(),
                        m_options.GetInactiveFontColor());

    const OptionsRules::TitleLimitShown limit =
        OptionsRules::titleLimitShown(m_options.GetLimitTitleLength());
    m_chkLimitTitles->setChecked(limit.limited);
    m_spnMaxTitle->setValue(limit.length);
    m_spnMaxTitle->setEnabled(limit.limited);
    m_chkFreezeTabs->setChecked(m_settings.freezeTabsAfter > 0);
    m_spnFreezeAfter->setValue(m_settings.freezeTabsAfter > 0 ? m_settings.freezeTabsAfter : 30);
    m_spnFreezeAfter->setEnabled(m_settings.freezeTabsAfter > 0);
    const int unload = m_settings.unloadTabsAfter;
    m_chkUnloadTabs->setChecked(unload > 0);
    m_spnUnloadAfter->setValue(unload > 0 ? unload : TPVOptions::Defaults::UnloadTabsAfter());
    m_spnUnloadAfter->setEnabled(unload > 0);

    m_popupList->setItems(OptionsRules::popupItemsFromLines(m_options.GetPopupSorvelList()));
}

void TfrmOptions::updateStartupEnabled()
{
    const bool group = chosenStartup() == OptionsRules::StartupGroup;
    m_edtStartupVarloGroup->setEnabled(group);
    m_cmdStartVarloGroup->setEnabled(group);
}

void TfrmOptions::newTabItemChanged()
{
    const bool on = isChecked(m_clbNewTabs, ItemAddress);
    if (m_chkAddressNewWin->isChecked() != on)
        m_chkAddressNewWin->setChecked(on);
}

void TfrmOptions::addressNewWinToggled(bool checked)
{
    if (isChecked(m_clbNewTabs, ItemAddress) != checked)
        setChecked(m_clbNewTabs, ItemAddress, checked);
}

void TfrmOptions::cmdStartVarloGroupClick()
{
    const QString chosen = m_groupChooser(this, Paths::groupsFolder());
    if (!chosen.isEmpty())
        m_edtStartupVarloGroup->setText(chosen);
}

QString TfrmOptions::chooseStartupGroup(QWidget* parent, const QString& folder)
{
    QFileDialog dialog(parent, QStringLiteral("Choose Startup SorvelGroup"), folder,
                       QStringLiteral("SorvelGroup Files (*.sgp)"));
    dialog.setObjectName(QStringLiteral("ofnVarloGroup"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("sgp"));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

// --- OK --------------------------------------------------------------------------------------

int TfrmOptions::chosenCompletionStyle() const
{
    const int id = m_autoComplete->checkedId();
    return id < 0 ? int(TPVOptions::StyleNone) : id;
}

int TfrmOptions::chosenNewAction() const
{
    return qMax(0, m_newAction->checkedId());
}

OptionsRules::StartupChoice TfrmOptions::chosenStartup() const
{
    const int id = m_startup->checkedId();
    return id < 0 ? OptionsRules::StartupHome : OptionsRules::StartupChoice(id);
}

void TfrmOptions::cmdOKClick()
{
    const OptionsRules::StartupChoice startup = chosenStartup();
    if (startup == OptionsRules::StartupGroup &&
        !OptionsRules::isValidStartupGroup(m_edtStartupVarloGroup->text())) {
        m_pgOptions->setCurrentWidget(m_tsStartup);
        m_edtStartupVarloGroup->setFocus();
        m_notice(this, QStringLiteral("Please select a valid startup SorvelGroup."));
        return;
    }

    // The working copies the dialog edits, each stored by its row as soon as it is set: the
    // order of the stores is the order in which a fresh hive lists them.
    using S = WindowSetting;
    const auto store = [this](S setting) {
        WindowSettings::row(setting).write(m_options, m_settings);
    };

    m_settings.disableAltShortcuts = m_chkDisableAltShortcuts->isChecked();
    store(S::DisableALTShortcuts);

    m_settings.newAction = chosenNewAction();
    store(S::NewAction);

    // Where the history completion is not offered, IE5 means IE4.
    int style = chosenCompletionStyle();
    if (style == TPVOptions::StyleIE5 && m_context.ie4Mode)
        style = TPVOptions::StyleIE4;
    m_settings.autoCompleteStyle = style;
    store(S::AutoCompleteStyle);

    m_settings.minToTray = m_chkMinToTray->isChecked();
    store(S::MinToTray);

    m_settings.sgCloseFirst = m_chkVarloGroupsCloseOthersFirst->isChecked();
    m_settings.openNewAtEnd = m_chkOpenNewAtEnd->isChecked();
    m_settings.addressNewWin = isChecked(m_clbNewTabs, ItemAddress);
    m_settings.sbAutoExpand = m_chkSBAutoExpand->isChecked();
    m_settings.newTabFlags = {
        isChecked(m_clbNewTabs, ItemFavorites), isChecked(m_clbNewTabs, ItemHistory),
        isChecked(m_clbNewTabs, ItemSearch), isChecked(m_clbNewTabs, ItemLinks)};

    m_options.SetPopupSorvelList(OptionsRules::popupLinesFromItems(m_popupList->items()));

    const QString scheme = m_colors->scheme();
    if (scheme == QLatin1String("custom")) {
        m_options.SetInactiveTabColor(m_colors->customTabColor());
        m_options.SetInactiveFontColor(m_colors->customFontColor());
    }
    m_options.SetTabColorScheme(scheme);

    m_options.SetAllowMultiInstance(m_chkAllowMultiInstance->isChecked());
    m_settings.startupMode = OptionsRules::startupModeText(startup);
    store(S::StartupMode);
    if (startup == OptionsRules::StartupGroup) {
        m_settings.startupSorvelGroup = m_edtStartupVarloGroup->text();
        store(S::StartupSorvelGroup);
    }

    for (const S flag : {S::FavoritesNewWin, S::HistoryNewWin, S::SearchNewWin, S::LinksNewWin})
        store(flag);
    m_options.SetTabsDown(m_chkTabsDown->isChecked());
    m_settings.showGo = m_chkShowGo->isChecked();
    store(S::ShowGo);
    m_settings.searchFromAddressBar = m_chkSearchFromAddressBar->isChecked();
    store(S::SearchFromAddressBar);
    m_settings.multipleLines = m_chkMultipleLines->isChecked();
    store(S::MultipleLines);
    m_settings.usePopupSorvel = m_chkUsePopupSorvel->isChecked();
    store(S::UsePopupSorvel);
    m_settings.openNewInForeground = m_chkOpenInFront->isChecked();

    m_options.SetCtrlPre(m_edtCtrlPre->text());
    m_options.SetCtrlPost(m_edtCtrlPost->text());
    m_options.SetShiftPre(m_edtShiftPre->text());
    m_options.SetShiftPost(m_edtShiftPost->text());
    m_options.SetCtrlShiftPre(m_edtCtrlShiftPre->text());
    m_options.SetCtrlShiftPost(m_edtCtrlShiftPost->text());

    m_options.SetAskDefaultBrowser(m_chkDefaultBrowser->isChecked());

    m_settings.limitTitleLength =
        OptionsRules::titleLimitStored(m_chkLimitTitles->isChecked(), m_spnMaxTitle->value());
    store(S::LimitTitleLength);
    m_settings.freezeTabsAfter = m_chkFreezeTabs->isChecked() ? m_spnFreezeAfter->value() : 0;
    store(S::FreezeTabsAfter);
    m_settings.unloadTabsAfter = m_chkUnloadTabs->isChecked() ? m_spnUnloadAfter->value() : 0;
    store(S::UnloadTabsAfter);
    m_settings.spellCheck = m_pages->spellCheck();
    store(S::SpellCheck);
    m_settings.spellCheckLanguage = m_pages->language();
    store(S::SpellCheckLanguage);
    m_settings.pdfViewer = m_pages->pdfViewer();
    store(S::PdfViewer);
    if (!m_subscriptions.setAddresses(m_blocking->addresses()))
        m_notice(this, QStringLiteral("The settings could not keep the filter lists subscribed "
                                      "to; the other options are saved."));

    accept();
}

TabColors::TabColorPair TfrmOptions::tabColors() const
{
    return m_colors->colors();
}

void TfrmOptions::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // In the middle of the screen, once the font the window gave it has sized it.
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
