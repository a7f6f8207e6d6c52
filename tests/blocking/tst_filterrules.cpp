#include "blocking/FilterSet.h"
#include "support/DataRows.h"

#include <QtTest>

namespace {

constexpr int Script = int(WebResource::Script);
constexpr int Image = int(WebResource::Image);
constexpr int Css = int(WebResource::Stylesheet);
constexpr int Xhr = int(WebResource::XmlHttpRequest);
constexpr int Frame = int(WebResource::Subdocument);
constexpr int Media = int(WebResource::Media);
constexpr int Font = int(WebResource::Font);
constexpr int Socket = int(WebResource::WebSocket);
constexpr int Popup = int(WebResource::Popup);
constexpr int Page = int(WebResource::Document);

std::shared_ptr<const FilterSet> setOf(const QString& rules)
{
    return FilterSet::fromTexts({{QStringLiteral("test.txt"), rules.toUtf8()}});
}

} // namespace

class TestFilterRules final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decides_data();
    void decides();
    void skipsWhatItCannotApply_data();
    void skipsWhatItCannotApply();
    void hidesElements_data();
    void hidesElements();
    void refusesAListOverTheBound();
    void regexLiterals_data();
    void regexLiterals();
    void sites_data();
    void sites();
};

void TestFilterRules::decides_data()
{
    QTest::addColumn<QString>("rules");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("blocked");
    const QString page = QStringLiteral("https://news.example.org/today");
    addRows<QString, QString, QString, int, bool>({
        // ||host^ and the host label boundary
        {"host anchor", "||ads.net^", "https://ads.net/x.js", page, Script, true},
        {"host anchor subdomain", "||ads.net^", "https://cdn.ads.net/x.js", page, Script, true},
        {"host anchor not inside a label", "||ads.net^", "https://badads.net/x.js", page, Script, false},
        {"host anchor separator", "||ads.net^", "https://ads.network/x.js", page, Script, false},
        {"host anchor port", "||ads.net^", "https://ads.net:8080/x", page, Script, true},
        {"separator at end", "||ads.net^", "https://ads.net", page, Script, true},
        {"host anchor with path", "||ads.net/banner/", "http://ads.net/banner/1.png", page, Image, true},
        // | anchors, *, ^, plain substrings
        {"start anchor", "|http://ads.", "http://ads.example.com/", page, Image, true},
        {"start anchor elsewhere", "|http://ads.", "https://x.com/?u=http://ads.a", page, Image, false},
        {"end anchor", "swf|", "https://x.com/movie.swf", page, Media, true},
        {"end anchor not at end", "swf|", "https://x.com/movie.swf?x=1", page, Media, false},
        {"wildcard", "/banner/*/img^", "https://x.com/banner/foo/img?x", page, Image, true},
        {"wildcard needs order", "/banner/*/img^", "https://x.com/img/banner/", page, Image, false},
        {"separator is not a letter", "/ad^", "https://x.com/adverts", page, Image, false},
        {"substring", "&ad_box=", "https://x.com/p?a=1&ad_box=2", page, Xhr, true},
        {"substring case", "&AD_BOX=", "https://x.com/p?a=1&ad_box=2", page, Xhr, true},
        {"no match", "/adserver/", "https://x.com/content/", page, Script, false},
        {"regex", "/banner[0-9]+\\.gif/", "https://x.com/banner42.gif", page, Image, true},
        {"regex no match", "/banner[0-9]+\\.gif/", "https://x.com/banner.gif", page, Image, false},
        // $match-case
        {"match case", "/BannerAd.$match-case", "https://x.com/BannerAd.js", page, Script, true},
        {"match case other case", "/BannerAd.$match-case", "https://x.com/bannerad.js", page, Script, false},
        // types
        {"script only", "||ads.net^$script", "https://ads.net/a.png", page, Image, false},
        {"script only script", "||ads.net^$script", "https://ads.net/a.js", page, Script, true},
        {"not image", "||ads.net^$~image", "https://ads.net/a.png", page, Image, false},
        {"not image css", "||ads.net^$~image", "https://ads.net/a.css", page, Css, true},
        {"stylesheet", "/ads.css$stylesheet", "https://x.com/ads.css", page, Css, true},
        {"xhr", "/track$xmlhttprequest", "https://x.com/track", page, Xhr, true},
        {"subdocument", "||frames.net^$subdocument", "https://frames.net/f", page, Frame, true},
        {"media", "/clip.mp4$media", "https://x.com/clip.mp4", page, Media, true},
        {"font", "/f.woff$font", "https://x.com/f.woff", page, Font, true},
        {"font other", "/f.woff$font", "https://x.com/f.woff", page, Script, false},
        {"websocket", "||live.net^$websocket", "wss://live.net/s", page, Socket, true},
        {"popup", "||pop.net^$popup", "https://pop.net/", page, Popup, true},
        {"popup only", "||pop.net^$popup", "https://pop.net/a.js", page, Script, false},
        {"no type is no popup", "||pop.net^", "https://pop.net/", page, Popup, false},
        {"popup among types", "||pop.net^$script,popup", "https://pop.net/w.html", page, Popup, true},
        {"popup excluded", "||pop.net^$~popup", "https://pop.net/w.html", page, Popup, false},
        {"popup third party", "||pop.net^$popup,third-party", "https://pop.net/w.html", page, Popup, true},
        {"popup same site", "||example.org^$popup,third-party", "https://www.example.org/w", page, Popup, false},
        {"popup of a domain", "||pop.net^$popup,domain=example.org", "https://pop.net/w", page, Popup, true},
        {"popup of another domain", "||pop.net^$popup,domain=other.org", "https://pop.net/w", page, Popup, false},
        {"popup exception", "||pop.net^$popup\n@@||pop.net/ok/$popup", "https://pop.net/ok/w", page, Popup, false},
        {"script exception is no popup one", "||pop.net^$popup\n@@||pop.net^$script", "https://pop.net/w", page, Popup, true},
        {"popup on an excepted page", "||pop.net^$popup\n@@||example.org^$document", "https://pop.net/w", page, Popup, false},
        {"no type is no page", "||pop.net^", "https://pop.net/", "https://pop.net/", Page, false},
        {"document", "||bad.net^$document", "https://bad.net/", "https://bad.net/", Page, true},
        // third party
        {"third party", "||cdn.net^$third-party", "https://cdn.net/a.js", page, Script, true},
        {"third party same site", "||example.org^$third-party", "https://img.example.org/a", page, Image, false},
        {"first party only", "||example.org^$~third-party", "https://img.example.org/a", page, Image, true},
        {"first party only third", "||cdn.net^$~third-party", "https://cdn.net/a.js", page, Script, false},
        {"country second level", "||shop.co.uk^$third-party", "https://img.shop.co.uk/a", "https://www.shop.co.uk/", Image, false},
        {"country other site", "||shop.co.uk^$third-party", "https://shop.co.uk/a", "https://other.co.uk/", Image, true},
        // $domain
        {"domain", "/ad.js$domain=example.org", "https://x.com/ad.js", page, Script, true},
        {"domain other site", "/ad.js$domain=example.org", "https://x.com/ad.js", "https://other.com/", Script, false},
        {"domain excluded", "/ad.js$domain=~news.example.org", "https://x.com/ad.js", page, Script, false},
        {"domain excluded elsewhere", "/ad.js$domain=~news.example.org", "https://x.com/ad.js", "https://a.com/", Script, true},
        {"domain most specific", "/ad.js$domain=example.org|~news.example.org", "https://x.com/ad.js", page, Script, false},
        {"domain most specific other", "/ad.js$domain=example.org|~news.example.org", "https://x.com/ad.js", "https://www.example.org/", Script, true},
        // exceptions and $important
        {"exception", "||ads.net^\n@@||ads.net/ok/", "https://ads.net/ok/a.js", page, Script, false},
        {"exception elsewhere", "||ads.net^\n@@||ads.net/ok/", "https://ads.net/no/a.js", page, Script, true},
        {"exception typed", "||ads.net^\n@@||ads.net^$image", "https://ads.net/a.js", page, Script, true},
        {"exception typed hit", "||ads.net^\n@@||ads.net^$image", "https://ads.net/a.png", page, Image, false},
        {"important beats exception", "||ads.net^$important\n@@||ads.net^", "https://ads.net/a.js", page, Script, true},
        {"page exception", "||ads.net^\n@@||example.org^$document", "https://ads.net/a.js", page, Script, false},
        {"page exception other page", "||ads.net^\n@@||example.org^$document", "https://ads.net/a.js", "https://a.com/", Script, true},
        // what is skipped never blocks
        {"unknown option", "||ads.net^$rewrite=abp-resource:blank-js", "https://ads.net/a.js", page, Script, false},
        {"unknown option among known", "||ads.net^$script,csp=script-src", "https://ads.net/a.js", page, Script, false},
        {"hiding rule is no network rule", "ads.net##.ad", "https://ads.net/a.js", page, Script, false},
        {"comment", "! ||ads.net^", "https://ads.net/a.js", page, Script, false},
        {"broken line beside good", "/ad[\n||ads.net^$\n||good.net^", "https://good.net/", page, Script, true},
        {"broken regex", "/ad[/", "https://x.com/ad[", page, Script, false},
        // the host as the address writes it
        {"user name is no host", "||ads.net^", "https://ads.net@x.com/", page, Script, false},
        {"address by number", "||10.0.0.1^$third-party", "http://10.0.0.1:8080/a", page, Script, true},
        {"ipv6 same site", "/ad.js$third-party", "http://[::1]:81/ad.js", "http://[::1]/", Script, false},
        {"ipv6 other site", "/ad.js$third-party", "http://[::1]:81/ad.js", "http://a.com/", Script, true},
    });
}

void TestFilterRules::decides()
{
    QFETCH(QString, rules);
    QFETCH(QString, url);
    QFETCH(QString, page);
    QFETCH(int, kind);
    QFETCH(bool, blocked);
    const auto set = setOf(rules);
    WebRequest request{QUrl(url), QUrl(page), WebResource(kind), nullptr};
    QCOMPARE(set->network.decide(request).blocked, blocked);
}

void TestFilterRules::skipsWhatItCannotApply_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reason");
    const QString longRegex = QLatin1Char('/') + QString(300, u'a') + QLatin1Char('/');
    addRows<QString, QString>({
        {"unknown option", "||a.net^$redirect=noop.js", "unknown option \"redirect=noop.js\""},
        {"unknown inverse option", "||a.net^$~bogus", "unknown option \"~bogus\""},
        {"regex too long", longRegex, "regular expression too long"},
        {"broken regex", "/a(/", "broken regular expression"},
        {"every address", "*", "matches every address"},
        {"bad domain", "/ad$domain=a.com|", "bad domain list"},
        {"scriptlet", "example.com##+js(abort)", "not a plain selector"},
        {"extended", "example.com#?#div:-abp-has(.ad)", "extended or scripted hiding"},
        {"no types left", "/ad$script,~script", "no kind of request left"},
        {"not ascii", "/annonce-é.html", "not an address pattern"},
        {"important exception", "@@||a.net^$important", "unknown option \"important\" on an exception"},
    });
}

void TestFilterRules::skipsWhatItCannotApply()
{
    QFETCH(QString, line);
    QFETCH(QString, reason);
    const FilterLine parsed = FilterRules::parseLine(line);
    QCOMPARE(parsed.kind, FilterLine::Kind::Skipped);
    QCOMPARE(parsed.reason, reason);
    // Counted in the list's report, beside the good rule after it.
    const auto set = setOf(line + QLatin1String("\n||good.net^\n"));
    QCOMPARE(set->lists.size(), 1);
    QCOMPARE(set->lists[0].skipped, 1);
    QCOMPARE(set->lists[0].rules, 1);
}

void TestFilterRules::hidesElements_data()
{
    QTest::addColumn<QString>("rules");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QStringList>("selectors");
    addRows<QString, QString, QStringList>({
        {"generic", "##.ad", "a.com", {".ad"}},
        {"per domain", "a.com##.ad\nb.com###banner", "www.a.com", {".ad"}},
        {"per domain elsewhere", "a.com##.ad", "c.com", {}},
        {"generic excluded", "~a.com##.ad", "a.com", {}},
        {"generic excluded elsewhere", "~a.com##.ad", "b.com", {".ad"}},
        {"exception on site", "##.ad\na.com#@#.ad", "sub.a.com", {}},
        {"exception other site", "##.ad\na.com#@#.ad", "b.com", {".ad"}},
        {"exception everywhere", "b.com##.ad\n#@#.ad", "b.com", {}},
        {"generic before domain, once", "##.ad\na.com##.ad\na.com##div[id=\"x\"]", "a.com", {".ad", "div[id=\"x\"]"}},
    });
}

void TestFilterRules::hidesElements()
{
    QFETCH(QString, rules);
    QFETCH(QString, host);
    QFETCH(QStringList, selectors);
    const auto set = setOf(rules);
    QCOMPARE(set->hiding.selectorsFor(host), selectors);
    QCOMPARE(set->hiding.styleSheetFor(host).count(QLatin1String("display: none")),
             selectors.size());
    for (const QString& selector : selectors)
        QVERIFY(set->hiding.styleSheetFor(host).contains(selector));
}

void TestFilterRules::refusesAListOverTheBound()
{
    QByteArray big("||ads.net^\n");
    big.append(QByteArray(FilterSet::MaxListBytes, '!'));
    const auto set = FilterSet::fromTexts({{QStringLiteral("big.txt"), big},
                                           {QStringLiteral("small.txt"), "||small.net^\n"}});
    QCOMPARE(set->lists.size(), 2);
    QCOMPARE(set->lists[0].message, FilterSet::tooLargeMessage(QStringLiteral("big.txt")));
    QCOMPARE(set->lists[0].message,
             QStringLiteral("The filter list \"big.txt\" is larger than 50 MiB and was not read."));
    QVERIFY(set->lists[1].message.isEmpty());
    const QUrl page(QStringLiteral("https://x.com/"));
    QVERIFY(!set->network.decide({QUrl(QStringLiteral("https://ads.net/")), page,
                                  WebResource::Script, nullptr})
                 .blocked);
    QVERIFY(set->network.decide({QUrl(QStringLiteral("https://small.net/")), page,
                                 WebResource::Script, nullptr})
                .blocked);
}

void TestFilterRules::regexLiterals_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("literal");
    addRows<QString, QString>({
        {"plain", "Banner[0-9]+\\.gif", "banner"},
        {"escaped", "\\/ads\\/x", "/ads/x"},
        {"quantified last", "adverts?x", "advert"},
        {"groups ignored", "^https?:\\/\\/(www|cdn)\\.track(er)?\\/pixel", ".track"},
        {"alternatives", "banner|popup", ""},
        {"classes", "[a-z]{3}\\d+", ""},
    });
}

void TestFilterRules::regexLiterals()
{
    QFETCH(QString, expression);
    QFETCH(QString, literal);
    QCOMPARE(QString::fromLatin1(FilterRules::requiredLiteral(expression)), literal);
}

void TestFilterRules::sites_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("site");
    addRows<QString, QString>({
        {"plain", "a.b.example.com", "example.com"},
        {"country code", "www.shop.co.uk", "shop.co.uk"},
        {"short country code", "www.example.de", "example.de"},
        {"address by number", "127.0.0.1", "127.0.0.1"},
        {"one label", "localhost", "localhost"},
    });
}

void TestFilterRules::sites()
{
    QFETCH(QString, host);
    QFETCH(QString, site);
    const std::string h = host.toStdString();
    QCOMPARE(QString::fromStdString(std::string(NetworkMatcher::siteOf(h))), site);
}

QTEST_GUILESS_MAIN(TestFilterRules)
#include "tst_filterrules.moc"
