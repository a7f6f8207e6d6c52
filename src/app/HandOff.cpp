#include "app/HandOff.h"

#include "platform/MessageBus.h"
#include "platform/Registry.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QJsonValue>
#include <QThread>

#include <algorithm>

namespace {

const QString SettingsKey = QStringLiteral("\\Software\\Brenmoor\\Pelvane\\CurrentVersion");
const QString CommandLineValue = QStringLiteral("CommandLine");

} // namespace

namespace HandOff {

Delivery deliver(const MessageBus& bus, RegistryHive& hive, const QString& argument,
                 int patienceMs)
{
    const QDeadlineTimer deadline(patienceMs);
    do {
        const QList<MessageBus::Answer> answers = bus.broadcast(QLatin1String(Message), argument);
        const auto taken = [](const MessageBus::Answer& answer) {
            return answer.reply != QJsonValue(false);
        };
        if (std::any_of(answers.cbegin(), answers.cend(), taken))
            return Delivery::Taken;
        if (!answers.isEmpty())
            return Delivery::Exiting;
        QThread::msleep(100);
    } while (!deadline.hasExpired());

    if (!argument.isEmpty()) {
        TRegistry reg(hive);
        if (reg.openKey(SettingsKey, true))
            reg.writeString(CommandLineValue, argument);
    }
    return Delivery::Unanswered;
}

QString absoluteArgument(const QString& argument)
{
    if (argument.isEmpty() || argument.contains(QLatin1String("://")))
        return argument;
    const QFileInfo file(argument);
    return file.exists() ? file.absoluteFilePath() : argument;
}

QString takeStoredCommandLine(RegistryHive& hive)
{
    try {
        TRegistry reg(hive);
        if (!reg.openKey(SettingsKey, false) || !reg.valueExists(CommandLineValue))
            return {};
        const QString value = reg.readString(CommandLineValue);
        if (!value.isEmpty())
            reg.writeString(CommandLineValue, QString());
        return value;
    } catch (const RegistryError&) {
        return {}; // a slot of the wrong type holds no argument; start-up goes on
    }
}

} // namespace HandOff
