#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>

#include <functional>

class QWebEngineDownloadRequest;
class QWebEngineProfile;
class WebQuestions;

class QWebEnginePage;

// Takes the profile's downloads: asks where each goes, starts it and keeps the list the
// downloads window shows. Saved pages (Save As) already know their file and start at once.
//
// The save question is a modal dialog that the engine waits for, so a page may not use it
// to keep the user from everything else: a page not on the screen is not asked (unless it
// was just opened for the link, and shows nothing yet) but its file goes to the download
// folder, after which it waits a quiet time; a page asks one question at a time; and a page
// that asks again right after the user cancelled is not asked for a while.
class DownloadManager final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadManager)

public:
    using QuestionsSource = std::function<WebQuestions*()>;

    DownloadManager(QWebEngineProfile* profile, QuestionsSource questions,
                    QObject* parent = nullptr);

    // A part of the program that downloads for itself (without asking, outside the
    // downloads list) claims its own requests: a claim that answers true has taken the
    // request, and the manager leaves it alone. A claim goes with its owner.
    using Claim = std::function<bool(QWebEngineDownloadRequest* request)>;
    void addClaim(const QObject* owner, Claim claim);

    // The downloads of this session that still exist, oldest first.
    QList<QWebEngineDownloadRequest*> downloads() const;
    // Where the next download is offered to go: the folder of the last one, at first the
    // user's download folder.
    QString suggestedFolder() const;

    // What a page's download requests have met so far; times in milliseconds.
    struct PageAsking
    {
        bool open = false;      // a save question of the page is open
        qint64 cancelled = -1;  // when the user last cancelled one; -1: never
        qint64 quietUntil = -1; // requests before this are cancelled without asking
    };
    enum class Verdict
    {
        Ask,
        NotShown,   // the page is not on the screen: saved unasked, its quiet time starts
        Asking,     // its question is open
        Quiet,      // it is in its quiet time
        AskedAgain, // it asked again right after a cancel: its quiet time starts
    };
    // How long after a cancel asking again starts the quiet time, and how long that lasts.
    static constexpr qint64 AgainWithin = 3000;
    static constexpr qint64 QuietFor = 10000;
    static Verdict verdict(const PageAsking& page, bool shown, qint64 now);
    // `fileName`, or "name (2).ext" and on, whichever is not yet in `folder`.
    static QString freeName(const QString& folder, const QString& fileName);

Q_SIGNALS:
    void downloadStarted(QWebEngineDownloadRequest* download);
    void downloadFinished(QWebEngineDownloadRequest* download);

private:
    void onDownloadRequested(QWebEngineDownloadRequest* request);
    void track(QWebEngineDownloadRequest* request);

    QuestionsSource m_questions;
    QList<QPair<QPointer<const QObject>, Claim>> m_claims;
    // Asks where the download goes; false when the user cancelled.
    bool askWhere(QWebEngineDownloadRequest* request, WebQuestions* questions);
    // Saves into the download folder without asking.
    void saveUnasked(QWebEngineDownloadRequest* request);

    QString m_lastFolder;
    QElapsedTimer m_clock;
    QHash<const QWebEnginePage*, PageAsking> m_pages;
    QList<QPointer<QWebEngineDownloadRequest>> m_downloads;
};
