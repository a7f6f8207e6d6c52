#pragma once

#include <QString>

#include <functional>

class QWidget;
class RegistryHive;

// The Help menu: the About box, and the shipped help pages, each opened in a tab of its own.
class WindowHelp final
{
public:
    // Opens an address in a tab of its own.
    using Opener = std::function<void(const QString& address)>;

    // `owner` owns the About box; `hive` is named on the support page.
    WindowHelp(QWidget& owner, Opener open, RegistryHive& hive);

    void showAbout();
    void showHelpTopics();
    // The support page, told the facts of this copy.
    void showSupport();

private:
    QString helpAddress(const QString& page) const;

    QWidget& m_owner;
    Opener m_open;
    RegistryHive& m_hive;
};
