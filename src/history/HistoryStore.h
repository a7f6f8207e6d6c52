#pragma once

#include "history/HistoryPeriod.h"
#include "platform/SqliteDatabase.h"
#include "platform/web/PageVisitSink.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <unordered_map>

// A page of the history: one address with its latest title and its visits.
struct HistoryEntry
{
    QString url;
    QString title; // empty when the page had none
    QString site;  // the address's host; empty for local files
    QDateTime lastVisit;
    int visitCount = 0;

    friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

// The pages this user visited, in every browser of every running copy: an SQLite file in
// the History folder. Each completed top-level navigation adds a visit; the tree lists
// periods, then sites, then pages; the find box searches addresses and titles.
class HistoryStore final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryStore)

public:
    using Access = SqliteDatabase::Access;

    // Opens (or creates) the store at `filePath`. A file that SQLite finds damaged is moved
    // aside and a fresh store started: the history is not worth refusing to run for. A file
    // that cannot be opened for another reason (a newer program's, locked, on a full or
    // read-only disk) is left as it is, and the store stays closed: every call then does
    // nothing and finds nothing, and unavailableMessage() tells the user why.
    explicit HistoryStore(const QString& filePath, QObject* parent = nullptr);
    // ReadOnly opens an existing store for look-ups only: it creates nothing, changes no
    // table and moves nothing aside.
    HistoryStore(const QString& filePath, Access access, QObject* parent = nullptr);
    ~HistoryStore() override;

    // The file in the default History folder.
    static QString defaultFile();
    // Addresses that are not pages of their own (about:, data:, view-source: ...) are
    // never recorded.
    static bool isRecordable(const QString& url);

    QString filePath() const { return m_path; }
    bool isOpen() const { return m_db.isOpen(); }
    // Why the store could not be opened; empty when it is open.
    QString errorText() const { return m_db.errorText(); }
    // What to tell the user, once, when the store could not be opened; empty when it is.
    QString unavailableMessage() const;
    // Where a damaged file was moved, when it was.
    QString recoveredBackup() const { return m_db.recoveredBackup(); }

    // The web engine's reports of visited pages, recorded here: recordable addresses are
    // taken (whether or not the store is open), others are refused. The store must outlive
    // the engine's use of the sink.
    PageVisitSink visitSink();

    // Adds a visit. An empty title keeps the title the page had.
    bool recordVisit(const QString& url, const QString& title,
                     const QDateTime& when = QDateTime::currentDateTime());
    // A title that arrived after the visit was recorded.
    bool updateTitle(const QString& url, const QString& title);

    // Pages whose address or title contains `text` (case ignored), most visited first.
    QList<HistoryEntry> search(const QString& text, int limit = 200) const;
    // Pages whose address (with or without its scheme and "www.") or title begins with
    // `prefix` (case ignored), most visited first: for completing a typed address.
    QList<HistoryEntry> searchPrefix(const QString& prefix, int limit = 50) const;
    // The page of that exact address, if recorded.
    std::optional<HistoryEntry> entry(const QString& url) const;
    int pageCount() const;

    // The history tree: the periods that hold visits (newest first), the sites visited in
    // a period (by name), and the pages of a site visited in a period (by title).
    QList<HistoryPeriod> periods(const QDateTime& now = QDateTime::currentDateTime()) const;
    QStringList sites(const HistoryPeriod& period) const;
    QList<HistoryEntry> pages(const HistoryPeriod& period, const QString& site) const;

    // The pages whose address or title contains `text` (case ignored), period by period
    // (newest first, each by title): a page visited in two periods is in both. Last visit
    // and count are those within the period.
    struct PeriodPages
    {
        HistoryPeriod period;
        QList<HistoryEntry> pages;
    };
    QList<PeriodPages> searchByPeriod(const QString& text,
                                      const QDateTime& now = QDateTime::currentDateTime()) const;

    bool deleteAddress(const QString& url);
    // Forgets the visits one period holds of a site's pages, or of one page of it when `url`
    // is given; pages left without visits go, the others keep their other visits.
    bool deleteFromPeriod(const HistoryPeriod& period, const QString& site,
                          const QString& url = QString());
    bool deleteSite(const QString& site);
    bool clear();
    // Forgets visits older than `days` days before `now` (and pages left without visits).
    // Returns the number of pages forgotten, or -1 on failure. All at once: see expireSome.
    int expire(int days, const QDateTime& now = QDateTime::currentDateTime());
    // One step of that: at most about `maxVisits` of the oldest such visits, in one
    // transaction, so that a long history is expired without holding the store (and the
    // window) for long. Nothing removed when no visit is that old; nullopt on failure. A
    // step of ExpireStep visits takes a few tens of milliseconds.
    static constexpr int ExpireStep = 500;
    struct Expired
    {
        int visits = 0;
        int pages = 0;
    };
    std::optional<Expired> expireSome(int days, int maxVisits,
                                      const QDateTime& now = QDateTime::currentDateTime());

    // Several visits in one commit (imports, tests filling a large history).
    bool beginBatch();
    bool commitBatch();

Q_SIGNALS:
    // This copy changed the store (other running copies do not signal here).
    void changed();

private:
    bool exec(const char* sql) const;
    QSqlQuery& statement(const char* sql) const { return m_db.statement(sql); }
    bool run(const char* sql, const QVariantList& values, int* rowsAffected = nullptr) const;
    QList<HistoryEntry> select(const char* sql, const QVariantList& values) const;
    qint64 rankBound() const;

    QString m_path;
    SqliteDatabase m_db;
    bool m_inBatch = false;
};
