#include "app/WindowFormFiller.h"

#include "app/MainWindow.h"
#include "browser/BrowserTab.h"
#include "browser/SorvelBrowser.h"
#include "commands/MainActions.h"
#include "formfiller/FormFiller.h"
#include "formfiller/dialogs/FormFillerDialogs.h"
#include "integration/ProfileCard.h"
#include "platform/Paths.h"

#include <QAction>

WindowFormFiller::WindowFormFiller(TfrmMain& window, RegistryHive& hive,
                                   FormFillerQuestions* questions)
    : QObject(&window)
    , m_window(window)
    , m_hive(hive)
{
    if (!questions)
        m_ownQuestions = std::make_unique<FormFillerDialogs>(&window);
    m_questions = questions ? questions : m_ownQuestions.get();
    connect(m_window.action(ActionId::mnuFormPersonal), &QAction::triggered, this,
            [this] { FillForm(ProfileKind::Personal); });
    connect(m_window.action(ActionId::mnuFormBusiness), &QAction::triggered, this,
            [this] { FillForm(ProfileKind::Business); });
    connect(m_window.action(ActionId::actMyProfile), &QAction::triggered, this,
            [this] { ShowMyProfile(); });
}

WindowFormFiller::~WindowFormFiller() = default;

void WindowFormFiller::FillForm(ProfileKind mode)
{
    TBrowserTab* tab = m_window.GetActivePage();
    if (!tab || !tab->Browser())
        return;
    // One object per fill; it goes when its page has answered (or has gone).
    auto* filler = new TFormFiller({&m_hive, m_questions, ProfileStore::defaultPath(),
                                    Paths::programFolder(), Paths::sharedDataFolder()},
                                   this);
    connect(filler, &TFormFiller::finished, filler, &QObject::deleteLater);
    filler->Fill(mode, tab->Browser());
}

void WindowFormFiller::ShowMyProfile()
{
    m_questions->editProfile(ProfileStore::defaultPath());
}
