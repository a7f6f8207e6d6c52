#include "platform/web/DevToolsWindow.h"

#include "platform/Registry.h"

#include <QCloseEvent>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

constexpr QSize FirstSize(900, 640);
const QString Key = QStringLiteral("\\Software\\Brenmoor\\Pelvane\\DevTools");

} // namespace

DevToolsWindow::SizeStore DevToolsWindow::keptIn(RegistryHive& hive)
{
    SizeStore store;
    store.read = [&hive] {
        try {
            TRegistry reg(hive);
            if (reg.openKeyReadOnly(Key) && reg.valueExists(QStringLiteral("Width")) &&
                reg.valueExists(QStringLiteral("Height")))
                return QSize(reg.readInteger(QStringLiteral("Width")),
                             reg.readInteger(QStringLiteral("Height")));
        } catch (const RegistryError&) {
            // A spoilt value: the first size.
        }
        return QSize();
    };
    store.keep = [&hive](const QSize& size) {
        try {
            TRegistry reg(hive);
            if (reg.openKey(Key, true)) {
                reg.writeInteger(QStringLiteral("Width"), size.width());
                reg.writeInteger(QStringLiteral("Height"), size.height());
            }
        } catch (const RegistryError&) {
            // Not kept: the next window has the first size, nothing else is lost.
        }
    };
    return store;
}

DevToolsWindow::DevToolsWindow(QWebEnginePage* inspected, SizeStore sizes)
    : QWidget(nullptr, Qt::Window)
    , m_inspected(inspected)
    , m_sizes(std::move(sizes))
{
    setObjectName(QStringLiteral("DevToolsWindow"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new QWebEngineView(this);
    m_tools = new QWebEnginePage(inspected->profile(), view);
    view->setPage(m_tools);
    layout->addWidget(view);
    inspected->setDevToolsPage(m_tools);
    setInspectedTitle(inspected->title());

    const QSize kept = m_sizes.read ? m_sizes.read() : QSize();
    // A size kept on a larger screen, or spoilt, must not make a window nobody can use.
    resize(kept.isValid() && kept.width() >= 200 && kept.height() >= 150 &&
                   kept.width() <= 10000 && kept.height() <= 10000
               ? kept
               : FirstSize);
}

DevToolsWindow::~DevToolsWindow()
{
    if (m_inspected && m_inspected->devToolsPage() == m_tools)
        m_inspected->setDevToolsPage(nullptr);
}

void DevToolsWindow::setInspectedTitle(const QString& title)
{
    setWindowTitle(title.isEmpty() ? QStringLiteral("Developer Tools")
                                   : QStringLiteral("Developer Tools - %1").arg(title));
}

void DevToolsWindow::closeEvent(QCloseEvent* event)
{
    keepSize();
    QWidget::closeEvent(event);
}

void DevToolsWindow::keepSize()
{
    if (m_sizes.keep && !isMaximized() && !isFullScreen())
        m_sizes.keep(size());
}
