// Every store killed while it writes: the next start finds the old content or the new one
// whole, and nothing left over. See tests/support/CrashInjection.h for the rounds.

#include "WriteSteps.h"

#include "bars/ToolbarFile.h"
#include "favorites/Bookmarks.h"
#include "favorites/FavoriteFiles.h"
#include "favorites/FavoritesTransfer.h"
#include "groups/SorvelGroup.h"
#include "history/HistoryStore.h"
#include "integration/ProfileCard.h"
#include "platform/InternetShortcut.h"
#include "platform/RegistryHive.h"
#include "platform/SaveLeftovers.h"
#include "session/SessionFile.h"
#include "session/SessionKeeper.h"
#include "support/CrashInjection.h"
#include "support/TestHome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

using CrashInjection::Found;
using CrashInjection::Store;

namespace {

class SystemCallSteps final : public CrashInjection::StepGate
{
public:
    void arm(int stopAt) override { WriteSteps::arm(stopAt); }
    int taken() const override { return WriteSteps::taken(); }
};

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool putBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A file whose reader must give one of two values and whose bytes must be one of two
// files: a half file that still parses (a shorter list, say) is found too.
template<typename Value>
Found oneOf(const QString& path, const Value& read, const Value& old, const Value& now,
            const QByteArray& oldBytes, const QByteArray& newBytes, QString* problem)
{
    if (!QFileInfo::exists(path)) {
        *problem = QStringLiteral("%1 is gone").arg(QFileInfo(path).fileName());
        return Found::Broken;
    }
    const QByteArray bytes = bytesOf(path);
    if (read == old && bytes == oldBytes)
        return Found::Old;
    if (read == now && bytes == newBytes)
        return Found::New;
    *problem = QStringLiteral("%1 holds neither content whole (%2 bytes; old %3, new %4)")
                   .arg(QFileInfo(path).fileName())
                   .arg(bytes.size())
                   .arg(oldBytes.size())
                   .arg(newBytes.size());
    return Found::Broken;
}

QString pad(const QString& text, int size)
{
    return text + QString(size, QLatin1Char('x'));
}

// --- the settings hive

constexpr int HiveValues = 400;

QString hiveFile(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("registry.db"));
}

qint64 crashKey(RegistryHive& hive)
{
    qint64 key = RegistryHive::CurrentUser;
    for (const char* name : {"Software", "Brenmoor", "Pelvane", "Crash"})
        key = hive.createChildKey(key, QLatin1String(name));
    return key;
}

bool writeHive(const QString& folder, QChar mark, const std::function<void()>& writing)
{
    RegistryHive hive(hiveFile(folder));
    if (!hive.isOpen())
        return false;
    writing();
    HiveTransaction transaction(hive);
    const qint64 key = crashKey(hive);
    for (int i = 0; i < HiveValues; ++i) {
        if (!hive.setValue(key, QStringLiteral("Value%1").arg(i), RegistryHive::ValueType::String,
                           pad(QString(mark), 200)))
            return false;
    }
    return transaction.commit();
}

Store hiveStore()
{
    return {QStringLiteral("settings hive"),
            [](const QString& folder) { return writeHive(folder, u'A', [] {}); },
            [](const QString& folder, const std::function<void()>& writing) {
                return writeHive(folder, u'B', writing);
            },
            [](const QString& folder, QString* problem) {
                RegistryHive hive(hiveFile(folder));
                if (!hive.isOpen() || !hive.recoveredBackup().isEmpty()) {
                    *problem = QStringLiteral("the hive did not open: %1 %2")
                                   .arg(hive.errorText(), hive.recoveredBackup());
                    return Found::Broken;
                }
                const QList<RegistryHive::Value> values = hive.values(crashKey(hive));
                QSet<QString> found;
                for (const RegistryHive::Value& value : values)
                    found.insert(value.data.toString());
                if (values.size() == HiveValues && found.size() == 1)
                    return *found.cbegin() == pad(QStringLiteral("A"), 200) ? Found::Old : Found::New;
                *problem = QStringLiteral("%1 values of %2 kinds").arg(values.size()).arg(found.size());
                return Found::Broken;
            }};
}

// --- the history

constexpr int HistoryVisits = 120;

QString historyFile(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("History/history.db"));
}

bool writeHistory(const QString& folder, const QString& prefix, const std::function<void()>& writing)
{
    HistoryStore store(historyFile(folder));
    if (!store.isOpen())
        return false;
    writing();
    if (!store.beginBatch())
        return false;
    const QDateTime when(QDate(2026, 12, 1), QTime(10, 0));
    for (int i = 0; i < HistoryVisits; ++i) {
        if (!store.recordVisit(QStringLiteral("http://%1.example/page%2").arg(prefix).arg(i),
                               pad(QStringLiteral("Page %1 ").arg(i), 100), when.addSecs(i)))
            return false;
    }
    return store.commitBatch();
}

Store historyStore()
{
    return {QStringLiteral("history"),
            [](const QString& folder) { return writeHistory(folder, QStringLiteral("old"), [] {}); },
            [](const QString& folder, const std::function<void()>& writing) {
                return writeHistory(folder, QStringLiteral("new"), writing);
            },
            [](const QString& folder, QString* problem) {
                HistoryStore store(historyFile(folder));
                if (!store.isOpen() || !store.recoveredBackup().isEmpty()) {
                    *problem = QStringLiteral("the history did not open: %1").arg(store.errorText());
                    return Found::Broken;
                }
                const int pages = store.pageCount();
                const int oldPages = int(store.search(QStringLiteral("old.example"), 1000).size());
                const int newPages = int(store.search(QStringLiteral("new.example"), 1000).size());
                if (oldPages == HistoryVisits && newPages == 0 && pages == HistoryVisits)
                    return Found::Old;
                if (oldPages == HistoryVisits && newPages == HistoryVisits && pages == 2 * HistoryVisits)
                    return Found::New;
                *problem = QStringLiteral("%1 pages: %2 old, %3 new").arg(pages).arg(oldPages).arg(newPages);
                return Found::Broken;
            }};
}

// --- the session kept against crashes

SessionState sessionOf(const QString& prefix, int tabs)
{
    SessionState state;
    for (int i = 0; i < tabs; ++i) {
        SessionTab tab;
        tab.address = QStringLiteral("http://%1.example/tab%2").arg(prefix).arg(i);
        tab.title = pad(QStringLiteral("%1 tab %2 ").arg(prefix).arg(i), 150);
        state.tabs.append(tab);
    }
    state.active = tabs - 1;
    return state;
}

Store sessionStore()
{
    const SessionState old = sessionOf(QStringLiteral("old"), 400);
    const SessionState now = sessionOf(QStringLiteral("new"), 900);
    const auto file = [](const QString& folder) {
        return QDir(folder).filePath(QStringLiteral("session.json"));
    };
    return {QStringLiteral("session"),
            [=](const QString& folder) {
                // The run that is killed had started: its marker is there.
                SessionKeeper keeper(file(folder), [] { return SessionState(); });
                keeper.begin(false);
                return SessionFile::write(file(folder), old).isEmpty();
            },
            [=](const QString& folder, const std::function<void()>& writing) {
                writing();
                return SessionFile::write(file(folder), now).isEmpty();
            },
            [=](const QString& folder, QString* problem) {
                const SessionKeeper::Previous previous = SessionKeeper::inspect(file(folder));
                if (!previous.problem.isEmpty()) {
                    *problem = previous.problem;
                    return Found::Broken;
                }
                if (previous.saved == old)
                    return Found::Old;
                if (previous.saved == now)
                    return Found::New;
                *problem = QStringLiteral("%1 tabs").arg(previous.saved.tabs.size());
                return Found::Broken;
            }};
}

// --- a page group

QStringList groupLines(const QString& prefix, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(QStringLiteral("blank%1=http://%2.example/%3").arg(i + 1).arg(prefix, pad(QString::number(i), 60)));
    return lines;
}

bool saveGroup(const QString& path, const QStringList& lines)
{
    TSorvelGroup group;
    group.setFileName(path);
    for (const QString& line : lines)
        group.add(line);
    return group.Save(nullptr) == TSorvelGroup::SaveResult::Saved;
}

Store groupStore()
{
    const QStringList old = groupLines(QStringLiteral("old"), 150);
    const QStringList now = groupLines(QStringLiteral("new"), 300);
    const auto file = [](const QString& folder) {
        return QDir(folder).filePath(QStringLiteral("Work.sgp"));
    };
    // The bytes each save leaves, written once outside the rounds.
    auto oldBytes = std::make_shared<QByteArray>();
    auto newBytes = std::make_shared<QByteArray>();
    return {QStringLiteral("page group"),
            [=](const QString& folder) {
                if (newBytes->isEmpty()) {
                    if (!saveGroup(file(folder), now))
                        return false;
                    *newBytes = bytesOf(file(folder));
                    QFile::remove(file(folder));
                }
                const bool saved = saveGroup(file(folder), old);
                *oldBytes = bytesOf(file(folder));
                return saved;
            },
            [=](const QString& folder, const std::function<void()>& writing) {
                writing();
                return saveGroup(file(folder), now);
            },
            [=](const QString& folder, QString* problem) {
                const TSorvelGroup group(file(folder));
                return oneOf(file(folder), group.lines(), old, now, *oldBytes, *newBytes, problem);
            }};
}

// --- toolbar.dat

Store toolbarStore()
{
    // Far more buttons than the toolbar has, so that the write lasts long enough for
    // random kills to land inside it.
    constexpr int Buttons = 300;
    const ToolbarArrangement old = ToolbarFile::design(Buttons);
    ToolbarArrangement now = old;
    std::reverse(now.begin(), now.end());
    for (int i = 0; i < Buttons; i += 3)
        now[i].shown = false;
    const QByteArray oldBytes = ToolbarFile::toBytes(old);
    const QByteArray newBytes = ToolbarFile::toBytes(now);
    const auto file = [](const QString& folder) { return ToolbarFile::fileIn(folder); };
    return {QStringLiteral("toolbar.dat"),
            [=](const QString& folder) { return ToolbarFile::SaveToolbarLayout(file(folder), old); },
            [=](const QString& folder, const std::function<void()>& writing) {
                writing();
                return ToolbarFile::SaveToolbarLayout(file(folder), now);
            },
            [=](const QString& folder, QString* problem) {
                const ToolbarArrangement read = ToolbarFile::LoadToolbarLayout(
                    file(folder), ToolbarFile::design(Buttons), false);
                return oneOf(file(folder), read, old, now, oldBytes, newBytes, problem);
            }};
}

// --- profile.vcf

ProfileCard cardOf(const QString& name, int noteSize)
{
    ProfileCard card;
    card.setAttribute("vCard.FirstName", name);
    card.setAttribute("vCard.LastName", QStringLiteral("Okafor"));
    card.setAttribute("vCard.Email", name.toLower() + QStringLiteral("@example.org"));
    card.setAttribute("vCard.Home.City", QStringLiteral("Lagos"));
    QString note;
    for (int line = 0; note.size() < noteSize; ++line)
        note += QStringLiteral("%1 line %2 of the notes\n").arg(name).arg(line);
    card.setAttribute("vCard.Notes", note);
    return card;
}

Store profileStore()
{
    const ProfileCard old = cardOf(QStringLiteral("Ada"), 20 * 1024);
    const ProfileCard now = cardOf(QStringLiteral("Bola"), 60 * 1024);
    const auto file = [](const QString& folder) {
        return QDir(folder).filePath(QStringLiteral("profile.vcf"));
    };
    return {QStringLiteral("profile.vcf"),
            [=](const QString& folder) { return ProfileStore::save(file(folder), old); },
            [=](const QString& folder, const std::function<void()>& writing) {
                writing();
                return ProfileStore::save(file(folder), now);
            },
            [=](const QString& folder, QString* problem) {
                const ProfileStore::Loaded loaded = ProfileStore::load(file(folder));
                if (loaded.status != ProfileStore::Status::Ok) {
                    *problem = QStringLiteral("the card did not load: %1").arg(loaded.error);
                    return Found::Broken;
                }
                return oneOf(file(folder), loaded.card, old, now, old.toVCard(), now.toVCard(),
                             problem);
            }};
}

// --- the Favorites: an import, an export, a shortcut saved by Add to Favorites

BookmarkNode bookmarkTree(const QString& prefix, int folders, int perFolder)
{
    BookmarkNode root;
    root.folder = true;
    for (int f = 0; f < folders; ++f) {
        BookmarkNode folder;
        folder.folder = true;
        folder.title = QStringLiteral("%1 folder %2").arg(prefix).arg(f);
        for (int i = 0; i < perFolder; ++i) {
            BookmarkNode mark;
            mark.title = QStringLiteral("%1 page %2").arg(prefix).arg(i);
            mark.url = QStringLiteral("http://%1.example/%2/%3").arg(prefix).arg(f).arg(i);
            folder.children.append(mark);
        }
        root.children.append(folder);
    }
    return root;
}

QString favoritesIn(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Favorites"));
}

// The Favorites as the next start shows them.
BookmarkNode favoritesAtStart(const QString& folder, QString* error)
{
    BookmarkNode root;
    const FavoritesTransfer::Outcome read = FavoritesTransfer::readFavorites(favoritesIn(folder), &root);
    *error = read.error;
    return root;
}

// Read back, a tree loses its dates and its order is the menu's; the imported one is
// compared by its titles and addresses.
QStringList flattened(const BookmarkNode& node, const QString& path = QString())
{
    QStringList lines;
    for (const BookmarkNode& child : node.children) {
        const QString name = path + QLatin1Char('/') + child.title;
        lines.append(child.folder ? name + QLatin1Char('/') : name + QLatin1Char(' ') + child.url);
        if (child.folder)
            lines += flattened(child, name);
    }
    lines.sort();
    return lines;
}

Store importStore()
{
    const BookmarkNode existing = bookmarkTree(QStringLiteral("kept"), 2, 5);
    const BookmarkNode imported = bookmarkTree(QStringLiteral("imported"), 4, 30);
    BookmarkNode after = existing;
    BookmarkNode importedFolder = imported;
    importedFolder.title = QStringLiteral("Imported");
    after.children.append(importedFolder);
    const QStringList old = flattened(existing);
    const QStringList now = flattened(after);
    return {QStringLiteral("favorites import"),
            [=](const QString& folder) {
                return FavoritesTransfer::writeTree(existing, favoritesIn(folder)).ok();
            },
            [=](const QString& folder, const std::function<void()>& writing) {
                writing();
                return FavoritesTransfer::importInto(imported, favoritesIn(folder),
                                                     QStringLiteral("Imported"))
                    .ok();
            },
            [=](const QString& folder, QString* problem) {
                const QStringList read = flattened(favoritesAtStart(folder, problem));
                if (!problem->isEmpty())
                    return Found::Broken;
                if (read == old)
                    return Found::Old;
                if (read == now)
                    return Found::New;
                *problem = QStringLiteral("%1 favorites and folders: neither before nor after")
                               .arg(read.size());
                return Found::Broken;
            }};
}

Store exportStore()
{
    const BookmarkNode favorites = bookmarkTree(QStringLiteral("shown"), 4, 40);
    const auto file = [](const QString& folder) {
        return QDir(folder).filePath(QStringLiteral("bookmarks.htm"));
    };
    const QByteArray oldBytes = writeNetscapeBookmarks(bookmarkTree(QStringLiteral("earlier"), 2, 40));
    return {QStringLiteral("favorites export"),
            [=](const QString& folder) {
                return FavoritesTransfer::writeTree(favorites, favoritesIn(folder)).ok() &&
                       putBytes(file(folder), oldBytes);
            },
            [=](const QString& folder, const std::function<void()>& writing) {
                writing();
                return FavoritesTransfer::exportTo(favoritesIn(folder), file(folder)).ok();
            },
            [=](const QString& folder, QString* problem) {
                // The new file is the Favorites of this round's folder (their dates are the
                // files' own) as the exporter writes them.
                const BookmarkNode shown = favoritesAtStart(folder, problem);
                const QByteArray newBytes = writeNetscapeBookmarks(shown);
                const bool parsed = readBookmarkFile(file(folder)).error.isEmpty();
                return oneOf(file(folder), parsed, true, true, oldBytes, newBytes, problem);
            }};
}

Store shortcutStore()
{
    // Long addresses (a search's), so that the write lasts long enough for random kills
    // to land inside it.
    const QString old = QStringLiteral("http://old.example/?q=") + pad(QString(), 100 * 1024);
    const QString now = QStringLiteral("http://new.example/?q=") + pad(QString(), 300 * 1024);
    const auto file = [](const QString& folder) {
        return QDir(favoritesIn(folder)).filePath(QStringLiteral("Site.url"));
    };
    const auto save = [](const QString& folder, const QString& address) {
        return QDir().mkpath(favoritesIn(folder)) &&
               FavoriteFiles::saveShortcut(favoritesIn(folder), QStringLiteral("Site"), address,
                                           true) == FavoriteFiles::SaveResult::Saved;
    };
    auto oldBytes = std::make_shared<QByteArray>();
    auto newBytes = std::make_shared<QByteArray>();
    return {QStringLiteral(".url shortcut"),
            [=](const QString& folder) {
                if (newBytes->isEmpty()) {
                    if (!save(folder, now))
                        return false;
                    *newBytes = bytesOf(file(folder));
                    QFile::remove(file(folder));
                }
                const bool saved = save(folder, old);
                *oldBytes = bytesOf(file(folder));
                return saved;
            },
            [=](const QString& folder, const std::function<void()>& writing) {
                writing();
                return save(folder, now);
            },
            [=](const QString& folder, QString* problem) {
                QString error;
                favoritesAtStart(folder, &error);
                return oneOf(file(folder), InternetShortcut::readAddress(file(folder)), old, now,
                             *oldBytes, *newBytes, problem);
            }};
}

// The start's clean-up, as the program runs it, for a store kept in `folder` (each store
// of these rounds keeps its files there, the Favorites in a folder below): what writes
// of processes gone before this start left. The test process itself started long before
// the children it killed, so the start is now.
Store startingWithTidy(Store store)
{
    store.start = [start = store.start](const QString& folder, QString* problem) {
        // A new process begins milliseconds after the old one died at the earliest; times
        // are compared to the millisecond, so the start here keeps at least that distance.
        QThread::msleep(2);
        const QDateTime now = QDateTime::currentDateTime();
        const QList<SaveLeftovers::Place> places =
            SaveLeftovers::storePlaces({folder, folder, folder, favoritesIn(folder)});
        for (const SaveLeftovers::Place& place : places)
            SaveLeftovers::remove(place, now);
        FavoritesTransfer::removeUnfinished(favoritesIn(folder), now);
        return start(folder, problem);
    };
    return store;
}

} // namespace

class TestCrashInjection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void killedWriters_data();
    void killedWriters();
    void cleanupTestCase();

private:
    quint32 m_seed = 0;
    SystemCallSteps m_steps;
    QElapsedTimer m_clock;
    QStringList m_summaries;
};

void TestCrashInjection::initTestCase()
{
    m_seed = CrashInjection::chooseSeed();
    qInfo("seed %u (PELVANE_CRASH_SEED=%u replays it)", m_seed, m_seed);
    m_clock.start();
}

void TestCrashInjection::killedWriters_data()
{
    QTest::addColumn<int>("which");
    const char* const names[] = {"hive",   "history", "session",   "group", "toolbar",
                                 "profile", "import", "export",    "shortcut"};
    for (int i = 0; i < int(std::size(names)); ++i)
        QTest::newRow(names[i]) << i;
}

void TestCrashInjection::killedWriters()
{
    QFETCH(int, which);
    const std::function<Store()> stores[] = {hiveStore,    historyStore, sessionStore,
                                             groupStore,   toolbarStore, profileStore,
                                             importStore,  exportStore,  shortcutStore};
    CrashInjection::Options options;
    options.seed = m_seed;
    options.steps = &m_steps;
    const CrashInjection::Report report = CrashInjection::run(startingWithTidy(stores[which]()), options);
    qInfo().noquote() << report.summary();
    m_summaries.append(report.summary());
    for (const QString& failure : report.failures)
        qWarning().noquote() << failure;
    QCOMPARE(report.kills, options.randomKills);
    // Enough of the kills must land inside the write for the rounds to mean anything.
    QVERIFY2(report.during >= options.randomKills / 10, qPrintable(report.summary()));
    QVERIFY2(report.steps > 0 && report.stepKills > 0, qPrintable(report.summary()));
    QCOMPARE(report.failureCount, 0);
}

void TestCrashInjection::cleanupTestCase()
{
    qInfo().noquote() << m_summaries.join(QLatin1Char('\n'));
    qInfo("all stores: %.1f s", double(m_clock.elapsed()) / 1000);
}

PELVANE_TEST_GUILESS_MAIN(TestCrashInjection)
#include "tst_crashinjection.moc"
