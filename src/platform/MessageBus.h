#pragma once

#include <QHash>
#include <QJsonValue>
#include <QList>
#include <QObject>

#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

// Messages between the running copies of this user. Each copy that listens owns a local
// socket in the private runtime folder; a sender connects to every socket there, sends
// the message's name with its payload and reads each copy's answer. Sockets whose owner
// died are removed by the next sender.
//
// Only this user's copies take part: the folder must be this user's own private folder
// (see Paths::ownPrivateFolderProblem), and each end of every connection checks that the
// other end runs as this user. When the folder is not sound, the copies meet in a private
// folder beside it (PrivateFolder). A message is one line of at most MaxMessageBytes.
class MessageBus final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MessageBus)

public:
    using Handler = std::function<QJsonValue(const QJsonValue& payload)>;

    explicit MessageBus(QObject* parent = nullptr);
    explicit MessageBus(const QString& folder, QObject* parent = nullptr);
    ~MessageBus() override;

    static constexpr qint64 MaxMessageBytes = 1024 * 1024;
    static constexpr int MaxKeptMessages = 64;

    // Starts answering messages. Messages named in `keptUntilHandled` that arrive before
    // their handler is set are kept (up to MaxKeptMessages) and handed over when it is set,
    // so nothing sent to a starting copy is lost; any other message without a handler is
    // answered with null and forgotten. A folder that is not sound is replaced by a private
    // one beside it, and problem() says why (also on the standard error, once). False when
    // no folder of our own or no socket can be made; problem() says why.
    bool listen(const QStringList& keptUntilHandled = {});
    QString problem() const { return m_problem; }
    bool isListening() const;
    QString socketPath() const;
    void setHandler(const QString& message, Handler handler);

    struct Answer
    {
        QString socket;
        QJsonValue reply;
    };
    // Sends to every listening copy but this one and waits (at most `timeoutMs` for each)
    // for its answer. Blocking: for short-lived processes and command-line tools.
    QList<Answer> broadcast(const QString& message, const QJsonValue& payload = {},
                            int timeoutMs = 1000) const;
    // Sends without waiting, from inside the event loop of a running window.
    void post(const QString& message, const QJsonValue& payload = {});

    QString folder() const { return m_folder; }

    // The framing: one request is one line of compact JSON, {"message": name, "payload": v}.
    struct Request
    {
        QString message;
        QJsonValue payload;
    };
    static QByteArray encodeRequest(const Request& request);
    // Nothing when the line is no request (not JSON, not an object, no name).
    static std::optional<Request> decodeRequest(const QByteArray& line);

Q_SIGNALS:
    void messageReceived(const QString& message);

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);
    QJsonValue dispatch(const QString& message, const QJsonValue& payload);
    QStringList peerSockets() const;

    QString m_folder;
    QLocalServer* m_server = nullptr;
    QString m_problem;
    QStringList m_kept;
    QHash<QString, Handler> m_handlers;
    QList<QPair<QString, QJsonValue>> m_early; // arrived before their handler was set
};
