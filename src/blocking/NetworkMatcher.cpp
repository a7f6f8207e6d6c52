#include "blocking/NetworkMatcher.h"

#include <QHash>

#include <algorithm>
#include <string>

namespace {

// Addresses longer than this are matched on their first part only: no rule needs more,
// and the cost of a match stays bounded whatever a page asks for.
constexpr size_t MaxAddressLength = 4096;

bool isWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '%';
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// "^": anything but a letter, a digit or one of "_-.%" (or the end of the address).
bool isSeparator(char c)
{
    return !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
             c == '_' || c == '-' || c == '.' || c == '%');
}

quint64 wordHash(std::string_view word)
{
    quint64 hash = 1469598103934665603ull;
    for (char c : word) {
        hash ^= quint8(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// Whether `segment` (no "*") matches at `at`; its end in *end.
bool segmentAt(std::string_view segment, std::string_view text, size_t at, size_t* end)
{
    size_t j = at;
    for (char c : segment) {
        if (j < text.size()) {
            if (c == '^' ? !isSeparator(text[j]) : text[j] != c)
                return false;
            ++j;
        } else if (c != '^') {
            return false; // past the end only "^" matches (the end itself)
        }
    }
    *end = j;
    return true;
}

// The leftmost place at or after `from` where `segment` matches; with `atEnd`, only a
// match that ends the text counts.
bool findSegment(std::string_view segment, std::string_view text, size_t from, bool atEnd,
                 size_t* start, size_t* end)
{
    const char first = segment.empty() ? '\0' : segment.front();
    for (size_t i = from; i <= text.size(); ++i) {
        if (first != '^' && first != '\0') {
            const size_t found = text.find(first, i);
            if (found == std::string_view::npos)
                return false;
            i = found;
        }
        if (segmentAt(segment, text, i, end) && (!atEnd || *end == text.size())) {
            *start = i;
            return true;
        }
    }
    return false;
}

// `pattern` (segments between "*") against `text` from `at`: anchored there or found
// anywhere after it, and with `endAnchor` ending the text.
bool globMatch(std::string_view pattern, std::string_view text, size_t at, bool anchored,
               bool endAnchor)
{
    size_t pos = at;
    bool first = true;
    while (true) {
        const size_t star = pattern.find('*');
        const bool last = star == std::string_view::npos;
        const std::string_view segment = last ? pattern : pattern.substr(0, star);
        size_t start = 0;
        size_t end = 0;
        if (first && anchored) {
            if (!segmentAt(segment, text, pos, &end) ||
                (last && endAnchor && end != text.size()))
                return false;
        } else if (!findSegment(segment, text, pos, last && endAnchor, &start, &end)) {
            return false;
        }
        if (last)
            return true;
        pos = end;
        first = false;
        pattern.remove_prefix(star + 1);
    }
}

// The words of a pattern a matching address must hold whole: runs of word characters with
// a fixed character (or an anchor) on both sides.
std::vector<std::string_view> wordsOf(const NetworkRule& rule, const std::string& lowered)
{
    std::vector<std::string_view> words;
    const std::string_view p(lowered);
    size_t i = 0;
    while (i < p.size()) {
        if (!isWordChar(p[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < p.size() && isWordChar(p[j]))
            ++j;
        const bool startSound = i == 0 ? (rule.hostAnchor || rule.startAnchor) : p[i - 1] != '*';
        const bool endSound = j == p.size() ? rule.endAnchor : p[j] != '*';
        if (startSound && endSound && j - i >= 2)
            words.push_back(p.substr(i, j - i));
        i = j;
    }
    return words;
}

} // namespace

struct NetworkMatcher::Facts
{
    std::string address;  // lower case
    std::string original; // as given, for $match-case
    std::string host;
    size_t hostStart = 0;
    size_t hostEnd = 0;
    std::string pageHost;
    unsigned kind = 0;
    bool thirdParty = false;
    QByteArray encoded;
    mutable QString fullAddress; // for regular expressions, made when one is asked
    std::vector<quint64> words;

    Facts(const QUrl& url, const QUrl& firstParty, WebResource resource)
    {
        encoded =
            url.toEncoded(QUrl::RemoveFragment | QUrl::RemoveUserInfo).left(MaxAddressLength);
        original.assign(encoded.constData(), size_t(encoded.size()));
        address = original;
        for (char& c : address)
            c = lower(c);
        // The host as the address writes it (without the user, which was removed): up to
        // the port, the path, the query or the end.
        const size_t scheme = address.find("://");
        hostStart = scheme == std::string::npos ? address.size() : scheme + 3;
        hostEnd = hostStart;
        if (hostStart < address.size() && address[hostStart] == '[')
            hostEnd = std::min(address.find(']', hostStart), address.size() - 1) + 1;
        else
            hostEnd = std::min(address.find_first_of(":/?#", hostStart), address.size());
        host = address.substr(hostStart, hostEnd - hostStart);
        if (host.size() > 2 && host.front() == '[') // as QUrl names it, for the page's host
            host = host.substr(1, host.size() - 2);
        const QByteArray ph = firstParty.host(QUrl::FullyEncoded).toLower().toLatin1();
        pageHost.assign(ph.constData(), size_t(ph.size()));
        kind = unsigned(resource);
        thirdParty = !pageHost.empty() && siteOf(host) != siteOf(pageHost);
        words.reserve(32);
        size_t i = 0;
        while (i < address.size()) {
            if (!isWordChar(address[i])) {
                ++i;
                continue;
            }
            size_t j = i;
            while (j < address.size() && isWordChar(address[j]))
                ++j;
            words.push_back(wordHash(std::string_view(address).substr(i, j - i)));
            i = j;
        }
        std::sort(words.begin(), words.end());
        words.erase(std::unique(words.begin(), words.end()), words.end());
    }
};

NetworkMatcher::NetworkMatcher(std::vector<NetworkRule> rules)
    : m_rules(std::move(rules))
{
    m_rules.shrink_to_fit();
    // Each rule under its rarest word so far: the common words ("com", "ads") would give
    // long lists of candidates.
    QHash<quint64, quint32> filed;
    for (quint32 i = 0; i < m_rules.size(); ++i) {
        const NetworkRule& rule = m_rules[i];
        std::string lowered(rule.pattern());
        for (char& c : lowered)
            c = lower(c);
        Group group = rule.exception ? Exceptions : rule.important ? Important : Blocking;
        const auto file = [&](Group g) {
            Index& index = m_index[g];
            if (rule.regex) {
                index.unfiled.push_back(i);
                return;
            }
            const std::vector<std::string_view> words = wordsOf(rule, lowered);
            if (words.empty()) {
                index.unfiled.push_back(i);
                return;
            }
            quint64 best = 0;
            quint32 bestCount = UINT32_MAX;
            size_t bestLength = 0;
            for (std::string_view word : words) {
                const quint64 hash = wordHash(word);
                const quint32 count = filed.value(hash);
                if (count < bestCount || (count == bestCount && word.size() > bestLength)) {
                    best = hash;
                    bestCount = count;
                    bestLength = word.size();
                }
            }
            filed[best] = bestCount + 1;
            index.byWord.emplace_back(best, i);
        };
        file(group);
        if (rule.exception && (rule.kinds & unsigned(WebResource::Document)))
            file(DocumentExceptions);
    }
    for (Index& index : m_index) {
        std::sort(index.byWord.begin(), index.byWord.end());
        index.byWord.shrink_to_fit();
        index.unfiled.shrink_to_fit();
        index.buildTable();
    }
}

namespace {

size_t slotOf(quint64 word, size_t mask)
{
    return size_t(word ^ (word >> 29)) & mask;
}

} // namespace

void NetworkMatcher::Index::buildTable()
{
    size_t words = 0;
    for (size_t i = 0; i < byWord.size(); ++i)
        words += i == 0 || byWord[i].first != byWord[i - 1].first;
    size_t size = 16;
    while (size < words * 2)
        size *= 2;
    table.assign(size, Slot());
    mask = size - 1;
    for (size_t i = 0; i < byWord.size();) {
        size_t j = i;
        while (j < byWord.size() && byWord[j].first == byWord[i].first)
            ++j;
        size_t at = slotOf(byWord[i].first, mask);
        while (table[at].count != 0)
            at = (at + 1) & mask;
        table[at] = {byWord[i].first, quint32(i), quint32(j - i)};
        i = j;
    }
}

const NetworkMatcher::Index::Slot* NetworkMatcher::Index::find(quint64 word) const
{
    if (table.empty())
        return nullptr;
    for (size_t at = slotOf(word, mask);; at = (at + 1) & mask) {
        const Slot& slot = table[at];
        if (slot.count == 0)
            return nullptr;
        if (slot.word == word)
            return &slot;
    }
}

std::string_view NetworkMatcher::siteOf(std::string_view host)
{
    const size_t last = host.rfind('.');
    if (last == std::string_view::npos || last == 0)
        return host;
    // An address by number is its own site.
    if (std::all_of(host.begin(), host.end(),
                    [](char c) { return (c >= '0' && c <= '9') || c == '.'; }))
        return host;
    const size_t second = host.rfind('.', last - 1);
    if (second == std::string_view::npos)
        return host;
    const std::string_view label = host.substr(second + 1, last - second - 1);
    const bool countryCode = host.size() - last - 1 == 2;
    static constexpr std::string_view secondLevel[] = {"co", "com", "net", "org", "gov",
                                                       "edu", "ac", "or", "ne", "go"};
    if (countryCode &&
        std::find(std::begin(secondLevel), std::end(secondLevel), label) !=
            std::end(secondLevel)) {
        const size_t third = host.rfind('.', second - 1);
        return third == std::string_view::npos || second == 0 ? host : host.substr(third + 1);
    }
    return host.substr(second + 1);
}

bool NetworkMatcher::hostWithin(std::string_view host, std::string_view domain)
{
    if (domain.empty() || host.size() < domain.size())
        return false;
    if (host.size() == domain.size())
        return host == domain;
    return host.substr(host.size() - domain.size()) == domain &&
           host[host.size() - domain.size() - 1] == '.';
}

bool NetworkMatcher::patternMatches(const NetworkRule& rule, std::string_view address,
                                    size_t hostStart, size_t hostEnd)
{
    const std::string_view pattern = rule.pattern();
    if (rule.hostAnchor) {
        if (globMatch(pattern, address, hostStart, true, rule.endAnchor))
            return true;
        for (size_t i = hostStart; i < hostEnd; ++i) {
            if (address[i] == '.' && globMatch(pattern, address, i + 1, true, rule.endAnchor))
                return true;
        }
        return false;
    }
    return globMatch(pattern, address, 0, rule.startAnchor, rule.endAnchor);
}

bool NetworkMatcher::ruleMatches(const NetworkRule& rule, const Facts& facts) const
{
    if (!(rule.kinds & facts.kind))
        return false;
    if (rule.party == NetworkRule::Party::Third && !facts.thirdParty)
        return false;
    if (rule.party == NetworkRule::Party::First && facts.thirdParty)
        return false;
    if (!rule.domains.isEmpty() || !rule.excludedDomains.isEmpty()) {
        // The most specific domain named decides.
        size_t best = 0;
        bool included = rule.domains.isEmpty();
        for (const QByteArray& d : rule.domains) {
            const std::string_view domain(d.constData(), size_t(d.size()));
            if (domain.size() > best && hostWithin(facts.pageHost, domain)) {
                best = domain.size();
                included = true;
            }
        }
        for (const QByteArray& d : rule.excludedDomains) {
            const std::string_view domain(d.constData(), size_t(d.size()));
            if (domain.size() >= best && hostWithin(facts.pageHost, domain)) {
                best = domain.size();
                included = false;
            }
        }
        if (!included)
            return false;
    }
    if (rule.regex) {
        if (!rule.regexLiteral.isEmpty() &&
            facts.address.find(std::string_view(rule.regexLiteral.constData(),
                                                size_t(rule.regexLiteral.size()))) ==
                std::string::npos)
            return false;
        if (facts.fullAddress.isEmpty())
            facts.fullAddress = QString::fromLatin1(facts.encoded);
        return rule.regex->match(facts.fullAddress).hasMatch();
    }
    return patternMatches(rule, rule.matchCase ? facts.original : facts.address,
                          facts.hostStart, facts.hostEnd);
}

const NetworkRule* NetworkMatcher::firstMatch(Group group, const Facts& facts) const
{
    const Index& index = m_index[group];
    for (quint32 i : index.unfiled) {
        if (ruleMatches(m_rules[i], facts))
            return &m_rules[i];
    }
    if (index.byWord.empty())
        return nullptr;
    for (quint64 word : facts.words) {
        const Index::Slot* slot = index.find(word);
        if (!slot)
            continue;
        for (quint32 i = slot->start; i < slot->start + slot->count; ++i) {
            const quint32 rule = index.byWord[i].second;
            if (ruleMatches(m_rules[rule], facts))
                return &m_rules[rule];
        }
    }
    return nullptr;
}

NetworkMatcher::Decision NetworkMatcher::decide(const WebRequest& request) const
{
    if (m_rules.empty())
        return {};
    const Facts facts(request.url, request.firstParty, request.kind);
    if (const NetworkRule* rule = firstMatch(Important, facts))
        return {true, rule};
    const NetworkRule* block = firstMatch(Blocking, facts);
    if (!block)
        return {};
    if (const NetworkRule* exception = firstMatch(Exceptions, facts))
        return {false, exception};
    if (pageExcepted(request.firstParty))
        return {false, nullptr};
    return {true, block};
}

bool NetworkMatcher::pageExcepted(const QUrl& pageUrl) const
{
    if (m_index[DocumentExceptions].byWord.empty() && m_index[DocumentExceptions].unfiled.empty())
        return false;
    const Facts facts(pageUrl, pageUrl, WebResource::Document);
    return firstMatch(DocumentExceptions, facts) != nullptr;
}

size_t NetworkMatcher::memoryUse() const
{
    size_t bytes = m_rules.capacity() * sizeof(NetworkRule);
    for (const NetworkRule& rule : m_rules) {
        bytes += size_t(rule.text.capacity() + rule.ownPattern.capacity()) + 32;
        for (const QByteArray& d : rule.domains)
            bytes += size_t(d.capacity()) + sizeof(QByteArray) + 16;
        for (const QByteArray& d : rule.excludedDomains)
            bytes += size_t(d.capacity()) + sizeof(QByteArray) + 16;
        if (rule.regex)
            bytes += 512;
    }
    for (const Index& index : m_index)
        bytes += index.byWord.capacity() * sizeof(index.byWord[0]) +
                 index.table.capacity() * sizeof(Index::Slot) +
                 index.unfiled.capacity() * sizeof(quint32);
    return bytes;
}
