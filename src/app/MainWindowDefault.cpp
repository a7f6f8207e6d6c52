// The start-up offer to become the desktop's default browser.
#include "app/MainWindow.h"

#include "settings/DefaultBrowser.h"

#include <QCoreApplication>
#include <QMessageBox>

void TfrmMain::runDefaultBrowserCheck()
{
    // A picture of the window asks nothing.
    if (!m_start.askDefaultBrowser || !m_start.screenshotFile.isEmpty())
        return;
    QString error;
    std::optional<DefaultBrowserCheck> result;
    try {
        result = StartupDefaultBrowserCheck(QCoreApplication::applicationFilePath(),
                                            m_start.askDefaultBrowser, &error);
    } catch (const RegistryError& failure) {
        result = DefaultBrowserCheck::Failed;
        error = failure.message();
    }
    if (result == DefaultBrowserCheck::Failed) {
        QMessageBox::warning(
            nullptr, QStringLiteral("Pelvane"),
            QStringLiteral("Pelvane could not be made your default browser.\n\n%1").arg(error));
    }
}
