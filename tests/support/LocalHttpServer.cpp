#include "support/LocalHttpServer.h"

#include <QHostAddress>
#include <QPointer>
#include <QSslKey>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

constexpr int MaxHeaderBytes = 64 * 1024;
constexpr int MaxBodyBytes = 16 * 1024 * 1024;
const char* const BufferProperty = "pelvane-http-buffer";

// Splits the head of a request (everything before the blank line). False when malformed.
bool parseHead(const QByteArray& head, LocalHttpServer::Request* request)
{
    const QList<QByteArray> lines = head.split('\n');
    if (lines.isEmpty())
        return false;
    const QList<QByteArray> parts = lines.first().trimmed().split(' ');
    if (parts.size() != 3)
        return false;
    request->method = parts[0];
    request->target = parts[1];
    request->version = parts[2];
    const int query = request->target.indexOf('?');
    request->path = query < 0 ? request->target : request->target.left(query);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const int colon = line.indexOf(':');
        if (colon <= 0)
            return false;
        request->headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return true;
}

} // namespace

QByteArray LocalHttpServer::Request::header(const QByteArray& name) const
{
    for (const Header& h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return {};
}

LocalHttpServer::LocalHttpServer(QObject* parent)
    : QObject(parent)
{}

LocalHttpServer::~LocalHttpServer() = default;

bool LocalHttpServer::listen()
{
    m_server = std::make_unique<QTcpServer>();
    // A TLS server queues a connection only once its handshake is done; both say so here.
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this,
            &LocalHttpServer::onNewConnection);
    return m_server->listen(QHostAddress::LocalHost, 0);
}

bool LocalHttpServer::listenTls(const QByteArray& certificatePem, const QByteArray& keyPem)
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(certificatePem, QSsl::Pem));
    tls.setPrivateKey(QSslKey(keyPem, QSsl::Rsa, QSsl::Pem));
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    if (tls.localCertificate().isNull() || tls.privateKey().isNull())
        return false;
    auto server = std::make_unique<QSslServer>();
    server->setSslConfiguration(tls);
    m_server = std::move(server);
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this,
            &LocalHttpServer::onNewConnection);
    return m_server->listen(QHostAddress::LocalHost, 0);
}

quint16 LocalHttpServer::port() const
{
    return m_server ? m_server->serverPort() : 0;
}

QUrl LocalHttpServer::url(const QString& path) const
{
    const bool tls = qobject_cast<QSslServer*>(m_server.get()) != nullptr;
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                    .arg(tls ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(port())
                    .arg(path));
}

void LocalHttpServer::serve(const QByteArray& path, const QByteArray& body,
                            const QByteArray& contentType)
{
    Response response;
    response.body = body;
    response.contentType = contentType;
    serve(path, response);
}

void LocalHttpServer::serve(const QByteArray& path, const Response& response)
{
    serve(path, [response](const Request&) { return response; });
}

void LocalHttpServer::serve(const QByteArray& path, Handler handler)
{
    m_handlers.insert(path, std::move(handler));
}

QList<LocalHttpServer::Request> LocalHttpServer::requestsFor(const QByteArray& path) const
{
    QList<Request> found;
    for (const Request& r : m_requests) {
        if (r.path == path)
            found.append(r);
    }
    return found;
}

QByteArray LocalHttpServer::statusText(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 304:
        return "Not Modified";
    case 307:
        return "Temporary Redirect";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 407:
        return "Proxy Authentication Required";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

void LocalHttpServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LocalHttpServer::onReadyRead(QTcpSocket* socket)
{
    QByteArray buffer = socket->property(BufferProperty).toByteArray() + socket->readAll();
    const int headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        if (buffer.size() > MaxHeaderBytes)
            socket->abort();
        else
            socket->setProperty(BufferProperty, buffer);
        return;
    }
    Request request;
    if (!parseHead(buffer.left(headEnd), &request)) {
        socket->setProperty(BufferProperty, QByteArray());
        Response bad;
        bad.status = 400;
        write(socket, bad, true);
        return;
    }
    bool lengthOk = true;
    const qint64 length = request.header("Content-Length").toLongLong(&lengthOk);
    if (!request.header("Content-Length").isEmpty() &&
        (!lengthOk || length < 0 || length > MaxBodyBytes)) {
        socket->abort();
        return;
    }
    const qsizetype bodyStart = headEnd + 4;
    if (buffer.size() - bodyStart < length) {
        socket->setProperty(BufferProperty, buffer); // the body is still on its way
        return;
    }
    request.body = buffer.mid(bodyStart, length);
    socket->setProperty(BufferProperty, QByteArray());
    // One request per connection: nothing more is read from this socket.
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    m_requests.append(request);
    Q_EMIT requestReceived(request);
    answer(socket, request);
}

void LocalHttpServer::answer(QTcpSocket* socket, const Request& request)
{
    const auto handler = m_handlers.constFind(request.path);
    Response response;
    if (handler == m_handlers.cend()) {
        response.status = 404;
        response.body = "<html><head><title>Not Found</title></head><body>Not Found</body></html>";
    } else {
        response = (*handler)(request);
    }
    if (response.refuse) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    const bool withBody = request.method != "HEAD";
    if (response.delayMs <= 0) {
        write(socket, response, withBody);
        return;
    }
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(response.delayMs, this, [guarded, response, withBody] {
        if (guarded)
            write(guarded, response, withBody);
    });
}

void LocalHttpServer::write(QTcpSocket* socket, const Response& response, bool withBody)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                     statusText(response.status) + "\r\n";
    if (!response.contentType.isEmpty())
        out += "Content-Type: " + response.contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    out += "Connection: close\r\n";
    for (const Header& h : response.headers)
        out += h.first + ": " + h.second + "\r\n";
    out += "\r\n";
    if (withBody)
        out += response.body;
    socket->write(out);
    socket->disconnectFromHost(); // closes once everything written has gone out
}
