#include "platform/web/InPageDialog.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

// The first field or button of the dialog that takes the keyboard, the default button
// before others.
QWidget* firstFocus(QDialog* dialog)
{
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
        if (child->property("default").toBool() && child->focusPolicy() & Qt::TabFocus)
            return child;
    }
    for (QWidget* next = dialog->nextInFocusChain(); next && next != dialog;
         next = next->nextInFocusChain()) {
        if (dialog->isAncestorOf(next) && next->focusPolicy() & Qt::TabFocus)
            return next;
    }
    return dialog;
}

// Lies over the page while its dialog is open: it takes the pointer's events, so the page
// gets none, dims the page, and keeps the dialog in the middle as the view changes size.
// The dialog ends unanswered when the view leaves its window, which is what closing its tab
// does while the page is still inside the engine's call.
class PageShade final : public QWidget
{
public:
    // `dropOnLeave`: when the view leaves its window the dialog goes unanswered instead of
    // being rejected.
    PageShade(QWidget* view, QDialog* dialog, bool dropOnLeave)
        : QWidget(view)
        , m_window(view->window())
        , m_dialog(dialog)
        , m_card(new QFrame(this))
        , m_dropOnLeave(dropOnLeave)
    {
        if (dropOnLeave)
            setObjectName(droppableName());
        setAttribute(Qt::WA_NoMousePropagation);
        m_card->setFrameShape(QFrame::StyledPanel);
        m_card->setFrameShadow(QFrame::Raised);
        m_card->setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(m_card);
        // A dialog inside the page has no title bar: its title goes on top of it, which also
        // says which site is asking.
        auto* title = new QLabel(dialog->windowTitle(), m_card);
        title->setTextFormat(Qt::PlainText);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        layout->addWidget(title);
        dialog->setParent(m_card, Qt::Widget);
        layout->addWidget(dialog);
        for (QWidget* up = view; up && up != m_window; up = up->parentWidget()) {
            up->installEventFilter(this);
            m_ancestors << up;
        }
        m_window->installEventFilter(this);
        m_ancestors << m_window;
        fit();
    }

    ~PageShade() override
    {
        // The dialog goes with the shade: whoever waits for its answer gets none.
        if (m_dialog)
            QObject::disconnect(m_dialog, nullptr, this, nullptr);
        resume();
        for (const QPointer<QWidget>& up : std::as_const(m_ancestors)) {
            if (up)
                up->removeEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parentWidget() && event->type() == QEvent::Resize)
            fit();
        else if (event->type() == QEvent::ParentChange && parentWidget()->window() != m_window)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_dropOnLeave)
                        deleteLater();
                    else if (m_dialog)
                        m_dialog->reject();
                },
                Qt::QueuedConnection);
        return false;
    }

public:
    static QString droppableName() { return QStringLiteral("droppablePageQuestion"); }

    // Shows the dialog over the page; the page's own widgets take no keys meanwhile.
    void open()
    {
        for (QWidget* child : parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child != this && child->isEnabled()) {
                child->setEnabled(false);
                m_paused << child;
            }
        }
        show();
        raise();
        firstFocus(m_dialog)->setFocus(Qt::OtherFocusReason);
    }

    // Gives the page its keys back.
    void resume()
    {
        for (const QPointer<QWidget>& child : std::as_const(m_paused)) {
            if (child)
                child->setEnabled(true);
        }
        m_paused.clear();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QColor dim = palette().color(QPalette::Window);
        dim.setAlpha(160);
        QPainter(this).fillRect(rect(), dim);
    }

    void wheelEvent(QWheelEvent* event) override { event->accept(); }

private:
    void fit()
    {
        setGeometry(parentWidget()->rect());
        // Wide enough for a sentence on a line, never wider than the page.
        const int w = qMax(qMin(qMax(m_card->sizeHint().width(), 420), width() - 24), 1);
        const int h = m_card->hasHeightForWidth() ? m_card->heightForWidth(w)
                                                  : m_card->sizeHint().height();
        const QSize size = QSize(w, h).boundedTo(this->size());
        m_card->setGeometry(QRect(QPoint((width() - size.width()) / 2,
                                         (height() - size.height()) / 3),
                                  size));
    }

    QWidget* const m_window;
    QPointer<QDialog> m_dialog;
    QFrame* const m_card;
    const bool m_dropOnLeave;
    QList<QPointer<QWidget>> m_ancestors;
    QList<QPointer<QWidget>> m_paused;
};

} // namespace

int execInPage(QWidget* view, QDialog* dialog, const std::function<void(int)>& read)
{
    if (!view) {
        const int result = dialog->exec();
        if (read)
            read(result);
        delete dialog;
        return result;
    }
    const QPointer<PageShade> shade = new PageShade(view, dialog, false);
    const QPointer<QDialog> alive(dialog);
    QEventLoop loop;
    QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    shade->open();
    loop.exec(QEventLoop::DialogExec);

    int result = QDialog::Rejected;
    if (alive) {
        result = dialog->result();
        if (read)
            read(result);
    }
    delete shade.data();
    return result;
}

void showInPage(QWidget* view, QDialog* dialog, std::function<void(int result)> done)
{
    if (!view) {
        QObject::connect(
            dialog, &QDialog::finished, dialog,
            [dialog, done](int result) {
                done(result);
                dialog->deleteLater();
            },
            Qt::SingleShotConnection);
        dialog->open();
        return;
    }
    auto* shade = new PageShade(view, dialog, true);
    QObject::connect(
        dialog, &QDialog::finished, shade,
        [shade, done](int result) {
            const QPointer<PageShade> alive(shade);
            shade->hide();
            shade->resume();
            done(result);
            if (alive)
                shade->deleteLater();
        },
        Qt::SingleShotConnection);
    shade->open();
}

void dropInPage(QWidget* view)
{
    const QList<QWidget*> shades =
        view->findChildren<QWidget*>(PageShade::droppableName(), Qt::FindDirectChildrenOnly);
    qDeleteAll(shades);
}
