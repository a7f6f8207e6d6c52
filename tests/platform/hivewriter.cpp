// A second process for the registry tests: it writes to the hive of PELVANE_HOME at the
// same time as the test, and says on standard output what it has committed.
//
//   hivewriter race PREFIX COUNT   COUNT values PREFIXi in Software\Race and as many list
//                                  entries in Software\Race\List, one commit each
//   hivewriter stream              list sets of 10 values, one transaction each, endless;
//                                  prints "committed N" after each commit
//   hivewriter hold MS             holds a write transaction for MS milliseconds

#include "platform/Paths.h"
#include "platform/Registry.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

namespace {

void say(const QByteArray& line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int race(RegistryHive& hive, const QString& prefix, int count)
{
    TRegistry values(hive);
    TRegistry list(hive);
    for (int i = 0; i < count; ++i) {
        values.openKey(QStringLiteral("\\Software\\Race"), true);
        values.writeString(prefix + QString::number(i),
                           QStringLiteral("%1 value %2").arg(prefix).arg(i));
        list.openKey(QStringLiteral("\\Software\\Race\\List"), true);
        list.writeString(QStringLiteral("%1-url%2").arg(prefix).arg(i),
                         QStringLiteral("http://%1.example/%2").arg(prefix).arg(i));
    }
    say("done");
    return 0;
}

int stream(RegistryHive& hive)
{
    TRegistry reg(hive);
    for (int set = 0;; ++set) {
        HiveTransaction transaction(hive);
        reg.openKey(QStringLiteral("\\Software\\Stream\\Set%1").arg(set), true);
        for (int i = 0; i < 10; ++i)
            reg.writeString(QStringLiteral("v%1").arg(i),
                            QStringLiteral("set %1 item %2").arg(set).arg(i));
        if (!transaction.commit())
            return 1;
        say("committed " + QByteArray::number(set));
    }
}

int hold(RegistryHive& hive, int ms)
{
    HiveTransaction transaction(hive);
    TRegistry reg(hive);
    reg.openKey(QStringLiteral("\\Software\\Busy"), true);
    reg.writeString(QStringLiteral("holder"), QStringLiteral("written while holding"));
    say("holding");
    QThread::msleep(static_cast<unsigned long>(ms));
    const bool ok = transaction.commit();
    say(ok ? "released" : "failed");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    RegistryHive hive(Paths::hiveFile());
    if (!hive.isOpen()) {
        std::fprintf(stderr, "hivewriter: cannot open the hive: %s\n",
                     qPrintable(hive.errorText()));
        return 3;
    }
    try {
        if (args.value(0) == QLatin1String("race") && args.size() == 3)
            return race(hive, args.at(1), args.at(2).toInt());
        if (args.value(0) == QLatin1String("stream"))
            return stream(hive);
        if (args.value(0) == QLatin1String("hold") && args.size() == 2)
            return hold(hive, args.at(1).toInt());
    } catch (const RegistryError& e) {
        std::fprintf(stderr, "hivewriter: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "hivewriter: unknown command\n");
    return 2;
}
