#pragma once

#include <QPointer>
#include <QWebEngineView>
#include <QWidget>

class QLabel;

// Shows a page full screen at its own request (a video's full-screen button): the page
// moves into a view of this window and goes back to its own view when the window goes.
// Esc asks the page to leave full screen, whatever the page does with keys: the key is
// taken before the page sees it. A notice says so for a few seconds when the window opens.
class FullScreenWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FullScreenWindow)

public:
    static constexpr int NoticeMs = 4000;

    explicit FullScreenWindow(QWebEngineView* pageView);
    ~FullScreenWindow() override;

    // How to leave, shown over the page for NoticeMs.
    static QString noticeText() { return QStringLiteral("Press Esc to leave full screen"); }
    QLabel* notice() const { return m_notice; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void leave();
    void placeNotice();

    QWebEngineView* m_view;
    QPointer<QWebEngineView> m_pageView;
    QLabel* m_notice;
};
