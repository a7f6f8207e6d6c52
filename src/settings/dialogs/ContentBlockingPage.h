#pragma once

#include "settings/FilterSubscriptionList.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The options dialog's "Content Blocking" page: the filter lists subscribed to by address,
// with when each was last downloaded and why the last download failed. Add asks for an
// address, Remove drops the selected one; the dialog's OK keeps the list. Refresh Now asks
// for the saved lists to be downloaded at once (whoever downloads them connects to
// refreshRequested() and says so with setRefreshAvailable()).
class ContentBlockingPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContentBlockingPage)

public:
    // Asks for an address, with `typed` offered; a null string when cancelled.
    using AddressQuestion = std::function<QString(QWidget* parent, const QString& typed)>;
    using Notice = std::function<void(QWidget* parent, const QString& text)>;

    explicit ContentBlockingPage(QWidget* parent = nullptr);

    void setSubscriptions(const QList<FilterSubscription>& subscriptions);
    // The times and errors of the listed addresses, as the settings have them now.
    void updateStatus(const QList<FilterSubscription>& subscriptions);
    QList<QUrl> addresses() const;
    void setRefreshAvailable(bool available);

    // An input box and a message box by default; tests answer themselves.
    void setAddressQuestion(AddressQuestion question) { m_ask = std::move(question); }
    void setNotice(Notice notice) { m_notice = std::move(notice); }

    QTreeWidget* list() const { return m_list; }

public Q_SLOTS:
    void add();
    void removeSelected();

Q_SIGNALS:
    void refreshRequested();

private:
    QTreeWidgetItem* appendRow(const FilterSubscription& subscription);
    void showStatus(QTreeWidgetItem* item, const FilterSubscription& subscription);
    void updateButtons();

    QTreeWidget* m_list = nullptr;
    QPushButton* m_cmdAdd = nullptr;
    QPushButton* m_cmdRemove = nullptr;
    QPushButton* m_cmdRefresh = nullptr;
    QLabel* m_lblNote = nullptr;
    AddressQuestion m_ask;
    Notice m_notice;
    bool m_refreshAvailable = false;
};
