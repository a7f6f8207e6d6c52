#include "app/Application.h"

#include "platform/Registry.h"

#include <QMessageBox>

PelvaneApplication::PelvaneApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Pelvane"));
    setOrganizationName(QStringLiteral("Brenmoor"));
    setApplicationVersion(QStringLiteral(PELVANE_VERSION_TEXT));
    setDesktopFileName(QStringLiteral("pelvane"));
    showError = [](const QString& message) {
        QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Pelvane"), message);
    };
}

bool PelvaneApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const RegistryError& error) {
        showError(error.message());
    } catch (const std::exception& error) {
        showError(QString::fromLocal8Bit(error.what()));
    }
    return false;
}
