#include "blocking/ElementHiding.h"

#include "blocking/NetworkMatcher.h"

#include <QSet>

namespace {

bool within(const QByteArray& host, const QByteArray& domain)
{
    return NetworkMatcher::hostWithin(std::string_view(host.constData(), size_t(host.size())),
                                      std::string_view(domain.constData(), size_t(domain.size())));
}

bool withinAny(const QByteArray& host, const QList<QByteArray>& domains)
{
    for (const QByteArray& domain : domains) {
        if (within(host, domain))
            return true;
    }
    return false;
}

} // namespace

ElementHiding::ElementHiding(const std::vector<HidingRule>& rules)
{
    for (const HidingRule& rule : rules) {
        if (rule.exception) {
            QList<QByteArray>& sites = m_exceptions[rule.selector];
            if (rule.domains.isEmpty())
                sites.append(QByteArray());
            else
                sites.append(rule.domains);
            continue;
        }
        ++m_count;
        Entry entry{rule.selector, rule.excludedDomains};
        if (rule.domains.isEmpty()) {
            m_generic.push_back(std::move(entry));
        } else {
            for (const QByteArray& domain : rule.domains)
                m_byDomain[domain].push_back(entry);
        }
    }
    QStringList plain;
    for (const Entry& entry : m_generic) {
        if (entry.excluded.isEmpty() && !m_exceptions.contains(entry.selector) &&
            !m_plainGeneric.contains(entry.selector)) {
            plain.append(entry.selector);
            m_plainGeneric.insert(entry.selector);
        }
    }
    m_genericSheet = styleSheet(plain);
}

bool ElementHiding::excepted(const QString& selector, const QString& host) const
{
    const auto it = m_exceptions.constFind(selector);
    if (it == m_exceptions.constEnd())
        return false;
    const QByteArray h = host.toLatin1();
    for (const QByteArray& site : *it) {
        if (site.isEmpty() || within(h, site))
            return true;
    }
    return false;
}

void ElementHiding::forEachSiteEntry(const QByteArray& host,
                                     const std::function<void(const Entry&)>& visit) const
{
    // The host and each domain above it ("a.b.example.com", "b.example.com", ...).
    QByteArray domain = host;
    while (!domain.isEmpty()) {
        const auto it = m_byDomain.constFind(domain);
        if (it != m_byDomain.constEnd()) {
            for (const Entry& entry : *it)
                visit(entry);
        }
        const qsizetype dot = domain.indexOf('.');
        domain = dot < 0 ? QByteArray() : domain.mid(dot + 1);
    }
}

QStringList ElementHiding::selectorsFor(const QString& hostName) const
{
    const QString host = hostName.toLower();
    const QByteArray h = host.toLatin1();
    QStringList selectors;
    QSet<QString> seen;
    const auto add = [&](const Entry& entry) {
        if (withinAny(h, entry.excluded) || excepted(entry.selector, host) ||
            seen.contains(entry.selector))
            return;
        seen.insert(entry.selector);
        selectors.append(entry.selector);
    };
    for (const Entry& entry : m_generic)
        add(entry);
    forEachSiteEntry(h, add);
    return selectors;
}

QString ElementHiding::styleSheetFor(const QString& hostName) const
{
    const QString host = hostName.toLower();
    const QByteArray h = host.toLatin1();
    // The generic rules no site excepts are the same sheet everywhere; only the rest is
    // worked out for the host.
    QStringList rest;
    QSet<QString> seen = m_plainGeneric;
    const auto add = [&](const Entry& entry) {
        if (withinAny(h, entry.excluded) || excepted(entry.selector, host) ||
            seen.contains(entry.selector))
            return;
        seen.insert(entry.selector);
        rest.append(entry.selector);
    };
    for (const Entry& entry : m_generic) {
        if (!entry.excluded.isEmpty() || m_exceptions.contains(entry.selector))
            add(entry);
    }
    forEachSiteEntry(h, add);
    return m_genericSheet + styleSheet(rest);
}

QString ElementHiding::styleSheet(const QStringList& selectors)
{
    QString sheet;
    for (const QString& selector : selectors)
        sheet += selector + QLatin1String(" { display: none !important; }\n");
    return sheet;
}
