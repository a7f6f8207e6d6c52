#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineProfile;

// A window showing the source of a page, as the server sent it.
class PageSourceWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageSourceWindow)

public:
    PageSourceWindow(QWebEngineProfile* profile, const QUrl& url, QWidget* parent = nullptr);
};
