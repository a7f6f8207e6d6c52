#include "platform/web/FullScreenWindow.h"

#include <QAction>
#include <QScreen>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

FullScreenWindow::FullScreenWindow(QWebEngineView* pageView)
    : QWidget(nullptr, Qt::Window)
    , m_view(new QWebEngineView(this))
    , m_pageView(pageView)
{
    setAttribute(Qt::WA_DeleteOnClose, false); // the page's own request ends it
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    auto* leave = new QAction(this);
    leave->setShortcut(Qt::Key_Escape);
    leave->setShortcutContext(Qt::WindowShortcut);
    connect(leave, &QAction::triggered, this, [this] {
        if (QWebEnginePage* page = m_view->page())
            page->triggerAction(QWebEnginePage::ExitFullScreen);
    });
    addAction(leave);

    m_view->setPage(pageView->page());
    setGeometry(pageView->window()->screen()->geometry());
    showFullScreen();
    m_view->setFocus();
}

FullScreenWindow::~FullScreenWindow()
{
    // The page goes back where it came from before this window's view goes.
    if (m_pageView && m_view->page())
        m_pageView->setPage(m_view->page());
    hide();
}
