#include "app/RegistryCommand.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

int main(int argc, char* argv[])
{
    if (auto rc = runRegistryCommand(argc, argv))
        return *rc;

    QApplication app(argc, argv);
    // A damaged settings file has been set aside and the program runs on defaults; say
    // where the old file went, once (the next start finds a sound file).
    if (const QString backup = RegistryHive::userHive().recoveredBackup(); !backup.isEmpty()) {
        QMessageBox::warning(nullptr, QStringLiteral("Pelvane"),
                             QStringLiteral("Your settings file was damaged and could not be "
                                            "read. It has been moved to:\n\n%1\n\nPelvane "
                                            "starts with default settings.")
                                 .arg(backup));
    }
    QLabel label(QStringLiteral("Pelvane"));
    label.show();
    return app.exec();
}
