#pragma once

#include "platform/web/FileFetcher.h"

#include <QFile>
#include <QList>

// Fetches nothing: the test answers each request itself.
class FakeFileFetcher final : public FileFetcher
{
public:
    struct Request
    {
        QUrl address;
        QString file;
    };
    QList<Request> requests;
    bool busy = false;
    int overlapping = 0; // requests made while one was unanswered

    void fetch(const QUrl& address, const QString& file, qint64) override
    {
        overlapping += busy ? 1 : 0;
        busy = true;
        requests.append({address, file});
    }
    bool isBusy() const override { return busy; }

    // The last request is answered with `body` written to its file, and `error`.
    void answer(const QByteArray& body, const QString& error = {})
    {
        QFile file(requests.constLast().file);
        if (file.open(QIODevice::WriteOnly))
            file.write(body);
        file.close();
        busy = false;
        Q_EMIT fetched(requests.constLast().address, error);
    }
};
