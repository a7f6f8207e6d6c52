#pragma once

#include <QLabel>
#include <QPoint>

#include <functional>

class QMimeData;

// The launch image at the end of the menu bar. A click opens the current address in the
// desktop's default browser; dragging it gives other programs the address as a link and
// as an Internet shortcut file; a link dropped on it is opened in the default browser.
class LaunchImage final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LaunchImage)

public:
    // The current address and page title, asked for when a drag starts.
    struct Link
    {
        QString address;
        QString title;
    };
    using LinkSource = std::function<Link()>;

    explicit LaunchImage(LinkSource source, QWidget* parent = nullptr);

    // The shortcut's file name for a page title: when the title holds "//", the part after
    // its last "/" or "\"; otherwise the title with every character but the letters A to Z
    // and a to z, the digits and blanks left out. Then ".url".
    static QString ShortcutFileName(const QString& title);
    // The shortcut file itself.
    static QByteArray ShortcutFileContents(const QString& address);
    // What a drag of the image carries: the address as a link (text/uri-list,
    // text/x-moz-url) and as text, and the shortcut file (application/x-mswinurl, with its
    // name under application/x-pelvane-url-name).
    static QMimeData* LinkMimeData(const Link& link);

Q_SIGNALS:
    // Clicked: open the current address in the default browser.
    void launchRequested();
    // Something was dropped on the image: open it in the default browser.
    void linkDropped(const QString& address);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    LinkSource m_source;
    QPoint m_pressedAt;
    bool m_pressed = false;
};
