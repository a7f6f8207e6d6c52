// The browser's content switches (Options menu, the Images button) and the program's
// user-agent token.
#include "app/MainWindow.h"

#include "app/MainActions.h"
#include "platform/MessageBus.h"
#include "settings/IEOptions.h"
#include "settings/UserAgent.h"

#include <QAction>
#include <QJsonValue>
#include <QMenu>
#include <QScopeGuard>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

struct SwitchRow
{
    const char* menuItem;
    bool (TIEOptions::*get)() const;
    void (TIEOptions::*set)(bool);
    bool WebContentSwitches::*working;
};

// In the order of the Options menu; indexed by TfrmMain::ContentSwitch.
constexpr SwitchRow Switches[] = {
    {"pmOptionsLoadImages", &TIEOptions::GetLoadImages, &TIEOptions::SetLoadImages,
     &WebContentSwitches::images},
    {"pmOptionsLoadVideos", &TIEOptions::GetLoadVideos, &TIEOptions::SetLoadVideos,
     &WebContentSwitches::videos},
    {"pmOptionsLoadSounds", &TIEOptions::GetLoadSounds, &TIEOptions::SetLoadSounds,
     &WebContentSwitches::sounds},
    {"pmOptionsLoadAnimations", &TIEOptions::GetLoadAnimations, &TIEOptions::SetLoadAnimations,
     &WebContentSwitches::animations},
};

} // namespace

void TfrmMain::buildContentSwitches()
{
    auto* options = findChild<QMenu*>(QStringLiteral("mnuOptions"));
    QAction* before =
        options && !options->actions().isEmpty() ? options->actions().first() : nullptr;
    for (int i = 0; i < int(std::size(Switches)); ++i) {
        QAction* item = m_actions->get(Switches[i].menuItem);
        if (options)
            options->insertAction(before, item);
        connect(item, &QAction::triggered, this,
                [this, i] { toggleContentSwitch(ContentSwitch(i)); });
    }
    if (options && before)
        options->insertSeparator(before);

    QAction* images = m_actions->get("tbLoadImages");
    images->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    images->setIconText(QStringLiteral("Images"));
    m_tbMain->addAction(images);
    m_tbLoadImages = qobject_cast<QToolButton*>(m_tbMain->widgetForAction(images));
    if (m_tbLoadImages)
        m_tbLoadImages->setObjectName(QStringLiteral("tbLoadImages"));
    connect(images, &QAction::triggered, this,
            [this] { toggleContentSwitch(ContentSwitch::Images); });
    showContentSwitches();

    if (m_start.bus) {
        m_start.bus->setHandler(TIEOptions::SettingChangeMessage(), [this](const QJsonValue&) {
            // Answer first; read once the sender has its answer.
            QTimer::singleShot(0, this, [this] { LoadContentSwitches(); });
            return QJsonValue(true);
        });
    }
}

void TfrmMain::endContentSwitches()
{
    if (m_start.bus) {
        m_start.bus->setHandler(TIEOptions::SettingChangeMessage(),
                                [](const QJsonValue&) { return QJsonValue(); });
    }
    SetUserAgentTag(false);
}

void TfrmMain::ApplyLoadImages(bool on)
{
    applyContentSwitch(ContentSwitch::Images, on);
}

void TfrmMain::ApplyLoadVideos(bool on)
{
    applyContentSwitch(ContentSwitch::Videos, on);
}

void TfrmMain::ApplyLoadSounds(bool on)
{
    applyContentSwitch(ContentSwitch::Sounds, on);
}

void TfrmMain::ApplyLoadAnimations(bool on)
{
    applyContentSwitch(ContentSwitch::Animations, on);
}

void TfrmMain::applyContentSwitch(ContentSwitch which, bool on)
{
    const SwitchRow& row = Switches[int(which)];
    {
        // Written only on a change, so that the copies told of it, which read the switches
        // again, write nothing and tell nobody in turn.
        TIEOptions ie;
        if ((ie.*row.get)() != on) {
            (ie.*row.set)(on);
            TIEOptions::BroadcastSettingChange(m_start.bus);
        }
    }
    m_contentSwitches.*row.working = on;
    showContentSwitches();
    if (m_start.applyContentSwitches)
        m_start.applyContentSwitches(m_contentSwitches);
}

void TfrmMain::toggleContentSwitch(ContentSwitch which)
{
    // The item has already turned its check mark; whatever happens, the marks end up
    // showing the working copies again.
    const auto resync = qScopeGuard([this] { showContentSwitches(); });
    applyContentSwitch(which, !(m_contentSwitches.*Switches[int(which)].working));
    runCommand(KeyDispatcher::Command::RefreshAll);
}

void TfrmMain::showContentSwitches()
{
    for (const SwitchRow& row : Switches)
        m_actions->get(row.menuItem)->setChecked(m_contentSwitches.*row.working);
    m_actions->get("tbLoadImages")->setChecked(m_contentSwitches.images);
}

void TfrmMain::LoadContentSwitches()
{
    try {
        const TIEOptions ie;
        const bool images = ie.GetLoadImages();
        const bool videos = ie.GetLoadVideos();
        const bool sounds = ie.GetLoadSounds();
        const bool animations = ie.GetLoadAnimations();
        ApplyLoadImages(images);
        ApplyLoadSounds(sounds);
        ApplyLoadAnimations(animations);
        ApplyLoadVideos(videos);
    } catch (const RegistryError&) {
        // Switches that cannot be read leave the working copies as they are.
    }
}

void TfrmMain::SetUserAgentTag(bool add)
{
    UserAgent::SetTag(add);
    if (add && m_start.applyUserAgentTokens)
        m_start.applyUserAgentTokens(UserAgent::Tokens());
}
