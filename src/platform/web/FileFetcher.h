#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

// Fetches what an address answers into a file, in the background and one address at a
// time, through the engine's network (its proxy, cookies and certificate rules), without a
// word to the user. The program's is the engine's (EngineFileFetcher); tests have their own.
class FileFetcher : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileFetcher)

public:
    using QObject::QObject;
    ~FileFetcher() override = default;

    // Starts fetching `address` into `file` (replaced; its folder exists), refused past
    // `maxBytes`. fetched() follows once, also for a fetch refused at once; a fetch asked
    // for while one runs is refused.
    virtual void fetch(const QUrl& address, const QString& file, qint64 maxBytes) = 0;
    virtual bool isBusy() const = 0;

Q_SIGNALS:
    // `error` is empty when the whole answer is in the file; otherwise it says why not, and
    // the file may hold a part of it or be gone.
    void fetched(const QUrl& address, const QString& error);
};
