#include "platform/web/QtWebEngineBackend.h"

#include "platform/web/DevToolsWindow.h"
#include "platform/web/PageSourceWindow.h"
#include "platform/web/WebEngineContext.h"

// The windows a page opens beside itself: its developer tools and its source.

void QtWebEngineBackend::showDeveloperTools(bool inspectElement)
{
    if (!wakePage() || !m_context)
        return;
    if (!m_devTools) {
        m_devTools = new DevToolsWindow(m_page, m_context->devToolsSizes());
        m_context->adoptWindow(m_devTools);
        connect(m_page, &QWebEnginePage::titleChanged, m_devTools.data(),
                &DevToolsWindow::setInspectedTitle);
    }
    m_devTools->show();
    m_devTools->raise();
    m_devTools->activateWindow();
    if (inspectElement)
        m_page->triggerAction(QWebEnginePage::InspectElement);
}

void QtWebEngineBackend::closeDeveloperTools()
{
    if (m_devTools)
        m_devTools->close(); // keeps its size
    delete m_devTools;
}

void QtWebEngineBackend::viewSource()
{
    if (!m_context || !m_page || !m_hasDocument)
        return;
    auto* window = new PageSourceWindow(m_context->profile(), m_page->url(),
                                        m_view ? m_view->window() : nullptr);
    m_context->adoptWindow(window);
    window->show();
}
