#include "app/HandOff.h"

#include "platform/MessageBus.h"
#include "platform/Registry.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QJsonValue>
#include <QThread>

namespace {

const QString SettingsKey = QStringLiteral("\\Software\\Brenmoor\\Pelvane\\CurrentVersion");
const QString CommandLineValue = QStringLiteral("CommandLine");

} // namespace

namespace HandOff {

bool deliver(const MessageBus& bus, RegistryHive& hive, const QString& argument, int patienceMs)
{
    const QDeadlineTimer deadline(patienceMs);
    do {
        if (!bus.broadcast(QLatin1String(Message), argument).isEmpty())
            return true;
        QThread::msleep(100);
    } while (!deadline.hasExpired());

    if (!argument.isEmpty()) {
        TRegistry reg(hive);
        if (reg.openKey(SettingsKey, true))
            reg.writeString(CommandLineValue, argument);
    }
    return false;
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
