// The form filler on a page of 10,000 text fields: how long the mapping takes, how long a
// whole fill takes on the real engine, and the longest time the program's own event loop
// went unserved meanwhile (what the user would feel as a frozen window).
//
//     xvfb-run -a bench/formfill/bench_formfill
#include "formfiller/FieldMapping.h"
#include "formfiller/FormFiller.h"
#include "formfiller/FormFillerQuestions.h"
#include "integration/ProfileCard.h"
#include "platform/ProfileFile.h"
#include "platform/RegistryHive.h"
#include "platform/web/QtWebEngineBackend.h"
#include "platform/web/WebBrowser.h"
#include "platform/web/WebEngineContext.h"
#include "settings/PVOptions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int Fields = 10000;
const char* const FieldNames[] = {"first_name", "last_name", "email", "city",
                                  "zip",        "phone",     "other"};

class AllowAll final : public FormFillerQuestions
{
public:
    bool showProfileNotice(TPVOptions&) override { return false; }
    bool editProfile(const QString&) override { return false; }
    Consent askConsent(const QString&, const QStringList&) override { return Consent::Allow; }
    void tell(const QString&) override {}
};

// The longest interval between two turns of the event loop while it runs.
class LoopWatch final
{
public:
    LoopWatch()
    {
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_clock.restart()); });
        m_clock.start();
        m_timer.start();
    }
    qint64 longest() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    poll.start(2);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("PELVANE_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);

    ProfileCard card;
    card.setAttribute(u"vCard.FirstName", QStringLiteral("Anna"));
    card.setAttribute(u"vCard.LastName", QStringLiteral("Smith"));
    card.setAttribute(u"vCard.Email", QStringLiteral("anna@example.org"));
    card.setAttribute(u"vCard.Home.City", QStringLiteral("London"));
    const QString profile = home.filePath(QStringLiteral("profile.vcf"));
    ProfileStore::save(profile, card);

    QList<FormField> fields;
    QString html = QStringLiteral("<!DOCTYPE html><html><body><form>");
    for (int i = 0; i < Fields; ++i) {
        // Every other field has a name of its own, the rest repeat the common names (each of
        // those is filled).
        const QString name =
            i % 2 ? QStringLiteral("field%1").arg(i) : QLatin1String(FieldNames[i / 2 % 7]);
        fields.append({name, {}});
        html += QStringLiteral("<input type='text' name='%1'>").arg(name);
    }
    html += QStringLiteral("</form></body></html>");

    const FieldMap map(
        ProfileFile::load(QStringLiteral(PELVANE_SOURCE_RESOURCES "/formfiller.ini")));
    QElapsedTimer clock;
    clock.start();
    const auto plan = TFormFiller::plan(fields, map, ProfileKind::Personal, card);
    std::printf("plan for %d fields: %lld ms (%lld answers)\n", Fields, clock.elapsed(),
                qlonglong(plan.answers.size()));

    WebEngineContext context;
    TWebBrowser browser(context.createBackend(), nullptr);
    browser.resize(800, 600);
    browser.show();
    bool loaded = false;
    browser.OnDocumentComplete = [&](WebFrame frame, const QString&) {
        loaded = loaded || frame == browser.Application();
    };
    browser.backend()->setHtml(html, QStringLiteral("http://127.0.0.1/"));
    if (!waitFor([&] { return loaded; }, 30000)) {
        std::printf("the page did not load\n");
        return 1;
    }

    RegistryHive hive(home.filePath(QStringLiteral("registry.db")));
    TPVOptions(hive).SetAskProfile(false);
    AllowAll questions;
    TFormFiller filler(
        {&hive, &questions, profile, home.path(), QStringLiteral(PELVANE_SOURCE_RESOURCES)});
    int filled = -1;
    QObject::connect(&filler, &TFormFiller::finished, [&](int n) { filled = n; });
    LoopWatch watch;
    clock.restart();
    filler.Fill(ProfileKind::Personal, &browser);
    waitFor([&] { return filled >= 0; }, 60000);
    std::printf("fill of %d fields on the engine: %lld ms, %d set; longest wait of the event "
                "loop: %lld ms\n",
                Fields, clock.elapsed(), filled, watch.longest());
    return filled > 0 ? 0 : 1;
}
