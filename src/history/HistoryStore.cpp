#include "history/HistoryStore.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <algorithm>
#include <limits>

namespace {

constexpr int SchemaVersion = 1;

// SQLite stores a null QString as NULL, which the NOT NULL columns refuse.
QString nonNull(const QString& text)
{
    return text.isNull() ? QString::fromLatin1("", 0) : text;
}

QString folded(const QString& text)
{
    return nonNull(text.toCaseFolded());
}

// The address as a user types it: no scheme, no "www.".
QString bareAddress(const QString& url)
{
    QString bare = folded(url);
    const qsizetype scheme = bare.indexOf(QLatin1String("://"));
    if (scheme > 0)
        bare = bare.mid(scheme + 3);
    if (bare.startsWith(QLatin1String("www.")))
        bare = bare.mid(4);
    return bare;
}

QString siteOf(const QString& url)
{
    return nonNull(QUrl(url).host().toLower());
}

// Strings that begin with `prefix` sort at or after it and before this bound (the highest
// code point, which no real address or title holds).
QString prefixEnd(const QString& prefix)
{
    return prefix + QStringView(QChar::fromUcs4(0x10FFFF)).toString();
}

// A period's upper bound; today's also holds visits stamped in the future (a clock put
// back), which belong to today.
qint64 periodEnd(const HistoryPeriod& period)
{
    return period.kind == HistoryPeriod::Kind::Today ? std::numeric_limits<qint64>::max()
                                                     : period.endMSecs();
}

#define EntryColumns "url, title, site, last_visit, visit_count"

// Visit count first, then the last visit; the count is capped so the product stays in 63
// bits (a last visit in milliseconds stays below 10^13 for centuries).
#define RankOf(count, last) "min(" count ", 900000) * 10000000000000 + " last

// Searches first walk this many of the most visited pages.
constexpr int FirstStagePages = 5000;

HistoryEntry entryFrom(const QSqlQuery& query)
{
    HistoryEntry entry;
    entry.url = query.value(0).toString();
    entry.title = query.value(1).toString();
    entry.site = query.value(2).toString();
    entry.lastVisit = QDateTime::fromMSecsSinceEpoch(query.value(3).toLongLong());
    entry.visitCount = query.value(4).toInt();
    return entry;
}

bool createTables(SqliteDatabase& db, int found)
{
    Q_UNUSED(found); // version 1 is the first: a new file
    static const char* const statements[] = {
        // One row per address. The folded columns hold the address and title in the form
        // searches compare; `bare` is the address without scheme and "www.". `rank` orders
        // pages most visited first, then most recent: visit count and last visit in one
        // number, so that one index range can bound a search.
        "CREATE TABLE IF NOT EXISTS pages("
        " id INTEGER PRIMARY KEY,"
        " url TEXT NOT NULL UNIQUE,"
        " title TEXT NOT NULL,"
        " site TEXT NOT NULL,"
        " url_folded TEXT NOT NULL,"
        " title_folded TEXT NOT NULL,"
        " bare TEXT NOT NULL,"
        " visit_count INTEGER NOT NULL,"
        " last_visit INTEGER NOT NULL,"
        " rank INTEGER NOT NULL)",
        // Holds what a search compares, so that walking it needs no table lookups.
        "CREATE INDEX IF NOT EXISTS pages_rank"
        " ON pages(rank DESC, url_folded, title_folded, bare)",
        "CREATE INDEX IF NOT EXISTS pages_bare ON pages(bare)",
        "CREATE INDEX IF NOT EXISTS pages_title ON pages(title_folded)",
        "CREATE INDEX IF NOT EXISTS pages_site ON pages(site)",
        // Trigrams of address and title find rare substrings without reading every page.
        "CREATE VIRTUAL TABLE IF NOT EXISTS page_text USING fts5(url_folded, title_folded,"
        " content='pages', content_rowid='id', tokenize='trigram')",
        "CREATE TRIGGER IF NOT EXISTS page_text_insert AFTER INSERT ON pages BEGIN"
        " INSERT INTO page_text(rowid, url_folded, title_folded)"
        " VALUES(new.id, new.url_folded, new.title_folded); END",
        "CREATE TRIGGER IF NOT EXISTS page_text_delete AFTER DELETE ON pages BEGIN"
        " INSERT INTO page_text(page_text, rowid, url_folded, title_folded)"
        " VALUES('delete', old.id, old.url_folded, old.title_folded); END",
        "CREATE TRIGGER IF NOT EXISTS page_text_update AFTER UPDATE OF url_folded, title_folded"
        " ON pages WHEN old.url_folded IS NOT new.url_folded"
        " OR old.title_folded IS NOT new.title_folded BEGIN"
        " INSERT INTO page_text(page_text, rowid, url_folded, title_folded)"
        " VALUES('delete', old.id, old.url_folded, old.title_folded);"
        " INSERT INTO page_text(rowid, url_folded, title_folded)"
        " VALUES(new.id, new.url_folded, new.title_folded); END",
        // One row per visit (milliseconds since the epoch): the periods of the tree.
        "CREATE TABLE IF NOT EXISTS visits("
        " page INTEGER NOT NULL REFERENCES pages(id) ON DELETE CASCADE,"
        " time INTEGER NOT NULL)",
        "CREATE INDEX IF NOT EXISTS visits_time ON visits(time)",
        "CREATE INDEX IF NOT EXISTS visits_page ON visits(page)",
    };
    for (const char* sql : statements) {
        if (!db.exec(QLatin1String(sql)))
            return false;
    }
    return true;
}

const SqliteDatabase::Schema& historySchema()
{
    static const SqliteDatabase::Schema schema{
        SchemaVersion,
        createTables,
        {QStringLiteral("PRAGMA synchronous=NORMAL"), QStringLiteral("PRAGMA foreign_keys=ON"),
         QStringLiteral("PRAGMA cache_size=-8000")},
        false, // a check would read the whole history at every start
    };
    return schema;
}

} // namespace

HistoryStore::HistoryStore(const QString& filePath, QObject* parent)
    : HistoryStore(filePath, Access::ReadWrite, parent)
{}

HistoryStore::HistoryStore(const QString& filePath, Access access, QObject* parent)
    : QObject(parent)
    , m_path(filePath)
    , m_db(filePath, QStringLiteral("history"))
{
    m_db.open(access, historySchema());
    if (!m_db.recoveredBackup().isEmpty())
        qWarning("The damaged history %s was moved to %s", qPrintable(m_path),
                 qPrintable(m_db.recoveredBackup()));
}

HistoryStore::~HistoryStore() = default;

QString HistoryStore::unavailableMessage() const
{
    if (isOpen())
        return {};
    return QStringLiteral("The history file\n\n%1\n\ncannot be opened: %2.\n\nPelvane runs "
                          "without history: the pages you visit are not recorded until it "
                          "can be opened again. The file has been left as it is.")
        .arg(QDir::toNativeSeparators(m_path), m_db.errorText());
}

QString HistoryStore::defaultFile()
{
    return QDir(Paths::defaultHistoryFolder()).filePath(QStringLiteral("history.db"));
}

bool HistoryStore::isRecordable(const QString& url)
{
    const QUrl parsed(url);
    if (url.isEmpty() || !parsed.isValid())
        return false;
    static const char* const skipped[] = {"about", "data", "view-source", "javascript", "blob"};
    const QString scheme = parsed.scheme().toLower();
    if (scheme.isEmpty())
        return false;
    for (const char* s : skipped) {
        if (scheme == QLatin1String(s))
            return false;
    }
    return true;
}

bool HistoryStore::exec(const char* sql) const
{
    QSqlQuery query(m_db.connection());
    if (query.exec(QLatin1String(sql)))
        return true;
    if (SqliteDatabase::isDamage(query.lastError()))
        qWarning("History store %s is damaged", qPrintable(m_path));
    return false;
}

bool HistoryStore::run(const char* sql, const QVariantList& values, int* rowsAffected) const
{
    if (!isOpen())
        return false;
    QSqlQuery& query = statement(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    const bool ok = query.exec();
    if (rowsAffected)
        *rowsAffected = ok ? query.numRowsAffected() : 0;
    query.finish();
    return ok;
}

QList<HistoryEntry> HistoryStore::select(const char* sql, const QVariantList& values) const
{
    QList<HistoryEntry> entries;
    if (!isOpen())
        return entries;
    QSqlQuery& query = statement(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (query.exec()) {
        while (query.next())
            entries.append(entryFrom(query));
    }
    // A kept statement must let go of its read snapshot, or this copy would go on seeing
    // the store as it was and would hold back the log's checkpoint.
    query.finish();
    return entries;
}

bool HistoryStore::beginBatch()
{
    if (!isOpen() || m_inBatch)
        return false;
    // IMMEDIATE takes the write lock at once, so two copies never deadlock upgrading.
    m_inBatch = exec("BEGIN IMMEDIATE");
    return m_inBatch;
}

bool HistoryStore::commitBatch()
{
    if (!m_inBatch)
        return false;
    m_inBatch = false;
    if (exec("COMMIT")) {
        Q_EMIT changed();
        return true;
    }
    exec("ROLLBACK");
    return false;
}

PageVisitSink HistoryStore::visitSink()
{
    PageVisitSink sink;
    sink.visited = [this](const QString& url, const QString& title) {
        if (!isRecordable(url))
            return false;
        recordVisit(url, title);
        return true;
    };
    sink.retitled = [this](const QString& url, const QString& title) { updateTitle(url, title); };
    return sink;
}

bool HistoryStore::recordVisit(const QString& url, const QString& title, const QDateTime& when)
{
    if (!isOpen() || !isRecordable(url))
        return false;
    const bool ownTransaction = !m_inBatch;
    if (ownTransaction && !exec("BEGIN IMMEDIATE"))
        return false;
    const qint64 time = when.toMSecsSinceEpoch();
    const bool ok =
        run("INSERT INTO pages(url, title, site, url_folded, title_folded, bare, visit_count,"
            " last_visit, rank) VALUES(?, ?, ?, ?, ?, ?, 1, ?, " RankOf(
                "1",
                "?") ")"
                     " ON CONFLICT(url) DO UPDATE SET"
                     " title = CASE WHEN excluded.title <> '' THEN excluded.title ELSE title END,"
                     " title_folded = CASE WHEN excluded.title <> '' THEN excluded.title_folded"
                     " ELSE title_folded END,"
                     " visit_count = visit_count + 1,"
                     " last_visit = max(last_visit, excluded.last_visit),"
                     " rank = " RankOf("visit_count + 1", "max(last_visit, excluded.last_visit)"),
            {url, nonNull(title), siteOf(url), folded(url), folded(title), bareAddress(url), time,
             time}) &&
        run("INSERT INTO visits(page, time) SELECT id, ? FROM pages WHERE url = ?", {time, url});
    if (!ownTransaction)
        return ok;
    if (ok && exec("COMMIT")) {
        Q_EMIT changed();
        return true;
    }
    exec("ROLLBACK");
    return false;
}

bool HistoryStore::updateTitle(const QString& url, const QString& title)
{
    int rows = 0;
    if (title.isEmpty() ||
        !run("UPDATE pages SET title = ?, title_folded = ? WHERE url = ? AND title <> ?",
             {title, folded(title), url, title}, &rows))
        return false;
    if (rows > 0)
        Q_EMIT changed();
    return true;
}

qint64 HistoryStore::rankBound() const
{
    // The rank of the page at the end of the first search stage; 0 with fewer pages.
    QSqlQuery& query = statement("SELECT rank FROM pages ORDER BY rank DESC LIMIT 1 OFFSET ?");
    query.addBindValue(FirstStagePages - 1);
    const qint64 bound = query.exec() && query.next() ? query.value(0).toLongLong() : 0;
    query.finish();
    return bound;
}

QList<HistoryEntry> HistoryStore::search(const QString& text, int limit) const
{
    const QString needle = folded(text);
    if (needle.isEmpty() || limit <= 0)
        return {};
    // Most searches match many pages, and the most visited few thousand then hold enough
    // of them: walking those alone is quick. Only a search they do not satisfy looks
    // further, through the trigram index when the text is long enough for it.
    const qint64 bound = rankBound();
    QList<HistoryEntry> found =
        select("SELECT " EntryColumns " FROM pages INDEXED BY pages_rank WHERE rank >= ?"
               " AND (instr(url_folded, ?) > 0 OR instr(title_folded, ?) > 0)"
               " ORDER BY rank DESC LIMIT ?",
               {bound, needle, needle, limit});
    if (found.size() >= limit || bound == 0)
        return found;
    if (needle.toUcs4().size() >= 3) {
        QString phrase = needle;
        phrase.replace(QLatin1Char('"'), QLatin1String("\"\""));
        return select("SELECT " EntryColumns " FROM pages WHERE id IN"
                      " (SELECT rowid FROM page_text WHERE page_text MATCH ?)"
                      " ORDER BY rank DESC LIMIT ?",
                      {QLatin1Char('"') + phrase + QLatin1Char('"'), limit});
    }
    return select("SELECT " EntryColumns " FROM pages INDEXED BY pages_rank"
                  " WHERE instr(url_folded, ?) > 0 OR instr(title_folded, ?) > 0"
                  " ORDER BY rank DESC LIMIT ?",
                  {needle, needle, limit});
}

QList<HistoryEntry> HistoryStore::searchPrefix(const QString& prefix, int limit) const
{
    const QString title = folded(prefix);
    const QString address = bareAddress(prefix);
    if (title.isEmpty() || limit <= 0)
        return {};
    const qint64 bound = rankBound();
    QList<HistoryEntry> found =
        select("SELECT " EntryColumns " FROM pages INDEXED BY pages_rank WHERE rank >= ?"
               " AND (substr(bare, 1, length(?)) = ? OR substr(title_folded, 1, length(?)) = ?)"
               " ORDER BY rank DESC LIMIT ?",
               {bound, address, address, title, title, limit});
    if (found.size() >= limit || bound == 0)
        return found;
    return select("SELECT " EntryColumns " FROM pages"
                  " WHERE (bare >= ? AND bare < ?) OR (title_folded >= ? AND title_folded < ?)"
                  " ORDER BY rank DESC LIMIT ?",
                  {address, prefixEnd(address), title, prefixEnd(title), limit});
}

std::optional<HistoryEntry> HistoryStore::entry(const QString& url) const
{
    const QList<HistoryEntry> found =
        select("SELECT " EntryColumns " FROM pages WHERE url = ?", {url});
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

int HistoryStore::pageCount() const
{
    if (!isOpen())
        return 0;
    QSqlQuery& query = statement("SELECT count(*) FROM pages");
    const int count = query.exec() && query.next() ? query.value(0).toInt() : 0;
    query.finish();
    return count;
}

QList<HistoryPeriod> HistoryStore::periods(const QDateTime& now) const
{
    QList<HistoryPeriod> result;
    if (!isOpen())
        return result;
    QSqlQuery& oldest = statement("SELECT min(time) FROM visits");
    const bool any = oldest.exec() && oldest.next() && !oldest.value(0).isNull();
    const qint64 first = any ? oldest.value(0).toLongLong() : 0;
    oldest.finish();
    if (!any)
        return result;
    QSqlQuery& visits = statement("SELECT 1 FROM visits WHERE time >= ? AND time < ? LIMIT 1");
    const QList<HistoryPeriod> candidates =
        historyPeriodsBetween(QDateTime::fromMSecsSinceEpoch(first), now);
    for (const HistoryPeriod& period : candidates) {
        visits.addBindValue(period.beginMSecs());
        visits.addBindValue(periodEnd(period));
        if (visits.exec() && visits.next())
            result.append(period);
        visits.finish();
    }
    return result;
}

QStringList HistoryStore::sites(const HistoryPeriod& period) const
{
    QStringList result;
    if (!isOpen())
        return result;
    QSqlQuery& query = statement("SELECT DISTINCT p.site FROM visits v JOIN pages p"
                                 " ON p.id = v.page WHERE v.time >= ? AND v.time < ?"
                                 " ORDER BY p.site");
    query.addBindValue(period.beginMSecs());
    query.addBindValue(periodEnd(period));
    if (query.exec()) {
        while (query.next())
            result.append(query.value(0).toString());
    }
    query.finish();
    return result;
}

QList<HistoryEntry> HistoryStore::pages(const HistoryPeriod& period, const QString& site) const
{
    // Last visit and count are those within the period.
    return select("SELECT p.url, p.title, p.site, max(v.time), count(*) FROM visits v"
                  " JOIN pages p ON p.id = v.page"
                  " WHERE v.time >= ? AND v.time < ? AND p.site = ? GROUP BY p.id"
                  " ORDER BY CASE WHEN p.title_folded <> '' THEN p.title_folded"
                  " ELSE p.url_folded END, p.url",
                  {period.beginMSecs(), periodEnd(period), nonNull(site)});
}

QList<HistoryStore::PeriodPages> HistoryStore::searchByPeriod(const QString& text,
                                                              const QDateTime& now) const
{
    const QString needle = folded(text);
    if (needle.isEmpty() || !isOpen())
        return {};
    // The matching pages first (through the trigram index when the text is long enough for
    // it), then their visits.
    QList<HistoryEntry> visits;
    if (needle.toUcs4().size() >= 3) {
        QString phrase = needle;
        phrase.replace(QLatin1Char('"'), QLatin1String("\"\""));
        visits = select("SELECT p.url, p.title, p.site, v.time, 1 FROM pages p"
                        " JOIN visits v ON v.page = p.id WHERE p.id IN"
                        " (SELECT rowid FROM page_text WHERE page_text MATCH ?)",
                        {QLatin1Char('"') + phrase + QLatin1Char('"')});
    } else {
        visits = select("SELECT p.url, p.title, p.site, v.time, 1 FROM pages p"
                        " JOIN visits v ON v.page = p.id"
                        " WHERE instr(p.url_folded, ?) > 0 OR instr(p.title_folded, ?) > 0",
                        {needle, needle});
    }
    QList<PeriodPages> result;
    QHash<QDate, qsizetype> periodIndex;
    QHash<std::pair<qsizetype, QString>, qsizetype> pageIndex;
    for (const HistoryEntry& visit : std::as_const(visits)) {
        const HistoryPeriod period = historyPeriodOf(visit.lastVisit, now);
        auto p = periodIndex.constFind(period.first);
        if (p == periodIndex.constEnd()) {
            p = periodIndex.insert(period.first, result.size());
            result.append({period, {}});
        }
        QList<HistoryEntry>& pages = result[*p].pages;
        const auto key = std::make_pair(*p, visit.url);
        auto found = pageIndex.constFind(key);
        if (found == pageIndex.constEnd()) {
            pageIndex.insert(key, pages.size());
            pages.append(visit);
        } else {
            HistoryEntry& page = pages[*found];
            page.visitCount += 1;
            page.lastVisit = std::max(page.lastVisit, visit.lastVisit);
        }
    }
    std::sort(result.begin(), result.end(), [](const PeriodPages& a, const PeriodPages& b) {
        return a.period.first > b.period.first;
    });
    for (PeriodPages& period : result) {
        std::sort(period.pages.begin(), period.pages.end(),
                  [](const HistoryEntry& a, const HistoryEntry& b) {
                      const QString ka = folded(a.title.isEmpty() ? a.url : a.title);
                      const QString kb = folded(b.title.isEmpty() ? b.url : b.title);
                      return ka != kb ? ka < kb : a.url < b.url;
                  });
    }
    return result;
}

bool HistoryStore::deleteFromPeriod(const HistoryPeriod& period, const QString& site,
                                    const QString& url)
{
    if (!isOpen() || m_inBatch || !exec("BEGIN IMMEDIATE"))
        return false;
    const QVariantList where = {period.beginMSecs(), periodEnd(period), nonNull(site),
                                nonNull(url)};
    // The pages touched, then their visits in the period; counts, last visits and ranks
    // follow what is left.
    int visits = 0;
    const bool ok =
        exec("CREATE TEMP TABLE IF NOT EXISTS touched(id INTEGER PRIMARY KEY)") &&
        exec("DELETE FROM touched") &&
        run("INSERT OR IGNORE INTO touched SELECT v.page FROM visits v JOIN pages p"
            " ON p.id = v.page WHERE v.time >= ? AND v.time < ? AND p.site = ?"
            " AND (? = '' OR p.url = ?)",
            {where[0], where[1], where[2], where[3], where[3]}) &&
        run("DELETE FROM visits WHERE page IN (SELECT id FROM touched) AND time >= ?"
            " AND time < ?",
            {where[0], where[1]}, &visits) &&
        exec("DELETE FROM pages WHERE id IN (SELECT id FROM touched)"
             " AND NOT EXISTS (SELECT 1 FROM visits WHERE page = pages.id)") &&
        exec("UPDATE pages SET visit_count = (SELECT count(*) FROM visits WHERE page = pages.id),"
             " last_visit = (SELECT max(time) FROM visits WHERE page = pages.id)"
             " WHERE id IN (SELECT id FROM touched)") &&
        exec("UPDATE pages SET rank = " RankOf(
            "visit_count", "last_visit") " WHERE id IN (SELECT id FROM touched)");
    if (ok && exec("COMMIT")) {
        if (visits > 0)
            Q_EMIT changed();
        return visits > 0;
    }
    exec("ROLLBACK");
    return false;
}

bool HistoryStore::deleteAddress(const QString& url)
{
    int rows = 0;
    if (!run("DELETE FROM pages WHERE url = ?", {url}, &rows) || rows == 0)
        return false;
    Q_EMIT changed();
    return true;
}

bool HistoryStore::deleteSite(const QString& site)
{
    int rows = 0;
    if (!run("DELETE FROM pages WHERE site = ?", {nonNull(site)}, &rows) || rows == 0)
        return false;
    Q_EMIT changed();
    return true;
}

bool HistoryStore::clear()
{
    if (!isOpen() || m_inBatch || !exec("BEGIN IMMEDIATE"))
        return false;
    if (exec("DELETE FROM visits") && exec("DELETE FROM pages") && exec("COMMIT")) {
        Q_EMIT changed();
        return true;
    }
    exec("ROLLBACK");
    return false;
}

int HistoryStore::expire(int days, const QDateTime& now)
{
    int pages = 0;
    for (;;) {
        const std::optional<Expired> step = expireSome(days, ExpireStep, now);
        if (!step)
            return -1;
        if (step->visits == 0 && step->pages == 0)
            return pages;
        pages += step->pages;
    }
}

std::optional<HistoryStore::Expired> HistoryStore::expireSome(int days, int maxVisits,
                                                              const QDateTime& now)
{
    if (!isOpen() || m_inBatch || days < 0 || maxVisits < 1)
        return std::nullopt;
    const qint64 cutoff = now.toMSecsSinceEpoch() - qint64(days) * 24 * 60 * 60 * 1000;
    // This step takes the visits before `before`: up to the oldest visit past `maxVisits`
    // when that one is old enough too (visits of its millisecond go with it, so a step may
    // take a few more).
    qint64 before = cutoff;
    bool more = false; // more than `maxVisits` visits are old
    {
        QSqlQuery& query =
            statement("SELECT time FROM visits WHERE time < ? ORDER BY time LIMIT 1 OFFSET ?");
        query.addBindValue(cutoff);
        query.addBindValue(maxVisits);
        if (!query.exec())
            return std::nullopt;
        more = query.next();
        if (more)
            before = query.value(0).toLongLong() + 1;
        query.finish();
    }
    if (!more) {
        // Nothing old: the usual case at a start, answered by the index alone.
        QSqlQuery& query = statement("SELECT EXISTS(SELECT 1 FROM visits WHERE time < ?)");
        query.addBindValue(cutoff);
        const bool any = query.exec() && query.next() && query.value(0).toBool();
        query.finish();
        if (!any)
            return Expired{};
    }
    if (!exec("BEGIN IMMEDIATE"))
        return std::nullopt;
    Expired expired;
    // Pages whose every visit goes go first (their visits with them); the others lose the
    // visits and keep their last one (never older than the bound), so only their count and
    // rank change. Every statement starts from the visits' time index.
    const bool ok = run("DELETE FROM pages WHERE last_visit < ?"
                        " AND id IN (SELECT page FROM visits WHERE time < ?)",
                        {before, before}, &expired.pages) &&
                    run("UPDATE pages SET visit_count = visit_count"
                        " - (SELECT count(*) FROM visits WHERE page = pages.id AND time < ?)"
                        " WHERE id IN (SELECT page FROM visits WHERE time < ?)",
                        {before, before}) &&
                    run("UPDATE pages SET rank = " RankOf(
                            "visit_count",
                            "last_visit") " WHERE id IN (SELECT page FROM visits WHERE time < ?)",
                        {before}) &&
                    run("DELETE FROM visits WHERE time < ?", {before}, &expired.visits);
    if (ok && exec("COMMIT")) {
        if (expired.visits > 0 || expired.pages > 0)
            Q_EMIT changed();
        return expired;
    }
    exec("ROLLBACK");
    return std::nullopt;
}
