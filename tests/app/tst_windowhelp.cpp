// The Help menu without a window: the help pages and the support page, each opened in a tab
// of its own, and the About box's link.
#include "app/AboutBox.h"
#include "app/WindowHelp.h"
#include "platform/RegistryHive.h"
#include "support/TestFiles.h"
#include "support/TestHome.h"

#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

namespace {

// The help with the addresses it opens recorded.
struct Help
{
    QWidget owner;
    RegistryHive hive{TestFiles::home(QStringLiteral("help.db"))};
    QStringList opened;
    WindowHelp help{owner, [this](const QString& address) { opened << address; }, hive};
};

} // namespace

class TestWindowHelp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void helpAndSupportOpenInTabsAndHaveNoDeadLinks()
    {
        Help h;
        h.help.showHelpTopics();
        QCOMPARE(h.opened.size(), 1);
        const QUrl help(h.opened.last());
        QVERIFY(help.isLocalFile());
        QVERIFY2(QFileInfo(help.toLocalFile()).isFile(), qPrintable(help.toString()));

        h.help.showSupport();
        QCOMPARE(h.opened.size(), 2);
        const QUrl support(h.opened.last());
        QCOMPARE(QUrlQuery(support).queryItemValue(QStringLiteral("settings"), QUrl::FullyDecoded),
                 h.hive.path());
        QVERIFY(QFileInfo(support.toLocalFile()).isFile());

        // Every link of the help pages leads somewhere: another page that is there, or a
        // place in a page that has it.
        const QDir folder = QFileInfo(help.toLocalFile()).dir();
        const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
        const QRegularExpression anchor(QStringLiteral("id=\"([^\"]+)\""));
        int links = 0;
        for (const QString& page : folder.entryList({QStringLiteral("*.html")})) {
            const QString text = QString::fromUtf8(TestFiles::readFile(folder.filePath(page)));
            QStringList ids;
            for (const auto& m : anchor.globalMatch(text))
                ids << m.captured(1);
            for (const auto& m : link.globalMatch(text)) {
                const QString target = m.captured(1);
                ++links;
                if (target.startsWith(QLatin1Char('#')))
                    QVERIFY2(ids.contains(target.mid(1)), qPrintable(page + target));
                else
                    QVERIFY2(folder.exists(target.section(QLatin1Char('#'), 0, 0)),
                             qPrintable(page + " " + target));
            }
        }
        QVERIFY(links > 5);
    }

    // The About box's link opens in a tab of its own.
    void theAboutBoxLinkOpensInATab()
    {
        Help h;
        bool shown = false;
        QTimer::singleShot(0, [&shown] {
            auto* about = qobject_cast<TfrmSplash*>(QApplication::activeModalWidget());
            shown = about != nullptr;
            if (!about)
                return;
            Q_EMIT about->linkClicked(TfrmSplash::HomePage());
            about->accept();
        });
        h.help.showAbout();
        QVERIFY(shown);
        QCOMPARE(h.opened, QStringList{TfrmSplash::HomePage()});
    }
};

PELVANE_TEST_MAIN(TestWindowHelp)
#include "tst_windowhelp.moc"
