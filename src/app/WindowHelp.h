#pragma once

#include <QString>

class RegistryHive;
class TfrmMain;

// The Help menu: the About box, and the shipped help pages, each opened in a tab of its own.
class WindowHelp final
{
public:
    WindowHelp(TfrmMain& window, RegistryHive& hive);

    void showAbout();
    void showHelpTopics();
    // The support page, told the facts of this copy.
    void showSupport();

private:
    QString helpAddress(const QString& page) const;

    TfrmMain& m_window;
    RegistryHive& m_hive;
};
