#include "settings/dialogs/ContentBlockingPage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column
{
    ColAddress,
    ColDownloaded,
    ColError,
};

QString askAddress(QWidget* parent, const QString& typed)
{
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlgAddSubscription"));
    dialog.setWindowTitle(QStringLiteral("Add Filter List"));
    dialog.setLabelText(QStringLiteral("&Address of the filter list (http:// or https://):"));
    dialog.setTextValue(typed);
    dialog.resize(480, dialog.sizeHint().height());
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

void tell(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Add Filter List"), text,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("msgSubscription"));
    box.exec();
}

} // namespace

ContentBlockingPage::ContentBlockingPage(QWidget* parent)
    : QWidget(parent)
    , m_ask(&askAddress)
    , m_notice(&tell)
{
    setObjectName(QStringLiteral("tsContentBlocking"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lvSubscriptions"));
    m_list->setHeaderLabels({QStringLiteral("Address"), QStringLiteral("Last Downloaded"),
                             QStringLiteral("Last Error")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setMinimumSize(560, 180);
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(ColAddress, 260);
    m_list->header()->setSectionResizeMode(ColDownloaded, QHeaderView::ResizeToContents);
    auto* label = new QLabel(QStringLiteral("&Filter lists subscribed to:"), this);
    label->setBuddy(m_list);

    m_cmdAdd = new QPushButton(QStringLiteral("&Add..."), this);
    m_cmdAdd->setObjectName(QStringLiteral("cmdAddSubscription"));
    m_cmdRemove = new QPushButton(QStringLiteral("&Remove"), this);
    m_cmdRemove->setObjectName(QStringLiteral("cmdRemoveSubscription"));
    m_cmdRefresh = new QPushButton(QStringLiteral("Refresh &Now"), this);
    m_cmdRefresh->setObjectName(QStringLiteral("cmdRefreshSubscriptions"));
    for (QPushButton* button : {m_cmdAdd, m_cmdRemove, m_cmdRefresh})
        button->setAutoDefault(false);
    m_lblNote = new QLabel(
        QStringLiteral("Each list is downloaded into the Filters folder and again every week. "
                       "Lists added here are downloaded when you click OK; Refresh Now "
                       "downloads the saved lists at once."),
        this);
    m_lblNote->setObjectName(QStringLiteral("lblSubscriptionsNote"));
    m_lblNote->setWordWrap(true);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_cmdAdd);
    buttons->addWidget(m_cmdRemove);
    buttons->addSpacing(12);
    buttons->addWidget(m_cmdRefresh);
    buttons->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(row, 1);
    layout->addWidget(m_lblNote);
    setTabOrder(m_list, m_cmdAdd);
    setTabOrder(m_cmdAdd, m_cmdRemove);
    setTabOrder(m_cmdRemove, m_cmdRefresh);

    connect(m_cmdAdd, &QPushButton::clicked, this, &ContentBlockingPage::add);
    connect(m_cmdRemove, &QPushButton::clicked, this, &ContentBlockingPage::removeSelected);
    connect(m_cmdRefresh, &QPushButton::clicked, this, &ContentBlockingPage::refreshRequested);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &ContentBlockingPage::updateButtons);
    updateButtons();
}

void ContentBlockingPage::setSubscriptions(const QList<FilterSubscription>& subscriptions)
{
    m_list->clear();
    for (const FilterSubscription& subscription : subscriptions)
        appendRow(subscription);
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    updateButtons();
}

QTreeWidgetItem* ContentBlockingPage::appendRow(const FilterSubscription& subscription)
{
    auto* item = new QTreeWidgetItem(m_list);
    item->setText(ColAddress, subscription.address.toString());
    item->setToolTip(ColAddress, subscription.address.toString());
    item->setData(ColAddress, Qt::UserRole, subscription.address);
    showStatus(item, subscription);
    return item;
}

void ContentBlockingPage::updateStatus(const QList<FilterSubscription>& subscriptions)
{
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_list->topLevelItem(row);
        for (const FilterSubscription& subscription : subscriptions) {
            if (subscription.address == item->data(ColAddress, Qt::UserRole).toUrl())
                showStatus(item, subscription);
        }
    }
}

void ContentBlockingPage::showStatus(QTreeWidgetItem* item, const FilterSubscription& subscription)
{
    item->setText(ColDownloaded, subscription.lastDownload.isValid()
                                     ? QLocale().toString(subscription.lastDownload.toLocalTime(),
                                                          QLocale::ShortFormat)
                                     : QStringLiteral("Never"));
    // A download clears the error: what is kept is the last attempt's.
    item->setText(ColError, subscription.lastError);
    item->setToolTip(ColError, subscription.lastError);
}

QList<QUrl> ContentBlockingPage::addresses() const
{
    QList<QUrl> addresses;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row)
        addresses.append(m_list->topLevelItem(row)->data(ColAddress, Qt::UserRole).toUrl());
    return addresses;
}

void ContentBlockingPage::setRefreshAvailable(bool available)
{
    m_refreshAvailable = available;
    updateButtons();
}

void ContentBlockingPage::add()
{
    QString typed;
    for (;;) {
        typed = m_ask(this, typed);
        if (typed.isNull())
            return;
        QUrl address;
        QString problem = FilterSubscriptionList::typedAddressProblem(typed, &address);
        if (problem.isEmpty() && addresses().contains(address))
            problem = QStringLiteral("This filter list is subscribed to already.");
        if (problem.isEmpty() &&
            m_list->topLevelItemCount() >= FilterSubscriptionList::MaxSubscriptions)
            problem = QStringLiteral("No more than %1 filter lists can be subscribed to.")
                          .arg(FilterSubscriptionList::MaxSubscriptions);
        if (problem.isEmpty()) {
            FilterSubscription subscription;
            subscription.address = address;
            m_list->setCurrentItem(appendRow(subscription));
            updateButtons();
            return;
        }
        m_notice(this, problem);
    }
}

void ContentBlockingPage::removeSelected()
{
    delete m_list->currentItem();
    updateButtons();
}

void ContentBlockingPage::updateButtons()
{
    m_cmdRemove->setEnabled(m_list->currentItem() != nullptr);
    m_cmdRefresh->setEnabled(m_refreshAvailable && m_list->topLevelItemCount() > 0);
}
