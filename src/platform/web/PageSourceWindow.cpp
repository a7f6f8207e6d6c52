#include "platform/web/PageSourceWindow.h"

#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

PageSourceWindow::PageSourceWindow(QWebEngineProfile* profile, const QUrl& url, QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Source of %1").arg(url.toDisplayString()));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new QWebEngineView(this);
    view->setPage(new QWebEnginePage(profile, view));
    layout->addWidget(view);
    view->load(QUrl(QStringLiteral("view-source:") + url.toString(QUrl::FullyEncoded)));
    resize(800, 600);
}
