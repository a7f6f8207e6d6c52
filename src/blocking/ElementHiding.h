#pragma once

#include "blocking/FilterRule.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The element-hiding rules of every list: selectors for every site, selectors for some
// sites, and the exceptions that take a selector back on some sites (or everywhere). Gives
// the style sheet for a host. Built once, then only read.
class ElementHiding final
{
public:
    ElementHiding() = default;
    explicit ElementHiding(const std::vector<HidingRule>& rules);

    // The selectors hidden on pages of `host`, in the order the lists give them.
    QStringList selectorsFor(const QString& host) const;
    // A style sheet hiding them: one rule per selector, so that a selector the engine does
    // not understand drops only itself.
    QString styleSheetFor(const QString& host) const;
    static QString styleSheet(const QStringList& selectors);

    int selectorCount() const { return m_count; }

private:
    struct Entry
    {
        QString selector;
        QList<QByteArray> excluded; // sites where it does not apply
    };
    bool excepted(const QString& selector, const QString& host) const;
    // The entries of the host's own site and of every domain above it.
    void forEachSiteEntry(const QByteArray& host,
                          const std::function<void(const Entry&)>& visit) const;

    std::vector<Entry> m_generic;             // every site
    QHash<QByteArray, std::vector<Entry>> m_byDomain;
    QHash<QString, QList<QByteArray>> m_exceptions; // selector -> sites ("" = everywhere)
    QSet<QString> m_plainGeneric;
    QString m_genericSheet;                    // the sheet of the generic rules no site excepts
    int m_count = 0;
};
