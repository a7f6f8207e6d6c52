#include "formfiller/window/FormFillerCommands.h"

#include "browser/BrowserTab.h"
#include "browser/SorvelBrowser.h"
#include "browser/TabSet.h"
#include "commands/MainActions.h"
#include "formfiller/FormFiller.h"
#include "formfiller/dialogs/FormFillerDialogs.h"
#include "integration/ProfileCard.h"
#include "platform/Paths.h"

#include <QAction>

FormFillerCommands::FormFillerCommands(TabSet& tabs, const MainActions& actions,
                                       RegistryHive& hive, FormFillerQuestions* questions,
                                       QWidget* window)
    : QObject(window)
    , m_tabs(tabs)
    , m_hive(hive)
{
    if (!questions)
        m_ownQuestions = std::make_unique<FormFillerDialogs>(window);
    m_questions = questions ? questions : m_ownQuestions.get();
    connect(actions.get(ActionId::mnuFormPersonal), &QAction::triggered, this,
            [this] { FillForm(ProfileKind::Personal); });
    connect(actions.get(ActionId::mnuFormBusiness), &QAction::triggered, this,
            [this] { FillForm(ProfileKind::Business); });
    connect(actions.get(ActionId::actMyProfile), &QAction::triggered, this,
            [this] { ShowMyProfile(); });
}

FormFillerCommands::~FormFillerCommands() = default;

void FormFillerCommands::FillForm(ProfileKind mode)
{
    TBrowserTab* tab = m_tabs.GetActivePage();
    if (!tab || !tab->Browser())
        return;
    // One object per fill; it goes when its page has answered (or has gone).
    auto* filler = new TFormFiller({&m_hive, m_questions, ProfileStore::defaultPath(),
                                    Paths::programFolder(), Paths::sharedDataFolder()},
                                   this);
    connect(filler, &TFormFiller::finished, filler, &QObject::deleteLater);
    filler->Fill(mode, tab->Browser());
}

void FormFillerCommands::ShowMyProfile()
{
    m_questions->editProfile(ProfileStore::defaultPath());
}
