// Content blocking with a list of EasyList's size and shape, generated here (no download):
// 80,000 rules, about as EasyList and EasyPrivacy mix them: host rules with and without
// options, path and query fragments, exceptions, $domain rules, a few regular expressions,
// and element hiding, generic and per site. Prints the time to read the list (parsing and
// indexing, the background work at start), the memory the rules take, and the time to
// decide one request (median and 99th percentile over 200,000 requests of pages' shape).
#include "blocking/FilterSet.h"
#include "../support/Median.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTextStream>

#include <chrono>
#include <malloc.h>

namespace {

constexpr int RuleCount = 80000;
// The hosts the list names, for requests that hit it.
std::vector<QString> listHosts;

QString word(QRandomGenerator& random)
{
    static const char* const words[] = {"ad",     "ads",    "banner", "track", "pixel",  "promo",
                                        "sponsor", "click", "count",  "stat",  "beacon", "media",
                                        "img",    "static", "cdn",    "serve", "pop",    "video",
                                        "widget", "tag",    "metric", "log",   "affil",  "partner"};
    return QLatin1String(words[random.bounded(int(std::size(words)))]);
}

QString host(QRandomGenerator& random, int n)
{
    static const char* const tlds[] = {"com", "net", "org", "io", "de", "co.uk", "fr", "ru"};
    return QStringLiteral("%1%2%3.%4")
        .arg(word(random))
        .arg(n)
        .arg(random.bounded(2) ? QStringLiteral("-") + word(random) : QString())
        .arg(QLatin1String(tlds[random.bounded(int(std::size(tlds)))]));
}

QByteArray makeList()
{
    QRandomGenerator random(39);
    QString list = QStringLiteral("[Adblock Plus 2.0]\n! Title: generated list of EasyList's shape\n");
    static const char* const types[] = {"script", "image", "stylesheet", "xmlhttprequest",
                                        "subdocument", "media", "font", "popup"};
    for (int i = 0; i < RuleCount; ++i) {
        const int shape = random.bounded(100);
        QString line;
        if (shape < 38) { // ||host^
            listHosts.push_back(host(random, i));
            line = QStringLiteral("||%1^").arg(listHosts.back());
            if (random.bounded(4) == 0)
                line += QStringLiteral("$third-party");
        } else if (shape < 46) { // ||host/path
            line = QStringLiteral("||%1/%2/%3_").arg(host(random, i), word(random), word(random));
        } else if (shape < 58) { // path fragments
            line = QStringLiteral("/%1%2/%3*.").arg(word(random)).arg(i).arg(word(random));
            if (random.bounded(3) == 0)
                line += QStringLiteral("$%1").arg(QLatin1String(types[random.bounded(8)]));
        } else if (shape < 64) { // query fragments
            line = QStringLiteral("&%1_%2=").arg(word(random)).arg(i);
        } else if (shape < 68) { // -word-n- fragments
            line = QStringLiteral("-%1-%2-%3.").arg(word(random)).arg(i).arg(word(random));
        } else if (shape < 71) { // $domain rules
            line = QStringLiteral("/%1.js?%2$script,domain=%3|~sub.%3")
                       .arg(word(random))
                       .arg(i)
                       .arg(host(random, i));
        } else if (shape < 74) { // exceptions
            line = QStringLiteral("@@||%1/%2.js$script,domain=%3")
                       .arg(host(random, i), word(random), host(random, i + 1));
        } else if (shape < 86) { // generic hiding
            line = QStringLiteral("##.%1-%2").arg(word(random)).arg(i);
        } else if (shape < 99) { // per-site hiding
            line = QStringLiteral("%1##div[id^=\"%2-%3\"]").arg(host(random, i), word(random)).arg(i);
        } else if (i % 50 == 0) { // now and then a regular expression
            line = QStringLiteral("/^https?:\\/\\/[a-z]{8,15}\\.(com|net)\\/%1[0-9]+\\//")
                       .arg(word(random));
        } else {
            line = QStringLiteral("%1#@#.%2-%3").arg(host(random, i), word(random)).arg(i);
        }
        list += line + QLatin1Char('\n');
    }
    return list.toUtf8();
}

std::vector<WebRequest> makeRequests()
{
    QRandomGenerator random(7);
    static const char* const pages[] = {"https://news.example.com/world/2026/12/story.html",
                                        "https://www.shop.co.uk/item/12345",
                                        "https://blog.example.org/post?id=99"};
    static const WebResource kinds[] = {WebResource::Script, WebResource::Image,
                                        WebResource::Stylesheet, WebResource::XmlHttpRequest,
                                        WebResource::Font, WebResource::Subdocument};
    std::vector<WebRequest> requests;
    for (int i = 0; i < 200000; ++i) {
        WebRequest request;
        request.firstParty = QUrl(QLatin1String(pages[i % 3]));
        request.kind = kinds[random.bounded(int(std::size(kinds)))];
        const int shape = random.bounded(10);
        if (shape < 5) // the page's own parts
            request.url = QUrl(QStringLiteral("https://static.example.com/assets/js/app.%1.min.js?v=%2")
                                   .arg(random.bounded(1000))
                                   .arg(random.bounded(100000)));
        else if (shape < 7) // other sites' content
            request.url = QUrl(QStringLiteral("https://cdn%1.content-%2.net/images/photo_%3.jpg")
                                   .arg(random.bounded(50))
                                   .arg(random.bounded(500))
                                   .arg(random.bounded(100000)));
        else if (shape < 8) // hosts of the list
            request.url = QUrl(QStringLiteral("https://%1/%2/%3.gif")
                                   .arg(listHosts[random.bounded(int(listHosts.size()))],
                                        word(random), word(random)));
        else if (shape < 9) // hosts like those of the list
            request.url = QUrl(QStringLiteral("https://%1/%2/%3.gif?%4_%5=1")
                                   .arg(host(random, random.bounded(RuleCount)), word(random),
                                        word(random), word(random))
                                   .arg(random.bounded(RuleCount)));
        else // long tracking addresses
            request.url = QUrl(QStringLiteral("https://www.analytics-%1.com/collect?v=1&tid=UA-%2"
                                              "&cid=%3&t=pageview&dl=https%3A%2F%2Fnews.example.com"
                                              "%2Fworld&dt=Story&sr=1920x1080&ul=en-us")
                                   .arg(random.bounded(100))
                                   .arg(random.bounded(1000000))
                                   .arg(random.bounded(1000000)));
        requests.push_back(request);
    }
    return requests;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray list = makeList();
    if (argc > 1) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (file.open(QIODevice::WriteOnly))
            file.write(list);
    }
    QTextStream out(stdout);
    out << "list: " << RuleCount << " lines, " << list.size() / 1024 << " KiB\n";

    const double loadMs = medianMs(5, [&] {
        FilterSet::fromTexts({{QStringLiteral("generated.txt"), list}});
    });
    malloc_trim(0);
    const size_t before = mallinfo2().uordblks;
    std::shared_ptr<const FilterSet> set = FilterSet::fromTexts({{QStringLiteral("generated.txt"), list}});
    malloc_trim(0);
    const size_t after = mallinfo2().uordblks;
    out << "rules read: " << set->ruleCount() << ", skipped: " << set->skippedCount()
        << ", network rules: " << set->network.ruleCount()
        << ", hiding selectors: " << set->hiding.selectorCount() << '\n';
    out << "load (parse and index, median of 5): " << loadMs << " ms\n";
    out << "memory of the rules (heap in use after - before): "
        << double(after - before) / (1024.0 * 1024.0) << " MiB\n";

    const std::vector<WebRequest> requests = makeRequests();
    std::vector<double> times;
    times.reserve(requests.size());
    int blocked = 0;
    for (const WebRequest& request : requests) {
        const auto start = std::chrono::steady_clock::now();
        const bool hit = set->network.decide(request).blocked;
        const auto end = std::chrono::steady_clock::now();
        blocked += hit;
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    out << "requests: " << requests.size() << ", blocked: " << blocked << '\n';
    out << "decision median: " << times[times.size() / 2]
        << " us, p99: " << times[times.size() * 99 / 100]
        << " us, max: " << times.back() << " us\n";

    const double sheetMs = medianMs(21, [&] {
        set->hiding.styleSheetFor(QStringLiteral("news.example.com"));
    });
    out << "hiding style sheet for a site (median of 21): " << sheetMs << " ms, "
        << set->hiding.styleSheetFor(QStringLiteral("news.example.com")).size() / 1024
        << " KiB\n";
    return 0;
}
