#include "blocking/FilterRule.h"

namespace FilterRules {

namespace {

FilterLine skipped(const QString& reason)
{
    FilterLine line;
    line.kind = FilterLine::Kind::Skipped;
    line.reason = reason;
    return line;
}

bool isHostChar(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' ||
           c == u'_' || c == u'*';
}

// The kind each type option names.
std::optional<unsigned> kindOption(QStringView name)
{
    struct Entry
    {
        const char16_t* name;
        WebResource kind;
    };
    static constexpr Entry entries[] = {
        {u"script", WebResource::Script},
        {u"image", WebResource::Image},
        {u"stylesheet", WebResource::Stylesheet},
        {u"xmlhttprequest", WebResource::XmlHttpRequest},
        {u"subdocument", WebResource::Subdocument},
        {u"media", WebResource::Media},
        {u"font", WebResource::Font},
        {u"websocket", WebResource::WebSocket},
        {u"popup", WebResource::Popup},
        {u"document", WebResource::Document},
        {u"object", WebResource::Object},
        {u"ping", WebResource::Ping},
        {u"other", WebResource::Other},
    };
    for (const Entry& entry : entries) {
        if (name == QStringView(entry.name))
            return unsigned(entry.kind);
    }
    return std::nullopt;
}

// Where the options of a network rule begin: the last "$" that is not part of a regular
// expression's body; -1 when there are none.
qsizetype optionsStart(QStringView body)
{
    const qsizetype dollar = body.lastIndexOf(u'$');
    if (dollar < 0)
        return -1;
    // "/ads$/" is a regular expression ending in "$", not options.
    if (body.startsWith(u'/') && body.endsWith(u'/') && body.size() > 2)
        return -1;
    return dollar;
}

bool applyOptions(QStringView options, NetworkRule* rule, QString* reason)
{
    unsigned positive = 0;
    unsigned negative = 0;
    for (QStringView option : options.split(u',')) {
        option = option.trimmed();
        const bool inverse = option.startsWith(u'~');
        const QStringView name = inverse ? option.mid(1) : option;
        const QString lower = name.toString().toLower();
        if (const auto kind = kindOption(lower)) {
            (inverse ? negative : positive) |= *kind;
        } else if (lower == u"third-party" || lower == u"3p") {
            rule->party = inverse ? NetworkRule::Party::First : NetworkRule::Party::Third;
        } else if (lower == u"first-party" || lower == u"1p") {
            rule->party = inverse ? NetworkRule::Party::Third : NetworkRule::Party::First;
        } else if (lower == u"important" && !inverse) {
            rule->important = true;
        } else if (lower == u"match-case" && !inverse) {
            rule->matchCase = true;
        } else if (lower.startsWith(u"domain=") && !inverse) {
            if (!parseDomains(QStringView(lower).mid(7), u'|', &rule->domains,
                              &rule->excludedDomains)) {
                *reason = QStringLiteral("bad domain list");
                return false;
            }
        } else {
            *reason = QStringLiteral("unknown option \"%1\"").arg(option.toString());
            return false;
        }
    }
    if (positive)
        rule->kinds = positive & ~negative;
    else if (negative)
        rule->kinds = DefaultResourceKinds & ~negative;
    if (rule->kinds == 0) {
        *reason = QStringLiteral("no kind of request left");
        return false;
    }
    return true;
}

FilterLine parseHiding(QStringView line, qsizetype at, bool exception)
{
    FilterLine result;
    const QStringView domains = line.left(at);
    const QString selector = line.mid(at + (exception ? 3 : 2)).trimmed().toString();
    if (selector.isEmpty())
        return skipped(QStringLiteral("no selector"));
    // Extended and scripted forms ("##+js(", ":has-text(") are not style sheets.
    if (selector.startsWith(u'+') || selector.contains(QLatin1String(":-abp-")) ||
        selector.contains(QLatin1String(":has-text(")) || selector.contains(u'{') ||
        selector.contains(u'}') || selector.contains(QLatin1String("</")))
        return skipped(QStringLiteral("not a plain selector"));
    result.kind = FilterLine::Kind::Hiding;
    result.hiding.selector = selector;
    result.hiding.exception = exception;
    if (!domains.isEmpty() &&
        !parseDomains(domains.toString().toLower(), u',', &result.hiding.domains,
                      &result.hiding.excludedDomains))
        return skipped(QStringLiteral("bad domain list"));
    return result;
}

} // namespace

bool parseDomains(QStringView list, QChar separator, QList<QByteArray>* domains,
                  QList<QByteArray>* excluded)
{
    for (QStringView entry : list.split(separator)) {
        entry = entry.trimmed();
        const bool inverse = entry.startsWith(u'~');
        if (inverse)
            entry = entry.mid(1);
        if (entry.isEmpty())
            return false;
        for (QChar c : entry) {
            if (!isHostChar(c))
                return false;
        }
        (inverse ? excluded : domains)->append(entry.toLatin1());
    }
    return true;
}

QByteArray requiredLiteral(QStringView expression)
{
    QByteArray best;
    QByteArray run;
    int depth = 0;
    bool inClass = false;
    const auto endRun = [&] {
        if (run.size() > best.size())
            best = run;
        run.clear();
    };
    for (qsizetype i = 0; i < expression.size(); ++i) {
        const QChar c = expression[i];
        const QChar next = i + 1 < expression.size() ? expression[i + 1] : QChar();
        // A character a quantifier follows is not required.
        const bool quantified = next == u'?' || next == u'*' || next == u'{' || next == u'+';
        if (inClass) {
            if (c == u'\\')
                ++i;
            else if (c == u']')
                inClass = false;
            endRun();
        } else if (c == u'\\') {
            // An escaped punctuation mark stands for itself; a letter is a class (\d, \w).
            if (i + 1 < expression.size() && !next.isLetterOrNumber() &&
                next.unicode() < 0x80) {
                const QChar after = i + 2 < expression.size() ? expression[i + 2] : QChar();
                if (depth == 0 && after != u'?' && after != u'*' && after != u'{' && after != u'+')
                    run.append(char(next.toLatin1()));
                else
                    endRun();
            } else {
                endRun();
            }
            ++i;
        } else if (c == u'[') {
            inClass = true;
            endRun();
        } else if (c == u'{') {
            // A count: what it repeats has ended the run already.
            while (i < expression.size() && expression[i] != u'}')
                ++i;
            endRun();
        } else if (c == u'|') {
            if (depth == 0)
                return {}; // alternatives: nothing is required of all of them
            endRun();
        } else if (c == u'(') {
            ++depth;
            endRun();
        } else if (c == u')') {
            --depth;
            endRun();
        } else if (QStringView(u".^$?*+{}").contains(c) || c.unicode() >= 0x80 || depth > 0 ||
                   quantified) {
            endRun();
        } else {
            run.append(char(c.toLower().toLatin1()));
        }
    }
    endRun();
    return best;
}

FilterLine parseLine(QStringView raw)
{
    const QStringView line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(u'!') || line.startsWith(u'['))
        return {};
    if (line.size() > MaxLineLength)
        return skipped(QStringLiteral("line too long"));

    // Element hiding; the other "#x#" forms are scripts or extended selectors.
    if (const qsizetype at = line.indexOf(QLatin1String("#@#")); at >= 0)
        return parseHiding(line, at, true);
    for (const char* form : {"#?#", "#$#", "#%#", "#@$#", "#@?#", "#@%#"}) {
        if (line.contains(QLatin1String(form)))
            return skipped(QStringLiteral("extended or scripted hiding"));
    }
    if (const qsizetype at = line.indexOf(QLatin1String("##")); at >= 0)
        return parseHiding(line, at, false);

    FilterLine result;
    result.kind = FilterLine::Kind::Network;
    NetworkRule& rule = result.network;
    rule.text = line.toUtf8();
    QStringView body = line;
    if (body.startsWith(QLatin1String("@@"))) {
        rule.exception = true;
        body = body.mid(2);
    }
    if (const qsizetype dollar = optionsStart(body); dollar >= 0) {
        QString reason;
        if (!applyOptions(body.mid(dollar + 1), &rule, &reason))
            return skipped(reason);
        body = body.left(dollar);
    }
    if (rule.important && rule.exception)
        return skipped(QStringLiteral("unknown option \"important\" on an exception"));

    if (body.size() > 2 && body.startsWith(u'/') && body.endsWith(u'/')) {
        const QStringView expression = body.mid(1, body.size() - 2);
        if (expression.size() > MaxRegexLength)
            return skipped(QStringLiteral("regular expression too long"));
        QRegularExpression::PatternOptions options = QRegularExpression::DontCaptureOption;
        if (!rule.matchCase)
            options |= QRegularExpression::CaseInsensitiveOption;
        auto regex = std::make_shared<QRegularExpression>(expression.toString(), options);
        if (!regex->isValid())
            return skipped(QStringLiteral("broken regular expression"));
        regex->optimize();
        rule.regex = std::move(regex);
        rule.regexLiteral = requiredLiteral(expression);
        return result;
    }

    if (body.startsWith(QLatin1String("||"))) {
        rule.hostAnchor = true;
        body = body.mid(2);
    } else if (body.startsWith(u'|')) {
        rule.startAnchor = true;
        body = body.mid(1);
    }
    if (body.endsWith(u'|')) {
        rule.endAnchor = true;
        body = body.chopped(1);
    }
    // Runs of "*" are one; leading and trailing ones say nothing (but drop the anchor
    // beside them).
    QString pattern;
    pattern.reserve(body.size());
    for (QChar c : body) {
        if (c == u'*' && pattern.endsWith(u'*'))
            continue;
        pattern.append(c);
    }
    if (pattern.startsWith(u'*')) {
        pattern.remove(0, 1);
        rule.hostAnchor = rule.startAnchor = false;
    }
    if (pattern.endsWith(u'*')) {
        pattern.chop(1);
        rule.endAnchor = false;
    }
    if (pattern.isEmpty() && !rule.hostAnchor && !rule.startAnchor && !rule.endAnchor &&
        rule.domains.isEmpty())
        return skipped(QStringLiteral("matches every address"));
    for (QChar c : pattern) {
        if (c.unicode() < 0x21 || c.unicode() > 0x7e)
            return skipped(QStringLiteral("not an address pattern"));
    }
    const QByteArray bytes = rule.matchCase ? pattern.toLatin1() : pattern.toLower().toLatin1();
    const qsizetype at = rule.text.indexOf(bytes);
    if (at >= 0) {
        rule.patternAt = qint32(at);
        rule.patternSize = qint32(bytes.size());
    } else {
        rule.ownPattern = bytes;
    }
    return result;
}

} // namespace FilterRules
