#include "platform/MessageBus.h"

#include "platform/Paths.h"
#include "platform/PrivateFolder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString SocketPrefix = QStringLiteral("bus-");

QByteArray encode(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QJsonObject decodeLine(const QByteArray& line)
{
    return QJsonDocument::fromJson(line.trimmed()).object();
}

// The kernel's word on who is at the other end of a local socket: the user id the peer
// had when it connected (or listened), which it cannot forge.
bool peerIsThisUser(const QLocalSocket& socket)
{
    struct ucred credentials = {};
    socklen_t size = sizeof credentials;
    const auto fd = socket.socketDescriptor();
    if (fd < 0 || ::getsockopt(int(fd), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return false;
    return credentials.uid == ::geteuid();
}

// Reads one newline-ended line from a socket before the deadline; empty when none came
// or when more than a message's worth arrived without one.
QByteArray readLine(QLocalSocket& socket, const QDeadlineTimer& deadline)
{
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || socket.state() != QLocalSocket::ConnectedState ||
            socket.bytesAvailable() >= MessageBus::MaxMessageBytes)
            break;
        socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    return socket.canReadLine() ? socket.readLine() : QByteArray();
}

} // namespace

MessageBus::MessageBus(QObject* parent)
    : MessageBus(Paths::runtimeFolder(), parent)
{}

MessageBus::MessageBus(const QString& folder, QObject* parent)
    : QObject(parent)
    , m_folder(folder)
{}

MessageBus::~MessageBus()
{
    if (m_server)
        m_server->close(); // removes the socket file
}

bool MessageBus::listen(const QStringList& keptUntilHandled)
{
    m_kept = keptUntilHandled;
    if (m_server)
        return m_server->isListening();
    const PrivateFolder::Choice choice = PrivateFolder::choose(m_folder);
    m_problem = choice.refused;
    if (choice.folder.isEmpty()) {
        qWarning("Not listening for other copies: %s", qPrintable(m_problem));
        return false;
    }
    // Said once, here: the copies meet in the other folder from now on without a word.
    if (!m_problem.isEmpty())
        qWarning("Listening for other copies in %s instead: %s", qPrintable(choice.folder),
                 qPrintable(m_problem));
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString path =
        QDir(choice.folder)
            .filePath(SocketPrefix + QString::number(QCoreApplication::applicationPid()));
    QLocalServer::removeServer(path); // a socket left by a dead process of the same pid
    connect(m_server, &QLocalServer::newConnection, this, &MessageBus::onNewConnection);
    return m_server->listen(path);
}

bool MessageBus::isListening() const
{
    return m_server && m_server->isListening();
}

QString MessageBus::socketPath() const
{
    return m_server ? m_server->fullServerName() : QString();
}

void MessageBus::setHandler(const QString& message, Handler handler)
{
    m_handlers.insert(message, std::move(handler));
    // Hand over what arrived early, after the caller has finished setting up.
    QTimer::singleShot(0, this, [this, message] {
        QList<QPair<QString, QJsonValue>> keep;
        const auto early = std::exchange(m_early, {});
        for (const auto& [name, payload] : early) {
            if (name == message)
                dispatch(name, payload);
            else
                keep.append({name, payload});
        }
        m_early = keep + m_early;
    });
}

void MessageBus::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // More than a message's worth is never read: without a line end by then, the
        // peer is cut off (see onReadyRead).
        socket->setReadBufferSize(MaxMessageBytes);
        if (!peerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        // A peer that connects and says nothing is not allowed to keep the socket forever.
        QTimer::singleShot(5000, socket, [socket] { socket->abort(); });
    }
}

void MessageBus::onReadyRead(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() >= MaxMessageBytes)
            socket->abort(); // no message of ours is that long
        return;
    }
    const std::optional<Request> request = decodeRequest(socket->readLine(MaxMessageBytes + 1));
    QJsonValue reply;
    if (request)
        reply = dispatch(request->message, request->payload);
    socket->write(encode(QJsonObject{{QStringLiteral("reply"), reply}}));
    socket->flush();
    socket->disconnectFromServer();
}

QByteArray MessageBus::encodeRequest(const Request& request)
{
    return encode(QJsonObject{{QStringLiteral("message"), request.message},
                              {QStringLiteral("payload"), request.payload}});
}

std::optional<MessageBus::Request> MessageBus::decodeRequest(const QByteArray& line)
{
    const QJsonObject object = decodeLine(line);
    const QString message = object.value(QStringLiteral("message")).toString();
    if (message.isEmpty())
        return std::nullopt;
    return Request{message, object.value(QStringLiteral("payload"))};
}

QJsonValue MessageBus::dispatch(const QString& message, const QJsonValue& payload)
{
    Q_EMIT messageReceived(message);
    const auto it = m_handlers.constFind(message);
    if (it == m_handlers.constEnd()) {
        // Only the messages a starting copy expects are worth keeping, and not without end.
        if (!m_kept.contains(message) || m_early.size() >= MaxKeptMessages)
            return QJsonValue();
        m_early.append({message, payload});
        return QJsonValue(QStringLiteral("queued"));
    }
    return it.value()(payload);
}

QStringList MessageBus::peerSockets() const
{
    QStringList sockets;
    // A folder that is not this user's own private one is nobody we talk to; copies that
    // found it so listen in one of their own beside it.
    const QString own = socketPath();
    const QStringList folders = PrivateFolder::reachable(m_folder);
    for (const QString& folder : folders) {
        const QDir dir(folder);
        const auto entries =
            dir.entryList({SocketPrefix + QLatin1Char('*')}, QDir::System | QDir::Files);
        for (const QString& name : entries) {
            const QString path = dir.filePath(name);
            if (path != own)
                sockets << path;
        }
    }
    return sockets;
}

QList<MessageBus::Answer> MessageBus::broadcast(const QString& message, const QJsonValue& payload,
                                                int timeoutMs) const
{
    QList<Answer> answers;
    const QByteArray request = encodeRequest({message, payload});
    const auto sockets = peerSockets();
    for (const QString& path : sockets) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (!socket.waitForConnected(timeoutMs)) {
            const auto error = socket.error();
            if (error == QLocalSocket::ConnectionRefusedError ||
                error == QLocalSocket::ServerNotFoundError)
                QFile::remove(path); // its copy is gone
            continue;
        }
        if (!peerIsThisUser(socket))
            continue;
        const QDeadlineTimer deadline(timeoutMs);
        socket.write(request);
        socket.waitForBytesWritten(timeoutMs);
        const QByteArray line = readLine(socket, deadline);
        if (line.isEmpty())
            continue;
        answers.append(Answer{path, decodeLine(line).value(QStringLiteral("reply"))});
    }
    return answers;
}

void MessageBus::post(const QString& message, const QJsonValue& payload)
{
    const QByteArray request = encodeRequest({message, payload});
    const auto sockets = peerSockets();
    for (const QString& path : sockets) {
        auto* socket = new QLocalSocket(this);
        connect(socket, &QLocalSocket::connected, socket, [socket, request] {
            if (peerIsThisUser(*socket))
                socket->write(request);
            else
                socket->abort();
        });
        connect(socket, &QLocalSocket::readyRead, socket, [socket] {
            if (socket->canReadLine())
                socket->disconnectFromServer();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::errorOccurred, socket,
                [socket, path](QLocalSocket::LocalSocketError error) {
                    if (error == QLocalSocket::ConnectionRefusedError ||
                        error == QLocalSocket::ServerNotFoundError)
                        QFile::remove(path);
                    socket->deleteLater();
                });
        QTimer::singleShot(3000, socket, &QObject::deleteLater);
        socket->connectToServer(path);
    }
}
