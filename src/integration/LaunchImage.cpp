#include "integration/LaunchImage.h"

#include "integration/DroppedAddress.h"

#include <QApplication>
#include <QDrag>
#include <QIcon>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>
#include <QUrl>

namespace {

const QString ShortcutType = QStringLiteral("application/x-mswinurl");
const QString ShortcutNameType = QStringLiteral("application/x-pelvane-url-name");

} // namespace

LaunchImage::LaunchImage(LinkSource source, QWidget* parent)
    : QLabel(parent)
    , m_source(std::move(source))
{
    setObjectName(QStringLiteral("imgIELink"));
    const QIcon icon = QIcon::fromTheme(QStringLiteral("web-browser"),
                                        style()->standardIcon(QStyle::SP_DriveNetIcon));
    setPixmap(icon.pixmap(QSize(22, 22), devicePixelRatioF()));
    setContentsMargins(6, 0, 6, 0);
    setAcceptDrops(true);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Click to launch current URL in the default browser\n"
                              "Drag to create a shortcut to current URL\n"
                              "Drop a link to launch in the default browser"));
}

QString LaunchImage::ShortcutFileName(const QString& title)
{
    QString name;
    if (title.contains(QLatin1String("//"))) {
        const qsizetype cut =
            qMax(title.lastIndexOf(QLatin1Char('/')), title.lastIndexOf(QLatin1Char('\\')));
        name = title.mid(cut + 1);
    } else {
        for (const QChar c : title) {
            const char16_t u = c.unicode();
            if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
                u == ' ')
                name += c;
        }
    }
    // An address ending in "/" leaves nothing, and ".url" alone would be a hidden file.
    if (name.trimmed().isEmpty())
        name = QStringLiteral("Shortcut");
    return name + QStringLiteral(".url");
}

QByteArray LaunchImage::ShortcutFileContents(const QString& address)
{
    return "[InternetShortcut]\r\nURL=" + address.toUtf8() + "\r\n";
}

QMimeData* LaunchImage::LinkMimeData(const Link& link)
{
    auto* data = new QMimeData;
    data->setUrls({QUrl(link.address)});
    data->setText(link.address);
    const QString mozUrl = link.address + QLatin1Char('\n') + link.title;
    data->setData(QStringLiteral("text/x-moz-url"),
                  QByteArray(reinterpret_cast<const char*>(mozUrl.utf16()),
                             mozUrl.size() * qsizetype(sizeof(char16_t))));
    data->setData(ShortcutType, ShortcutFileContents(link.address));
    data->setData(ShortcutNameType, ShortcutFileName(link.title).toUtf8());
    return data;
}

void LaunchImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_pressedAt = event->position().toPoint();
    }
    QLabel::mousePressEvent(event);
}

void LaunchImage::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton) ||
        (event->position().toPoint() - m_pressedAt).manhattanLength() <
            QApplication::startDragDistance())
        return QLabel::mouseMoveEvent(event);
    m_pressed = false;
    const Link link = m_source ? m_source() : Link{};
    if (link.address.isEmpty())
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(LinkMimeData(link));
    if (!pixmap().isNull())
        drag->setPixmap(pixmap());
    drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::LinkAction);
}

void LaunchImage::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        Q_EMIT launchRequested();
    QLabel::mouseReleaseEvent(event);
}

void LaunchImage::dragEnterEvent(QDragEnterEvent* event)
{
    if (DroppedAddress::CanRead(event->mimeData()))
        event->acceptProposedAction();
}

void LaunchImage::dropEvent(QDropEvent* event)
{
    const QString address = DroppedAddress::FromMimeData(event->mimeData());
    if (address.isEmpty())
        return;
    event->acceptProposedAction();
    Q_EMIT linkDropped(address);
}
