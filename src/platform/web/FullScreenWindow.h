#pragma once

#include <QPointer>
#include <QWebEngineView>
#include <QWidget>

// Shows a page full screen at its own request (a video's full-screen button): the page
// moves into a view of this window and goes back to its own view when the window goes.
// Esc asks the page to leave full screen.
class FullScreenWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FullScreenWindow)

public:
    explicit FullScreenWindow(QWebEngineView* pageView);
    ~FullScreenWindow() override;

private:
    QWebEngineView* m_view;
    QPointer<QWebEngineView> m_pageView;
};
