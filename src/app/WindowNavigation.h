#pragma once

#include <QObject>

class EngineServices;
class RegistryHive;
class TfrmMain;
class TPVOptions;
class WindowQuestions;
struct WindowSettings;

// Where the address band's text goes, the typed-address list and completion, searching,
// work offline and Internet Options.
class WindowNavigation final : public QObject
{
    Q_DISABLE_COPY_MOVE(WindowNavigation)

public:
    WindowNavigation(TfrmMain& window, RegistryHive& hive, EngineServices& engine,
                     WindowQuestions& questions, WindowSettings& settings, TPVOptions& options);

    // What the address band commits: the active tab goes there, unless it is locked or
    // AddressNewWin is set; then a new tab in front.
    void commitAddress(const QString& typed);
    void SetAutoCompleteStyle(int style);
    void LoadAddressCompletion();
    // Asks first; the typed-address list is emptied.
    void ClearAddresses();
    // The offline state belongs to the system: other programs change it too.
    void syncWorkOffline();
    void SetWorkOffline(bool offline);
    void ShowInternetOptions();
    // Forgets, in the background, the history older than the days it keeps (Internet
    // Options); the history pane is read again if pages went.
    void expireHistory();

private:
    TfrmMain& m_window;
    RegistryHive& m_hive;
    EngineServices& m_engine;
    WindowQuestions& m_questions;
    WindowSettings& m_settings;
    TPVOptions& m_options;
};
