#include "session/HandOff.h"

#include "platform/MessageBus.h"
#include "platform/Registry.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QJsonObject>
#include <QJsonValue>
#include <QThread>
#include <QUuid>

#include <algorithm>

namespace {

const QString SettingsKey = QStringLiteral("\\Software\\Brenmoor\\Pelvane\\CurrentVersion");
const QString CommandLineValue = QStringLiteral("CommandLine");
const QString CommandLineIdValue = QStringLiteral("CommandLineId");
constexpr int KeptIdentities = 64;

} // namespace

namespace HandOff {

QJsonValue encode(const Parcel& parcel)
{
    return QJsonObject{{QStringLiteral("id"), parcel.id},
                       {QStringLiteral("argument"), parcel.argument}};
}

Parcel decode(const QJsonValue& payload)
{
    if (!payload.isObject())
        return {QString(), payload.toString()};
    const QJsonObject object = payload.toObject();
    return {object.value(QStringLiteral("id")).toString(),
            object.value(QStringLiteral("argument")).toString()};
}

Delivery deliver(const MessageBus& bus, RegistryHive& hive, const QString& argument, int patienceMs,
                 QString* error)
{
    const Parcel parcel{QUuid::createUuid().toString(QUuid::WithoutBraces), argument};
    const QDeadlineTimer deadline(patienceMs);
    do {
        QList<MessageBus::Answer> answers =
            bus.broadcast(QLatin1String(Message), encode(parcel));
        answers.removeIf([](const MessageBus::Answer& answer) {
            return answer.reply == QJsonValue(QLatin1String(Declined));
        });
        const auto taken = [](const MessageBus::Answer& answer) {
            return answer.reply != QJsonValue(false);
        };
        if (std::any_of(answers.cbegin(), answers.cend(), taken))
            return Delivery::Taken;
        if (!answers.isEmpty())
            return Delivery::Exiting;
        QThread::msleep(100);
    } while (!deadline.hasExpired());

    if (argument.isEmpty())
        return Delivery::Unanswered;
    try {
        TRegistry reg(hive);
        if (!reg.openKey(SettingsKey, true))
            throw RegistryError::failedToCreateKey(SettingsKey);
        reg.writeString(CommandLineValue, argument);
        reg.writeString(CommandLineIdValue, parcel.id);
        return Delivery::Unanswered;
    } catch (const RegistryError& failure) {
        if (error) {
            *error = hive.errorText().isEmpty()
                         ? failure.message()
                         : QStringLiteral("%1 (the settings file cannot be opened: %2)")
                               .arg(failure.message(), hive.errorText());
        }
        return Delivery::Lost;
    }
}

bool Ledger::firstTime(const QString& id)
{
    if (id.isEmpty())
        return true;
    if (m_seen.contains(id))
        return false;
    m_seen.append(id);
    if (m_seen.size() > KeptIdentities)
        m_seen.removeFirst();
    return true;
}

QString absoluteArgument(const QString& argument)
{
    if (argument.isEmpty() || argument.contains(QLatin1String("://")))
        return argument;
    const QFileInfo file(argument);
    return file.exists() ? file.absoluteFilePath() : argument;
}

Parcel takeStoredCommandLine(RegistryHive& hive)
{
    try {
        TRegistry reg(hive);
        if (!reg.openKey(SettingsKey, false) || !reg.valueExists(CommandLineValue))
            return {};
        const QString value = reg.readString(CommandLineValue);
        const QString id =
            reg.valueExists(CommandLineIdValue) ? reg.readString(CommandLineIdValue) : QString();
        if (!value.isEmpty()) {
            reg.writeString(CommandLineValue, QString());
            reg.writeString(CommandLineIdValue, QString());
        }
        return {id, value};
    } catch (const RegistryError&) {
        return {}; // a slot of the wrong type holds no argument; start-up goes on
    }
}

void clearStoredCommandLine(RegistryHive& hive, const QString& id)
{
    if (id.isEmpty())
        return;
    try {
        TRegistry reg(hive);
        if (!reg.openKey(SettingsKey, false) || !reg.valueExists(CommandLineIdValue) ||
            reg.readString(CommandLineIdValue) != id)
            return;
        reg.writeString(CommandLineValue, QString());
        reg.writeString(CommandLineIdValue, QString());
    } catch (const RegistryError&) {
        // Left as it is: the next start opens it once more, which is all it costs.
    }
}

} // namespace HandOff
