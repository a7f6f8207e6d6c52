#pragma once

#include "blocking/ElementHiding.h"
#include "blocking/NetworkMatcher.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <memory>

// Every filter list read, ready to ask: the network rules, the hiding rules, and what was
// read from each list. Built off the window's thread, then only read.
class FilterSet final
{
public:
    // A list larger than this is refused whole: no real list comes near it, and reading it
    // would cost the memory of the whole program.
    static constexpr qint64 MaxListBytes = 50ll * 1024 * 1024;

    struct ListReport
    {
        QString name;      // the file's name
        int rules = 0;     // rules read
        int skipped = 0;   // lines not applied (unknown options, too long, broken)
        QString message;   // empty when the list was read; otherwise why it was not
    };

    NetworkMatcher network;
    ElementHiding hiding;
    QList<ListReport> lists;

    int ruleCount() const;
    int skippedCount() const;

    // The lists given as text (name, contents), read line by line; broken lines are
    // skipped and counted. Stops early, with what was read so far, when `cancelled`.
    static std::shared_ptr<const FilterSet>
    fromTexts(const QList<std::pair<QString, QByteArray>>& texts,
              const std::atomic_bool* cancelled = nullptr);
    // Every "*.txt" of `folder` (none when it does not exist); a list over MaxListBytes or
    // one that cannot be read is reported and left out.
    static std::shared_ptr<const FilterSet> fromFolder(const QString& folder,
                                                       const std::atomic_bool* cancelled = nullptr);
    static QString tooLargeMessage(const QString& name);
};
