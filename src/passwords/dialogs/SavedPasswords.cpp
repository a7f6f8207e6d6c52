#include "passwords/dialogs/SavedPasswords.h"

#include "passwords/PasswordStore.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using PasswordRules::Login;

namespace {

constexpr int SiteColumn = 0;
constexpr int UserColumn = 1;
constexpr int PasswordColumn = 2;
const QString Hidden = QStringLiteral("\u2022\u2022\u2022\u2022\u2022\u2022\u2022\u2022");

QString failureText(const PasswordStore::Result& result)
{
    if (result.status == PasswordStore::Status::Unavailable)
        return PasswordStore::unavailableText();
    return QStringLiteral("The keyring refused: %1").arg(result.error);
}

} // namespace

TfrmSavedPasswords::TfrmSavedPasswords(PasswordStore& store, QWidget* parent)
    : QDialog(parent)
    , m_store(store)
{
    setObjectName(QStringLiteral("frmSavedPasswords"));
    setWindowTitle(QStringLiteral("Saved Passwords"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* intro = new QLabel(
        QStringLiteral("Pelvane keeps these passwords in your desktop's keyring:"), this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lvPasswords"));
    m_list->setHeaderLabels({QStringLiteral("Site"), QStringLiteral("User Name"),
                             QStringLiteral("Password")});
    m_list->setRootIsDecorated(false);
    m_list->setSortingEnabled(false);
    m_list->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_list->setMinimumSize(520, 240);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);

    m_show = new QPushButton(QStringLiteral("&Show Password"), this);
    m_show->setObjectName(QStringLiteral("cmdShow"));
    m_remove = new QPushButton(QStringLiteral("&Remove"), this);
    m_remove->setObjectName(QStringLiteral("cmdRemove"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_show, QDialogButtonBox::ActionRole);
    buttons->addButton(m_remove, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_show, &QPushButton::clicked, this, &TfrmSavedPasswords::showPassword);
    connect(m_remove, &QPushButton::clicked, this, &TfrmSavedPasswords::removeChosen);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &TfrmSavedPasswords::updateButtons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    updateButtons();
    reload();
}

void TfrmSavedPasswords::reload()
{
    m_status->setText(QStringLiteral("Reading the keyring..."));
    const QPointer<TfrmSavedPasswords> self(this);
    m_store.list([self](const PasswordStore::Result& result) {
        if (!self)
            return;
        self->m_list->clear();
        if (result.status != PasswordStore::Status::Ok) {
            self->m_status->setText(failureText(result));
        } else {
            for (const Login& login : result.logins) {
                auto* item = new QTreeWidgetItem(self->m_list);
                item->setText(SiteColumn, login.origin);
                item->setText(UserColumn, login.username);
                item->setText(PasswordColumn, Hidden);
            }
            self->m_status->setText(result.logins.isEmpty()
                                        ? QStringLiteral("No passwords are saved.")
                                        : QString());
            if (self->m_list->topLevelItemCount() > 0)
                self->m_list->setCurrentItem(self->m_list->topLevelItem(0));
        }
        self->updateButtons();
        Q_EMIT self->loaded();
    });
}

Login TfrmSavedPasswords::loginOf(const QTreeWidgetItem* item) const
{
    Login login;
    if (item) {
        login.origin = item->text(SiteColumn);
        login.username = item->text(UserColumn);
    }
    return login;
}

void TfrmSavedPasswords::showPassword()
{
    const Login chosen = loginOf(m_list->currentItem());
    if (chosen.origin.isEmpty())
        return;
    const QPointer<TfrmSavedPasswords> self(this);
    m_store.find(chosen.origin, [self, chosen](const PasswordStore::Result& result) {
        if (!self)
            return;
        if (result.status != PasswordStore::Status::Ok) {
            self->m_status->setText(failureText(result));
        } else {
            for (int i = 0; i < self->m_list->topLevelItemCount(); ++i) {
                QTreeWidgetItem* item = self->m_list->topLevelItem(i);
                if (self->loginOf(item) != chosen)
                    continue;
                for (const Login& login : result.logins) {
                    if (login.username == chosen.username)
                        item->setText(PasswordColumn, login.password);
                }
            }
        }
        Q_EMIT self->passwordShown();
    });
}

void TfrmSavedPasswords::removeChosen()
{
    const Login chosen = loginOf(m_list->currentItem());
    if (chosen.origin.isEmpty())
        return;
    const QPointer<TfrmSavedPasswords> self(this);
    m_store.remove(chosen.origin, chosen.username, [self](const PasswordStore::Result& result) {
        if (!self)
            return;
        if (result.status != PasswordStore::Status::Ok) {
            self->m_status->setText(failureText(result));
            Q_EMIT self->loaded();
            return;
        }
        Q_EMIT self->removed();
        self->reload();
    });
}

void TfrmSavedPasswords::updateButtons()
{
    const bool chosen = m_list->currentItem() != nullptr;
    m_show->setEnabled(chosen);
    m_remove->setEnabled(chosen);
}
