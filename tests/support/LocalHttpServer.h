#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTcpServer>
#include <QUrl>

#include <functional>
#include <memory>

class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 for tests: it serves the paths a test registers and
// records every request it sees (request line, headers, body), so a test can check what
// the browser asked for. One request per connection (keep-alive off), every answer with
// its Content-Length.
class LocalHttpServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LocalHttpServer)

public:
    using Header = QPair<QByteArray, QByteArray>;

    struct Request
    {
        QByteArray method;
        QByteArray target; // as sent: path and query
        QByteArray path;   // without the query
        QByteArray version;
        QList<Header> headers; // in the order sent
        QByteArray body;

        // The first header of that name (compared without regard to case); empty if none.
        QByteArray header(const QByteArray& name) const;
    };

    struct Response
    {
        int status = 200;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray body;
        QList<Header> headers; // extra headers (Location, Set-Cookie, WWW-Authenticate...)
        int delayMs = 0;       // answer only after this long
        bool refuse = false;   // drop the connection without an answer
    };

    using Handler = std::function<Response(const Request&)>;

    explicit LocalHttpServer(QObject* parent = nullptr);
    ~LocalHttpServer() override;

    // Listens on 127.0.0.1 on a port the system picks.
    bool listen();
    // The same, speaking HTTPS with this certificate and private key (PEM).
    bool listenTls(const QByteArray& certificatePem, const QByteArray& keyPem);
    quint16 port() const;
    // http://127.0.0.1:<port> (https with TLS) followed by `path` (which starts with "/").
    QUrl url(const QString& path) const;

    // Registers what a path (matched without its query) answers. Unregistered paths get 404.
    void serve(const QByteArray& path, const QByteArray& body,
               const QByteArray& contentType = "text/html; charset=utf-8");
    void serve(const QByteArray& path, const Response& response);
    void serve(const QByteArray& path, Handler handler);

    QList<Request> requests() const { return m_requests; }
    QList<Request> requestsFor(const QByteArray& path) const;
    int requestCount(const QByteArray& path) const { return requestsFor(path).size(); }
    void clearRequests() { m_requests.clear(); }

    static QByteArray statusText(int status);

Q_SIGNALS:
    void requestReceived(const LocalHttpServer::Request& request);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const Request& request);
    static void write(QTcpSocket* socket, const Response& response, bool withBody);

    std::unique_ptr<QTcpServer> m_server;
    QHash<QByteArray, Handler> m_handlers;
    QList<Request> m_requests;
};
