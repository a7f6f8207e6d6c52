#pragma once

#include <QObject>

#include <functional>

class EngineServices;
class Questions;
class QAction;
class QWidget;
class RegistryHive;

// Internet Options, work offline, and keeping the history to the days the user chose.
class InternetOptionsCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InternetOptionsCommands)

public:
    struct Parts
    {
        RegistryHive& hive;
        EngineServices& engine;
        Questions& questions;
        QAction& workOffline; // checked while the system works offline
        // The address of the page shown (Use Current), empty without one.
        std::function<QString()> currentPage;
        QWidget* dialogParent = nullptr;
    };

    explicit InternetOptionsCommands(Parts parts, QObject* parent = nullptr);

    // The offline state belongs to the system: other programs change it too.
    void syncWorkOffline();
    void SetWorkOffline(bool offline);
    void ShowInternetOptions();
    // Forgets, in the background, the history older than the days it keeps.
    void expireHistory();

Q_SIGNALS:
    // Pages may have left the history, or the days it keeps changed.
    void historyChanged();

private:
    Parts m_parts;
};
