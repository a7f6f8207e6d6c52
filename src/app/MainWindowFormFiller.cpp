// The form filler's commands: the active tab's page filled from the user's card, and the
// card edited in My Profile.
#include "app/MainWindow.h"

#include "browser/BrowserTab.h"
#include "browser/SorvelBrowser.h"
#include "commands/MainActions.h"
#include "formfiller/FormFiller.h"
#include "formfiller/dialogs/FormFillerDialogs.h"
#include "integration/ProfileCard.h"
#include "platform/Paths.h"

#include <QAction>

void TfrmMain::buildFormFiller()
{
    if (!m_start.formFillerQuestions)
        m_ownFormQuestions = std::make_unique<FormFillerDialogs>(this);
    m_formQuestions =
        m_start.formFillerQuestions ? m_start.formFillerQuestions : m_ownFormQuestions.get();
    connect(action(ActionId::mnuFormPersonal), &QAction::triggered, this,
            [this] { FillForm(ProfileKind::Personal); });
    connect(action(ActionId::mnuFormBusiness), &QAction::triggered, this,
            [this] { FillForm(ProfileKind::Business); });
    connect(action(ActionId::actMyProfile), &QAction::triggered, this, &TfrmMain::ShowMyProfile);
}

void TfrmMain::FillForm(ProfileKind mode)
{
    TBrowserTab* tab = GetActivePage();
    if (!tab || !tab->Browser())
        return;
    // One object per fill; it goes when its page has answered (or has gone).
    auto* filler = new TFormFiller({&m_hive, m_formQuestions, ProfileStore::defaultPath(),
                                    Paths::programFolder(), Paths::sharedDataFolder()},
                                   this);
    connect(filler, &TFormFiller::finished, filler, &QObject::deleteLater);
    filler->Fill(mode, tab->Browser());
}

void TfrmMain::ShowMyProfile()
{
    m_formQuestions->editProfile(ProfileStore::defaultPath());
}
