#include "address/AddressCompleter.h"

#include "address/PVComboBox.h"
#include "platform/PlainTip.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTreeWidget>

namespace {

constexpr int AddressRole = Qt::UserRole;

} // namespace

AddressCompleter::AddressCompleter(TPVComboBox* box, const QString& historyFile, QObject* parent)
    : QObject(parent)
    , m_box(box)
    , m_historyFile(historyFile)
    , m_latest(std::make_shared<std::atomic<quint64>>(0))
{
    qRegisterMetaType<QList<HistoryEntry>>();

    m_popup = new QTreeWidget(box);
    m_popup->setObjectName(QStringLiteral("lstAddressCompletion"));
    m_popup->setWindowFlags(Qt::Popup);
    m_popup->setFocusPolicy(Qt::NoFocus);
    m_popup->setFocusProxy(box);
    m_popup->setColumnCount(2);
    m_popup->setHeaderHidden(true);
    m_popup->setRootIsDecorated(false);
    m_popup->setUniformRowHeights(true);
    m_popup->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_popup->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_popup->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_popup->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_popup->setMouseTracking(true);
    m_popup->header()->setStretchLastSection(true);
    m_popup->installEventFilter(this);
    connect(m_popup, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const QString address = item->data(0, AddressRole).toString();
        dismiss();
        if (m_box) {
            m_box->setEditText(address);
            m_box->lineEdit()->setModified(true);
        }
        Q_EMIT chosen(address);
    });

    connect(box->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_enabled)
            complete(text);
    });
    // Enter commits the text; an answer still on its way must not reopen the list.
    connect(box, &TPVComboBox::enterPressed, this, &AddressCompleter::dismiss);
}

AddressCompleter::~AddressCompleter()
{
    m_latest->fetch_add(1);
    if (m_thread.isRunning()) {
        m_thread.quit();
        m_thread.wait();
    }
}

void AddressCompleter::setEnabled(bool enabled)
{
    if (enabled && !m_enabled) {
        ensureWorker();
        QMetaObject::invokeMethod(m_worker, &HistoryCompletionWorker::prepare,
                                  Qt::QueuedConnection);
    }
    m_enabled = enabled;
    if (!enabled)
        dismiss();
}

bool AddressCompleter::isPopupVisible() const
{
    return m_popup->isVisible();
}

QStringList AddressCompleter::shownAddresses() const
{
    QStringList result;
    for (int i = 0; i < m_popup->topLevelItemCount(); ++i)
        result << m_popup->topLevelItem(i)->data(0, AddressRole).toString();
    return result;
}

void AddressCompleter::ensureWorker()
{
    if (m_worker)
        return;
    m_worker = new HistoryCompletionWorker(m_historyFile, m_latest);
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &HistoryCompletionWorker::found, this, &AddressCompleter::onFound,
            Qt::QueuedConnection);
    m_thread.setObjectName(QStringLiteral("address completion"));
    m_thread.start(QThread::LowPriority);
}

void AddressCompleter::complete(const QString& text)
{
    m_typed = text;
    const quint64 generation = m_latest->fetch_add(1) + 1;
    if (text.trimmed().isEmpty()) {
        m_popup->hide();
        return;
    }
    ensureWorker();
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker, generation, text] { worker->query(generation, text, MaxRows); },
        Qt::QueuedConnection);
}

void AddressCompleter::dismiss()
{
    m_latest->fetch_add(1);
    m_popup->hide();
}

void AddressCompleter::onFound(quint64 generation, const QString& text,
                               const QList<HistoryEntry>& entries)
{
    if (generation != m_latest->load() || !m_enabled || !m_box || m_box->currentText() != text)
        return;
    showRows(entries);
    Q_EMIT answered(int(entries.size()));
}

void AddressCompleter::showRows(const QList<HistoryEntry>& entries)
{
    if (entries.isEmpty() || !m_box || !m_box->isVisible()) {
        m_popup->hide();
        return;
    }
    m_popup->clear();
    for (const HistoryEntry& entry : entries) {
        auto* item = new QTreeWidgetItem(m_popup, {entry.url, entry.title});
        item->setData(0, AddressRole, entry.url);
        item->setToolTip(0, plainTip(entry.url));
        item->setToolTip(1, plainTip(entry.title));
        item->setForeground(1, m_popup->palette().brush(QPalette::PlaceholderText));
    }
    m_popup->setCurrentItem(nullptr);
    m_popup->clearSelection();
    placePopup();
    if (!m_popup->isVisible())
        m_popup->show();
}

void AddressCompleter::placePopup()
{
    const int rows = m_popup->topLevelItemCount();
    const int rowHeight = qMax(1, m_popup->sizeHintForRow(0));
    const int frame = 2 * m_popup->frameWidth();
    const int width = qMax(m_box->width(), 320);
    const int height = rows * rowHeight + frame;
    QPoint where = m_box->mapToGlobal(QPoint(0, m_box->height()));
    if (const QScreen* screen = m_box->screen()) {
        const QRect area = screen->availableGeometry();
        if (where.y() + height > area.bottom())
            where.setY(m_box->mapToGlobal(QPoint(0, 0)).y() - height);
        where.setX(qBound(area.left(), where.x(), qMax(area.left(), area.right() - width)));
    }
    m_popup->setColumnWidth(0, width * 3 / 5);
    m_popup->setGeometry(QRect(where, QSize(width, height)));
}

void AddressCompleter::moveCurrent(int step)
{
    const int rows = m_popup->topLevelItemCount();
    if (rows == 0)
        return;
    // The rows and the typed text form one ring: past either end the typed text returns.
    QTreeWidgetItem* current = m_popup->currentItem();
    int row = current ? m_popup->indexOfTopLevelItem(current) : -1;
    row += step;
    if (row < -1)
        row = rows - 1;
    else if (row >= rows)
        row = -1;
    if (row < 0) {
        m_popup->setCurrentItem(nullptr);
        m_popup->clearSelection();
        m_box->setEditText(m_typed);
    } else {
        QTreeWidgetItem* item = m_popup->topLevelItem(row);
        m_popup->setCurrentItem(item);
        m_box->setEditText(item->data(0, AddressRole).toString());
    }
    m_box->lineEdit()->setModified(true);
}

bool AddressCompleter::eventFilter(QObject* watched, QEvent* event)
{
    // isNull(), not a conversion: the list dies inside the box's destructor, when the box is
    // no longer a TPVComboBox.
    if (watched != m_popup || m_box.isNull())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Up:
            moveCurrent(-1);
            return true;
        case Qt::Key_Down:
            moveCurrent(1);
            return true;
        case Qt::Key_Escape:
            dismiss();
            m_box->setEditText(m_typed);
            m_box->lineEdit()->setModified(true);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            dismiss();
            QCoreApplication::sendEvent(m_box, event);
            return true;
        default:
            QCoreApplication::sendEvent(m_box, event);
            return true;
        }
    }
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
        QCoreApplication::sendEvent(m_box, event);
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
