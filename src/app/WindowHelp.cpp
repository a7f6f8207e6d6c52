#include "app/WindowHelp.h"

#include "app/AboutBox.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrl>
#include <QUrlQuery>

#include <utility>

WindowHelp::WindowHelp(QWidget& owner, Opener open, RegistryHive& hive)
    : m_owner(owner)
    , m_open(std::move(open))
    , m_hive(hive)
{}

void WindowHelp::showAbout()
{
    TfrmSplash about(&m_owner);
    QObject::connect(&about, &TfrmSplash::linkClicked, &m_owner,
                     [this](const QString& url) { m_open(url); });
    about.exec();
}

QString WindowHelp::helpAddress(const QString& page) const
{
    return QUrl::fromLocalFile(
               QDir(Paths::sharedDataFolder()).filePath(QStringLiteral("help/") + page))
        .toString();
}

void WindowHelp::showHelpTopics()
{
    m_open(helpAddress(QStringLiteral("index.html")));
}

void WindowHelp::showSupport()
{
    // The page shows the facts of this copy; they travel in its address as data.
    QUrlQuery facts;
    facts.addQueryItem(QStringLiteral("version"), QCoreApplication::applicationVersion());
    facts.addQueryItem(QStringLiteral("build"),
                       QStringLiteral("Qt %1 (running on Qt %2)")
                           .arg(QLatin1String(QT_VERSION_STR), QLatin1String(qVersion())));
    facts.addQueryItem(QStringLiteral("settings"), m_hive.path());
    facts.addQueryItem(QStringLiteral("program"), Paths::programFolder());
    facts.addQueryItem(QStringLiteral("shared"), Paths::sharedDataFolder());
    QUrl address(helpAddress(QStringLiteral("support.html")));
    address.setQuery(facts);
    m_open(address.toString());
}
