#pragma once

#include "blocking/FilterSet.h"
#include "platform/BackgroundJob.h"
#include "platform/web/ContentFilter.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <memory>

class BlockingFilter;
class RegistryHive;

// A request refused on a page.
struct BlockedRequest
{
    QString url;
    QString rule; // the rule as its list writes it
};

// Content blocking for the whole program: the filter lists of a folder, read off the
// window's thread (the window never waits for them, and requests pass until they are
// read), the sites the user turned blocking off for (kept in the hive), and what was
// blocked on each page. The engine asks it through filter(), from any thread.
class ContentBlocker final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContentBlocker)

public:
    // `folder` holds the lists ("*.txt"); it is read by reload().
    ContentBlocker(RegistryHive& hive, QString folder, QObject* parent = nullptr);
    ~ContentBlocker() override;

    // The program's folder "Filters" (beside toolbar.dat).
    static QString defaultFolder();
    // Where the sites without blocking are kept: one DWORD value per host under this key.
    static QString sitesKey(); // "\Software\Brenmoor\Pelvane\Content Blocking\Sites Allowed"

    QString folder() const { return m_folder; }
    // What the engine consults; it stays valid after the blocker has gone (and then
    // blocks nothing).
    std::shared_ptr<ContentFilter> filter() const;

    // Reads the lists again in the background; listsLoaded() tells when they apply.
    void reload();
    bool isLoading() const { return m_job.isRunning(); }
    // Waits for a read under way (tests, exit).
    void waitForLoad() { m_job.stopAll(); }
    std::shared_ptr<const FilterSet> filters() const;
    // What the last read had to say (lists refused or unreadable); empty when all was read.
    QStringList messages() const;

    // The user's switch for a site (a host): off means nothing is blocked or hidden on its
    // pages.
    bool isEnabledFor(const QString& host) const;
    void setEnabledFor(const QString& host, bool enabled);

    // What was refused on the page a browser shows now (its backend, as the engine names
    // it in WebRequest::source).
    QList<BlockedRequest> blockedOn(const void* source) const;
    int blockedCountOn(const void* source) const;
    // The browser has gone: its list goes too.
    void forget(const void* source);

Q_SIGNALS:
    void listsLoaded();
    // The count of a browser's page changed (a request was refused, or a new page started).
    void blockedChanged(const void* source);
    void siteSwitched(const QString& host, bool enabled);

private:
    void readSites();

    RegistryHive& m_hive;
    const QString m_folder;
    std::shared_ptr<BlockingFilter> m_filter;
    BackgroundJob m_job;
};
