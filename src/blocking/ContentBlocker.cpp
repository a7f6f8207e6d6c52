#include "blocking/ContentBlocker.h"

#include "platform/Paths.h"
#include "platform/Registry.h"

#include <QDir>
#include <QMutex>
#include <QPointer>

#include <atomic>

namespace {

// A page may ask for thousands of addresses; the list keeps the first ones and the count
// goes on.
constexpr int MaxKeptPerPage = 2000;

} // namespace

// The engine's side: everything it reads is published whole and read with one atomic
// load, so a request never waits on a list being read; only the per-page lists take a
// lock, and only for a refused request or a new page.
class BlockingFilter final : public ContentFilter
{
public:
    using Sites = QSet<QString>;

    BlockingFilter()
        : m_set(std::make_shared<const FilterSet>())
        , m_sites(std::make_shared<const Sites>())
    {}

    bool blocks(const WebRequest& request) override
    {
        const bool document = request.kind == WebResource::Document;
        if (document)
            startPage(request.source);
        const std::shared_ptr<const Sites> sites = m_sites.load();
        if (!sites->isEmpty() && sites->contains(request.firstParty.host().toLower()))
            return false;
        const std::shared_ptr<const FilterSet> set = m_set.load();
        const NetworkMatcher::Decision decision = set->network.decide(request);
        if (!decision.blocked)
            return false;
        note(request, QString::fromUtf8(decision.rule->text));
        return true;
    }

    QString hidingStyleSheet(const QUrl& pageUrl) override
    {
        if (!pageUrl.scheme().startsWith(QLatin1String("http")))
            return {};
        const QString host = pageUrl.host().toLower();
        if (m_sites.load()->contains(host))
            return {};
        const std::shared_ptr<const FilterSet> set = m_set.load();
        if (set->hiding.selectorCount() == 0 || set->network.pageExcepted(pageUrl))
            return {};
        return set->hiding.styleSheetFor(host);
    }

    void browserGone(const void* source) override { forget(source); }

    void publish(std::shared_ptr<const FilterSet> set) { m_set.store(std::move(set)); }
    std::shared_ptr<const FilterSet> set() const { return m_set.load(); }
    void publishSites(std::shared_ptr<const Sites> sites) { m_sites.store(std::move(sites)); }
    std::shared_ptr<const Sites> sites() const { return m_sites.load(); }

    // Where changes of a page's list are told (on the blocker's thread); empty once the
    // blocker has gone.
    void setOwner(ContentBlocker* owner)
    {
        QMutexLocker lock(&m_mutex);
        m_owner = owner;
    }

    QList<BlockedRequest> blockedOn(const void* source) const
    {
        QMutexLocker lock(&m_mutex);
        return m_pages.value(source).kept;
    }
    int countOn(const void* source) const
    {
        QMutexLocker lock(&m_mutex);
        return m_pages.value(source).count;
    }
    void forget(const void* source)
    {
        QMutexLocker lock(&m_mutex);
        m_pages.remove(source);
    }

private:
    struct PageRecord
    {
        int count = 0;
        QList<BlockedRequest> kept;
    };

    void startPage(const void* source)
    {
        QMutexLocker lock(&m_mutex);
        const auto it = m_pages.find(source);
        if (it == m_pages.end() || it->count == 0)
            return;
        m_pages.erase(it);
        tell(source);
    }

    void note(const WebRequest& request, const QString& rule)
    {
        QMutexLocker lock(&m_mutex);
        PageRecord& page = m_pages[request.source];
        ++page.count;
        if (page.kept.size() < MaxKeptPerPage)
            page.kept.append({request.url.toString(), rule});
        tell(request.source);
    }

    // Under the lock.
    void tell(const void* source)
    {
        if (!m_owner)
            return;
        QMetaObject::invokeMethod(
            m_owner.data(),
            [owner = m_owner, source] {
                if (owner)
                    Q_EMIT owner->blockedChanged(source);
            },
            Qt::QueuedConnection);
    }

    std::atomic<std::shared_ptr<const FilterSet>> m_set;
    std::atomic<std::shared_ptr<const Sites>> m_sites;
    mutable QMutex m_mutex;
    QPointer<ContentBlocker> m_owner;
    QHash<const void*, PageRecord> m_pages;
};

ContentBlocker::ContentBlocker(RegistryHive& hive, QString folder, QObject* parent)
    : QObject(parent)
    , m_hive(hive)
    , m_folder(std::move(folder))
    , m_filter(std::make_shared<BlockingFilter>())
{
    m_filter->setOwner(this);
    readSites();
}

ContentBlocker::~ContentBlocker()
{
    m_filter->setOwner(nullptr);
    m_job.stopAll();
    // The engine may outlive the blocker for a moment: it then blocks nothing.
    m_filter->publish(std::make_shared<const FilterSet>());
}

QString ContentBlocker::defaultFolder()
{
    return QDir(Paths::programFolder()).filePath(QStringLiteral("Filters"));
}

QString ContentBlocker::sitesKey()
{
    return QStringLiteral("\\Software\\Brenmoor\\Pelvane\\Content Blocking\\Sites Allowed");
}

std::shared_ptr<ContentFilter> ContentBlocker::filter() const
{
    return m_filter;
}

void ContentBlocker::reload()
{
    readSites();
    const QString folder = m_folder;
    m_job.start<std::shared_ptr<const FilterSet>>(
        [folder](const std::atomic_bool& cancelled) {
            return FilterSet::fromFolder(folder, &cancelled);
        },
        [this](std::shared_ptr<const FilterSet> set) {
            m_filter->publish(std::move(set));
            Q_EMIT listsLoaded();
        });
}

std::shared_ptr<const FilterSet> ContentBlocker::filters() const
{
    return m_filter->set();
}

QStringList ContentBlocker::messages() const
{
    QStringList messages;
    for (const FilterSet::ListReport& list : m_filter->set()->lists) {
        if (!list.message.isEmpty())
            messages.append(list.message);
    }
    return messages;
}

void ContentBlocker::readSites()
{
    auto sites = std::make_shared<BlockingFilter::Sites>();
    try {
        TRegistry reg(m_hive);
        if (reg.openKeyReadOnly(sitesKey())) {
            // A hive edited by hand could hold any number; a sane user has a few hundred.
            const QStringList names = reg.valueNames().mid(0, 100000);
            for (const QString& name : names) {
                if (reg.readInteger(name) != 0)
                    sites->insert(name.toLower());
            }
        }
    } catch (const RegistryError&) {
        // Unreadable settings leave blocking on everywhere.
    }
    m_filter->publishSites(std::move(sites));
}

bool ContentBlocker::isEnabledFor(const QString& host) const
{
    return !m_filter->sites()->contains(host.toLower());
}

void ContentBlocker::setEnabledFor(const QString& hostName, bool enabled)
{
    const QString host = hostName.toLower();
    if (host.isEmpty() || isEnabledFor(host) == enabled)
        return;
    auto sites = std::make_shared<BlockingFilter::Sites>(*m_filter->sites());
    if (enabled)
        sites->remove(host);
    else
        sites->insert(host);
    m_filter->publishSites(std::move(sites));
    try {
        TRegistry reg(m_hive);
        if (reg.openKey(sitesKey(), !enabled)) {
            if (enabled)
                reg.deleteValue(host);
            else
                reg.writeInteger(host, 1);
        }
    } catch (const RegistryError&) {
        // Kept for this session; the settings could not take it.
    }
    Q_EMIT siteSwitched(host, enabled);
}

QList<BlockedRequest> ContentBlocker::blockedOn(const void* source) const
{
    return m_filter->blockedOn(source);
}

int ContentBlocker::blockedCountOn(const void* source) const
{
    return m_filter->countOn(source);
}

void ContentBlocker::forget(const void* source)
{
    m_filter->forget(source);
}
