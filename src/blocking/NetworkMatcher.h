#pragma once

#include "blocking/FilterRule.h"

#include <QByteArray>

#include <string_view>
#include <utility>
#include <vector>

// The network rules of every list, indexed for speed: each rule is filed under one word of
// its pattern that any address it matches must hold as a whole word (the rarest such
// word), so that a request is tested against the few rules filed under the words of its
// address, plus the few that have no such word. Built once, then only read: one matcher
// may be asked from any number of threads at once.
class NetworkMatcher final
{
public:
    struct Decision
    {
        bool blocked = false;
        // The rule that decided (the blocking rule, or the exception that let it through);
        // null when no rule matched.
        const NetworkRule* rule = nullptr;
    };

    NetworkMatcher() = default;
    explicit NetworkMatcher(std::vector<NetworkRule> rules);

    Decision decide(const WebRequest& request) const;
    // Whether an exception with $document lets every request of the page at `pageUrl`
    // through.
    bool pageExcepted(const QUrl& pageUrl) const;

    size_t ruleCount() const { return m_rules.size(); }
    // Bytes held, roughly (for the benchmark).
    size_t memoryUse() const;

    // The site of a host ("news.example.co.uk" -> "example.co.uk"): its last two labels, or
    // three when the second last is a usual second-level name under a country code.
    // Without the public suffix list this is a close guess, good for third-party tests.
    static std::string_view siteOf(std::string_view host);
    // Whether `host` is `domain` or below it.
    static bool hostWithin(std::string_view host, std::string_view domain);
    // Whether `pattern` (with `*` and `^`) matches `address` as the rule's anchors say; for
    // `||` at `hostStart` .. `hostEnd` of the address. Exposed for the table tests.
    static bool patternMatches(const NetworkRule& rule, std::string_view address,
                               size_t hostStart, size_t hostEnd);

private:
    struct Facts; // the request, prepared once for all its candidates
    enum Group
    {
        Blocking,
        Important,
        Exceptions,
        DocumentExceptions,
        GroupCount,
    };
    struct Index
    {
        std::vector<std::pair<quint64, quint32>> byWord; // sorted by word hash
        std::vector<quint32> unfiled;
        // Where each word's rules start in byWord: an open-addressed table, so that a word of
        // the address costs one or two probes rather than a search through every word.
        struct Slot
        {
            quint64 word = 0;
            quint32 start = 0;
            quint32 count = 0; // 0: an empty slot
        };
        std::vector<Slot> table;
        size_t mask = 0;

        void buildTable();
        const Slot* find(quint64 word) const;
    };

    const NetworkRule* firstMatch(Group group, const Facts& facts) const;
    bool ruleMatches(const NetworkRule& rule, const Facts& facts) const;

    std::vector<NetworkRule> m_rules;
    Index m_index[GroupCount];
};
