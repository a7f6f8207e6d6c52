#pragma once

#include "platform/web/ContentFilter.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>
#include <string_view>

// One line of a filter list in the Adblock Plus syntax (EasyList, EasyPrivacy), read into a
// rule, or into the reason it is skipped. Reading is a pure function of the line.

// The kinds a rule applies to when it names none: everything but whole pages and pop-ups.
inline constexpr unsigned DefaultResourceKinds =
    0x1FFFu & ~(unsigned(WebResource::Document) | unsigned(WebResource::Popup));

// A rule on requests: `||host^`, `|` anchors, `*` and `^`, a plain substring or a
// /regular expression/, with its options.
struct NetworkRule
{
    enum class Party : unsigned char
    {
        Any,
        Third, // $third-party
        First, // ~third-party
    };

    QByteArray text;      // the line as written, for the list of what was blocked
    // Without anchors; lower case unless matchCase. Most rules write it as it is: then it is
    // kept as a part of `text` (patternAt, patternSize) and `ownPattern` is empty.
    QByteArray ownPattern;
    qint32 patternAt = -1;
    qint32 patternSize = 0;
    std::string_view pattern() const
    {
        return patternAt >= 0
                   ? std::string_view(text.constData() + patternAt, size_t(patternSize))
                   : std::string_view(ownPattern.constData(), size_t(ownPattern.size()));
    }
    std::shared_ptr<const QRegularExpression> regex; // a /regular expression/ rule
    // Of a regular expression: lower-case text every address it matches must hold, tested
    // before the expression (which is far slower); empty when none can be told.
    QByteArray regexLiteral;
    bool exception = false;  // @@
    bool important = false;  // $important: stronger than any exception
    bool matchCase = false;
    bool hostAnchor = false; // ||: the pattern starts at the start of a host label
    bool startAnchor = false;
    bool endAnchor = false;
    Party party = Party::Any;
    unsigned kinds = DefaultResourceKinds;
    QList<QByteArray> domains;         // $domain=: the page's site must be one of these
    QList<QByteArray> excludedDomains; // $domain=~: ... and none of these
};

// `##selector`, `domain,domain##selector`, `~domain##selector`, and `#@#` exceptions.
struct HidingRule
{
    QString selector;
    QList<QByteArray> domains;         // empty: every site (unless excluded)
    QList<QByteArray> excludedDomains;
    bool exception = false;
};

struct FilterLine
{
    enum class Kind
    {
        Nothing, // empty, a comment, or the list's header
        Network,
        Hiding,
        Skipped, // something this reader does not apply; `reason` says what
    };
    Kind kind = Kind::Nothing;
    NetworkRule network;
    HidingRule hiding;
    QString reason;
};

namespace FilterRules {

// A regular expression longer than this is skipped: its cost cannot be bounded.
inline constexpr int MaxRegexLength = 256;
// A line longer than this is no rule any list writes.
inline constexpr int MaxLineLength = 4096;

FilterLine parseLine(QStringView line);

// The domains of a `$domain=` value or a hiding rule's list: `a.com|~b.com` (or with ",").
// False when one is empty or not a host name.
// The longest run of plain characters that any match of `expression` must contain (outside
// groups, classes and quantifiers, in an expression without alternatives outside groups);
// lower case.
QByteArray requiredLiteral(QStringView expression);

bool parseDomains(QStringView list, QChar separator, QList<QByteArray>* domains,
                  QList<QByteArray>* excluded);

} // namespace FilterRules
