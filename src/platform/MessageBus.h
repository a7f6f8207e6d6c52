#pragma once

#include <QHash>
#include <QJsonValue>
#include <QList>
#include <QObject>

#include <functional>

class QLocalServer;
class QLocalSocket;

// Messages between the running copies of this user. Each copy that listens owns a local
// socket in the private runtime folder; a sender connects to every socket there, sends
// the message's name with its payload and reads each copy's answer. Sockets whose owner
// died are removed by the next sender.
class MessageBus final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MessageBus)

public:
    using Handler = std::function<QJsonValue(const QJsonValue& payload)>;

    explicit MessageBus(QObject* parent = nullptr);
    explicit MessageBus(const QString& folder, QObject* parent = nullptr);
    ~MessageBus() override;

    // Starts answering messages. Messages that arrive before their handler is set are
    // kept and handed over when it is set, so nothing sent to a starting copy is lost.
    bool listen();
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

Q_SIGNALS:
    void messageReceived(const QString& message);

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);
    QJsonValue dispatch(const QString& message, const QJsonValue& payload);
    QStringList peerSockets() const;

    QString m_folder;
    QLocalServer* m_server = nullptr;
    QHash<QString, Handler> m_handlers;
    QList<QPair<QString, QJsonValue>> m_early; // arrived before their handler was set
};
