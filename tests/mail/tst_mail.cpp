#include "mail/MailClients.h"
#include "mail/MailLauncher.h"
#include "mail/MailNews.h"
#include "mail/MailRules.h"
#include "support/FakeDesktop.h"
#include "support/TestHome.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QUrl>

namespace {

MailNews::Setup setupOf(const FakeDesktop& desktop, const QString& xdgEmail = {})
{
    return {{{desktop.applications()}, {desktop.mimeAppsList()}}, xdgEmail, {}};
}

// Waits for a send to be answered; the answer's problem, or "accepted".
QString sendAndWait(MailNews& mail, const QString& file)
{
    std::optional<QString> answer;
    mail.SendPage(file, [&](bool accepted, const QString& problem) {
        answer = accepted ? QStringLiteral("accepted") : problem;
    });
    if (!QTest::qWaitFor([&] { return answer.has_value(); }, 20000))
        return QStringLiteral("no answer");
    return *answer;
}

} // namespace

class TestMail : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rules()
    {
        const struct
        {
            const char *title, *url, *mailto;
        } links[] = {
            {"Plain", "http://h/a",
             "mailto:?subject=Plain%20%28http%3A%2F%2Fh%2Fa%29&body=http%3A%2F%2Fh%2Fa"},
            {"Q&A #1", "http://h/?a=1&b=%41#x",
             "mailto:?subject=Q%26A%20%231%20%28http%3A%2F%2Fh%2F%3Fa%3D1%26b%3D%2541%23x%29"
             "&body=http%3A%2F%2Fh%2F%3Fa%3D1%26b%3D%2541%23x"},
            {"", "u", "mailto:?subject=%20%28u%29&body=u"},
            {"a\r\nb\x01\xc3\xa9", "u", "mailto:?subject=a%20%20b%20%C3%A9%20%28u%29&body=u"},
        };
        for (const auto& link : links)
            QCOMPARE(MailRules::sendLinkAddress(QString::fromUtf8(link.title), link.url),
                     link.mailto);

        const QString f = QStringLiteral("/tmp/a,b'c/P.htm");
        const struct
        {
            QStringList start;
            QString xdgEmail;
            QStringList command;
        } attach[] = {
            {{"/usr/bin/thunderbird"},
             "/x/xdg-email",
             {"/usr/bin/thunderbird", "-compose", "attachment='file:///tmp/a%2Cb%27c/P.htm'"}},
            {{"evolution"}, "", {"evolution", "mailto:?attach=%2Ftmp%2Fa%2Cb%27c%2FP.htm"}},
            {{"kmail", "-x"}, "", {"kmail", "-x", "--attach", f}},
            {{"geary"}, "/x/xdg-email", {"/x/xdg-email", "--utf8", "--attach", f}},
            {{"geary"}, "", {}}, // no xdg-email: no way
        };
        for (const auto& row : attach)
            QCOMPARE(MailRules::attachCommand(row.start, f, row.xdgEmail), row.command);
    }

    // The desktop's programs and defaults, and the commands that start them.
    void programsOfTheDesktop()
    {
        FakeDesktop desktop;
        const QString work = desktop.path(QStringLiteral("work folder"));
        QDir().mkpath(work);
        const QString zeta =
            desktop.client("zmail", "x-scheme-handler/mailto", " %u\nPath=" + work);
        const QString alpha = desktop.program(QStringLiteral("alpha"));
        desktop.entry("vendor/alpha.desktop", "Name=Alpha & Co\nExec[$e]=$FAKEBIN/alpha %%u %U\n"
                                              "MimeType=x-scheme-handler/mailto;\n");
        qputenv("FAKEBIN", desktop.path(QStringLiteral("bin")).toUtf8());
        const QString news = desktop.client("newsy", "x-scheme-handler/nntp");
        desktop.entry("broken.desktop", "Name=Broken\nExec=\"unfinished %u\n"
                                        "MimeType=x-scheme-handler/news;\n");
        // Bytes that are no list, then a default naming a missing program first.
        TestFiles::writeFile(desktop.mimeAppsList(),
                             "\xff\xfe garbage =\n[Default Applications]\n"
                             "x-scheme-handler/mailto=missing.desktop;zmail.desktop;\n"
                             "x-scheme-handler/news=broken.desktop\n");

        MailNews mail(setupOf(desktop));
        QSignalSpy status(&mail, &MailNews::statusText);
        mail.ReadMail(); // no address: the codes give nothing
        QTRY_COMPARE(FakeDesktop::received(zeta), QStringList{work});

        // Every mail program once, by name; the list is made once per run.
        QMenu menu;
        mail.ListMailClients(&menu);
        desktop.client("late");
        mail.ListMailClients(&menu);
        QCOMPARE(menu.actions().size(), 2);
        QCOMPARE(menu.actions().at(0)->text(), QStringLiteral("Alpha && Co"));
        menu.actions().at(0)->trigger(); // RunMe: the expanded command, "%%" a percent sign
        QTRY_COMPARE(FakeDesktop::received(alpha).mid(1), QStringList{"%u"});

        // News: the default's entry cannot be split, which is said; without it, the first
        // installed program that can start.
        mail.ReadNews();
        QCOMPARE(status.count(), 1);
        QVERIFY(status.first().first().toString().contains(QLatin1String("Broken")));
        QFile::remove(QDir(desktop.applications()).filePath("broken.desktop"));
        mail.ReadNews();
        QTRY_COMPARE(FakeDesktop::received(news).size(), 1);
    }

    // Each failure is said once, and nothing else starts.
    void failures()
    {
        FakeDesktop desktop;
        MailNews mail(setupOf(desktop));
        QSignalSpy status(&mail, &MailNews::statusText);
        const QString page = TestFiles::writeFile(desktop.path("P.htm"), "<p>");
        mail.ReadMail();
        mail.ReadNews();
        QCOMPARE(sendAndWait(mail, page), MailNews::NoMailProgram);
        QCOMPARE(status.count(), 3);
        QCOMPARE(status.at(1).first().toString(), MailNews::NoNewsProgram);
        QMenu menu;
        mail.ListMailClients(&menu);
        QVERIFY(menu.isEmpty());

        desktop.client("kmail", "x-scheme-handler/mailto", " %u", 3); // refuses the page
        QVERIFY(sendAndWait(mail, page).contains(QLatin1String("exit code 3")));
        QVERIFY(sendAndWait(mail, desktop.path("gone.htm")).contains(QLatin1String("missing")));
        DesktopApplication gone{.name = "Gone", .exec = desktop.path("no such program")};
        mail.RunMe(gone);
        QCOMPARE(status.count(), 6);
        QCOMPARE(status.last().first().toString(), QStringLiteral("Gone could not be started."));
    }

    // A mail program still starting up with the message outlives the window that started
    // it, however soon that closes; and nothing is told once the launcher is gone.
    void mailProgramOutlivesTheLauncher()
    {
        FakeDesktop desktop;
        const QString slow = TestFiles::writeFile(desktop.path("bin/slowmail"),
                                                  "#!/bin/sh\nsleep 0.3\n: > \"$1\"\n");
        QVERIFY(QFile::setPermissions(slow, QFile::ReadOwner | QFile::ExeOwner));
        const QString opened = desktop.path("message-opened");
        bool told = false;
        {
            MailLauncher launcher{QString()};
            launcher.run(QStringLiteral("Slow"), {slow, opened}, {},
                         [&told](bool, const QString&) { told = true; });
        }
        QTRY_VERIFY(QFile::exists(opened));
        QVERIFY(!told);
    }

    // The desktop's own xdg-email hands the page to a program it knows nothing special of.
    void sendPageThroughXdgEmail()
    {
        const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
        if (xdgEmail.isEmpty())
            QSKIP("xdg-email (xdg-utils) is not installed: scripts/setup installs it");
        FakeDesktop desktop;
        // xdg-open hands addresses on only when a display is named; the fake needs none.
        if (qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("DISPLAY", ":98");
        const QString client = desktop.client("fakemail");
        TestFiles::writeFile(desktop.mimeAppsList(),
                             "[Default Applications]\nx-scheme-handler/mailto=fakemail.desktop\n");
        const QString page = TestFiles::writeFile(desktop.path("Page.htm"), "<p>");
        MailNews mail(setupOf(desktop, xdgEmail));
        QCOMPARE(sendAndWait(mail, page), QStringLiteral("accepted"));
        const QStringList got = FakeDesktop::received(client);
        QCOMPARE(got.size(), 2);
        QVERIFY2(got.at(1).startsWith(QLatin1String("mailto:?attach=")), qPrintable(got.at(1)));
        QCOMPARE(QUrl::fromPercentEncoding(got.at(1).mid(15).toUtf8()), page);
    }
};

PELVANE_TEST_MAIN(TestMail)
#include "tst_mail.moc"
