#include "platform/web/FullScreenWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

FullScreenWindow::FullScreenWindow(QWebEngineView* pageView)
    : QWidget(nullptr, Qt::Window)
    , m_view(new QWebEngineView(this))
    , m_pageView(pageView)
    , m_notice(new QLabel(noticeText(), this))
{
    setAttribute(Qt::WA_DeleteOnClose, false); // the page's own request ends it
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    // Esc is looked at before any widget of the page's view gets it (a shortcut would lose
    // it to a page that claims the key), so a page cannot keep the user here.
    qApp->installEventFilter(this);

    m_notice->setObjectName(QStringLiteral("fullScreenNotice"));
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setContentsMargins(18, 10, 18, 10);
    m_notice->setStyleSheet(QStringLiteral(
        "QLabel { background: rgba(20, 20, 20, 210); color: white; border-radius: 6px; "
        "font-size: 15px; }"));
    m_notice->adjustSize();
    QTimer::singleShot(NoticeMs, m_notice, &QWidget::hide);

    m_view->setPage(pageView->page());
    setGeometry(pageView->window()->screen()->geometry());
    showFullScreen();
    placeNotice();
    m_notice->raise();
    m_view->setFocus();
}

FullScreenWindow::~FullScreenWindow()
{
    qApp->removeEventFilter(this);
    // The page goes back where it came from before this window's view goes.
    if (m_pageView && m_view->page())
        m_pageView->setPage(m_view->page());
    hide();
}

bool FullScreenWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (type == QEvent::KeyPress)
            leave();
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FullScreenWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeNotice();
}

void FullScreenWindow::leave()
{
    if (QWebEnginePage* page = m_view->page())
        page->triggerAction(QWebEnginePage::ExitFullScreen);
}

void FullScreenWindow::placeNotice()
{
    m_notice->move((width() - m_notice->width()) / 2, height() / 8);
}
