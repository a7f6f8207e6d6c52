#include "settings/window/InternetOptionsCommands.h"

#include "history/HistoryExpiry.h"
#include "history/HistoryStore.h"
#include "platform/Questions.h"
#include "platform/Registry.h"
#include "platform/web/EngineServices.h"
#include "platform/web/OfflineMode.h"
#include "settings/SiteZoom.h"
#include "settings/dialogs/InternetOptions.h"

#include <QAction>

InternetOptionsCommands::InternetOptionsCommands(Parts parts, QObject* parent)
    : QObject(parent)
    , m_parts(std::move(parts))
{}

void InternetOptionsCommands::expireHistory()
{
    auto* expiry = new HistoryExpiry(m_parts.engine.historyFile(),
                                     InternetOptionValues::load(m_parts.hive).daysToKeep, this);
    connect(expiry, &HistoryExpiry::finished, this, [this](int pages) {
        if (pages > 0)
            Q_EMIT historyChanged();
    });
    expiry->start(HistoryStore::ExpireStep);
}

void InternetOptionsCommands::syncWorkOffline()
{
    m_parts.workOffline.setChecked(OfflineMode::isOffline(m_parts.hive));
}

void InternetOptionsCommands::SetWorkOffline(bool offline)
{
    try {
        OfflineMode::setOffline(offline, m_parts.hive);
    } catch (const RegistryError& error) {
        m_parts.questions.tell(error.message());
    }
    syncWorkOffline();
}

void InternetOptionsCommands::ShowInternetOptions()
{
    const QString historyFile = m_parts.engine.historyFile();
    TfrmInternetOptions::Actions actions;
    actions.currentPage = m_parts.currentPage ? m_parts.currentPage() : QString();
    actions.clearHistory = [historyFile, hive = &m_parts.hive] {
        SiteZoom::forgetAll(*hive); // where the user went shows in the sizes chosen there
        HistoryStore store(historyFile);
        return store.isOpen() && store.clear();
    };
    EngineServices* engine = &m_parts.engine;
    actions.clearCacheAndCookies = [engine] { engine->clearCacheAndCookies(); };
    TfrmInternetOptions dialog(m_parts.hive, actions, m_parts.dialogParent);
    if (dialog.exec() == QDialog::Accepted)
        expireHistory(); // fewer days to keep may forget much of a long history
    // The dialog may have cleared the history even when cancelled.
    Q_EMIT historyChanged();
}
